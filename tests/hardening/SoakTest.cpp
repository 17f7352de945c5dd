// Thousands of complete tests through the step machine, each interpreted,
// saved and read back identical, with the memory of the process flat.
// The suite runs a thousand; PALETTOR_SOAK_TESTS asks for more (CTest's
// "soak" entry runs ten thousand).

#include "hardening/HardeningSupport.h"
#include "interpretation/Conclusion.h"
#include "testing/TestKinds.h"
#include "testing/TestProcedure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>

using namespace hardening;

namespace {

// The testing page reduced to nothing: the soak reads the tiles from the
// step machine itself.
class SilentView : public ITestView {
public:
    void ShowChooser(bool) override {}
    void SetHeaderCaption(const std::string &) override {}
    void SetHeaderHeight(int) override {}
    void ShowStepHeader(bool) override {}
    void SetStepTexts(const StepTexts &) override {}
    void ShowRegistration(bool, const RequiredFields &) override {}
    void ShowStimulusList(bool) override {}
    void ClearResult() override {}
    void LayOutTiles(const std::vector<TileSpec> &) override {}
    void RemoveTiles() override {}
    void SetStatusText(StatusPanel, const std::string &) override {}
    void SetProgress(int, int) override {}
    void SetTestRunning(bool) override {}
    void SetClockRunning(bool) override {}
};

long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

int SoakCount()
{
    const char *asked = std::getenv("PALETTOR_SOAK_TESTS");
    return asked ? std::max(100, std::atoi(asked)) : 1000;
}

const std::vector<std::string> NameParts{"Иван",  "Ёлкина", "Smith", "О'Нил", "Мария-Луиза", "Пётр",
                                         "Щукин", "Эдуард", "Юлия",  "Ъ",     "№ 5",         "Zoe"};

class Soak {
public:
    explicit Soak(uint32_t seed) : rng(seed), procedure(view, sessions)
    {
        procedure.SetClock([this] { return now; });
        procedure.SetRandom(SeededRandom(seed + 1));
        procedure.SetSessionContext(context);
        procedure.SetFinishHook([this](TCLTSession &s, OleDate start, OleDate end) { Store(s, start, end); });
    }

    // One whole test, finished or stopped part-way.
    void RunOne(int index)
    {
        current = index;
        const int kind = Draw(1, 4);
        const bool stop = Draw(1, 8) == 1;
        const int stopAfter = Draw(0, 20);
        const size_t finishedBefore = finished;
        procedure.OpenChooser();
        procedure.StartTest(kind);
        ASSERT_TRUE(procedure.SubmitRegistration(Person()) == std::nullopt) << Where();
        if (kind == KindRelations) {
            std::vector<std::string> stimuli(static_cast<size_t>(Draw(2, 12)));
            for (auto &name : stimuli)
                name = Name() + " " + Name();
            ASSERT_TRUE(procedure.ConfirmStimulusList(stimuli)) << Where();
        }
        for (int picks = 0; procedure.Running(); ++picks) {
            if (stop && picks == stopAfter) {
                procedure.StopTest();
                break;
            }
            const auto &tiles = procedure.Tiles();
            ASSERT_FALSE(tiles.empty()) << "a step without tiles, " << Where();
            ASSERT_LT(picks, 200) << "the test does not end, " << Where();
            now += Draw(1, 30) / 86400.0;
            procedure.PickTile(tiles[static_cast<size_t>(Draw(0, static_cast<int>(tiles.size()) - 1))].Tag);
        }
        ASSERT_FALSE(procedure.Running());
        if (finished == finishedBefore)
            ++stopped;
        // A stopped test leaves nothing; a finished one is dropped here so
        // the soak keeps no sessions.
        ASSERT_LE(sessions.Count(), 1u) << Where();
        sessions.Clear();
        now += 1.0 / 24;
    }

    std::string Where() const { return "test " + std::to_string(current) + ", seed " + std::to_string(seedShown); }

    uint32_t seedShown = 0;
    size_t finished = 0;
    size_t stopped = 0;
    std::array<size_t, 5> byKind{};
    ScratchFolder folder{true};

private:
    int Draw(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    std::string Name() { return NameParts[static_cast<size_t>(Draw(0, static_cast<int>(NameParts.size()) - 1))]; }

    RegistrationInput Person()
    {
        RegistrationInput input;
        input.Surname = Name();
        input.FirstName = Name();
        if (Draw(0, 1))
            input.Patronymic = Name();
        if (Draw(0, 1)) {
            input.Group = "Группа " + std::to_string(Draw(1, 9));
            input.GroupSelected = true;
        }
        input.SexIndex = Draw(-1, 1);
        input.BirthDate = Draw(0, 3) ? context.Today - Draw(100, 30000) : context.Today;
        return input;
    }

    void Store(TCLTSession &session, OleDate start, OleDate end)
    {
        FinishTestSession(session, base, start, end, context.DecimalSeparator);
        const std::string path = SaveSession(session, folder.str(), FromOleDate(end), [this] { return Draw(0, 9); });
        TCLTArchive back;
        ASSERT_TRUE(LoadSessionFile(path, back, session.Context)) << Where();
        ASSERT_EQ(back.Count(), 1u);
        ASSERT_EQ(SessionDifferences(session, back[0]), "") << "read back differs, " << Where();
        ASSERT_TRUE(DeleteSessionFile(path)) << Where();
        ++finished;
        ++byKind.at(static_cast<size_t>(session.TestKind));
    }

    std::mt19937 rng;
    SilentView view;
    ArchiveList sessions;
    TestProcedure procedure;
    TCLTKnowledgeBase base;
    SessionContext context{45800, ","};
    OleDate now = 45800.375;
    int current = 0;
};

TEST(Soak, ThousandsOfTestsSaveAndReadBackIdenticalWithFlatMemory)
{
    constexpr uint32_t seed = 20261209;
    const int count = SoakCount();
    const size_t total = static_cast<size_t>(count);
    Soak soak(seed);
    soak.seedShown = seed;
    const auto started = std::chrono::steady_clock::now();
    // Memory is compared from the first tenth on, once the caches are warm.
    long afterTenth = 0;
    for (int i = 1; i <= count; ++i) {
        soak.RunOne(i);
        if (HasFatalFailure())
            return;
        if (i == count / 10)
            afterTenth = ResidentKilobytes();
    }
    const long afterAll = ResidentKilobytes();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("soak: %zu finished (kinds 1-4: %zu %zu %zu %zu), %zu stopped, %.1f s, VmRSS %ld -> %ld kB\n",
                soak.finished, soak.byKind[1], soak.byKind[2], soak.byKind[3], soak.byKind[4], soak.stopped, seconds,
                afterTenth, afterAll);
    EXPECT_EQ(soak.finished + soak.stopped, total);
    for (int kind = 1; kind <= 4; ++kind)
        EXPECT_GT(soak.byKind[static_cast<size_t>(kind)], total * 15 / 100) << "kind " << kind << ", seed " << seed;
    EXPECT_GT(soak.stopped, total / 20);
    ASSERT_GT(afterTenth, 0);
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer holds freed memory back on purpose, so the resident
    // size grows there without a leak; its leak check covers that build.
    EXPECT_LT(afterAll - afterTenth, 3 * 1024) << "memory grew, seed " << seed;
#endif
    EXPECT_TRUE(fs::is_empty(soak.folder.path));
}

} // namespace
