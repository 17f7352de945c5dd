#include "hardening/HardeningSupport.h"

#include "core/TSimpleFileStream.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <unistd.h>

namespace hardening {

const LocalDateTime SaveTime{2025, 7, 4, 9, 5, 3, 7};

ScratchFolder::ScratchFolder(bool inMemory)
{
    static int counter = 0;
    const fs::path base = inMemory && fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "palettor-hardening-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    if (info)
        name += std::string("-") + info->name();
    for (char &c : name)
        if (c == '/')
            c = '_';
    path = base / name;
    fs::remove_all(path);
    fs::create_directories(path);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path, error);
}

DigitSource Digits(std::vector<int> digits)
{
    auto state = std::make_shared<std::pair<std::vector<int>, size_t>>(std::move(digits), 0);
    return [state] { return state->first[state->second++ % state->first.size()]; };
}

std::string ReadFile(const fs::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string SessionDifferences(const TCLTSession &a, const TCLTSession &b)
{
    std::string differences;
    auto check = [&](bool same, const char *name) {
        if (!same)
            differences += std::string(differences.empty() ? "" : ", ") + name;
    };
    auto sameItems = [](const auto &x, const auto &y) {
        if (x.Count() != y.Count())
            return false;
        for (size_t i = 0; i < x.Count(); ++i)
            if (!x[i].IsEqualTo(&y[i]))
                return false;
        return true;
    };
    check(a.StartedAt == b.StartedAt, "StartedAt");
    check(a.DurationSeconds == b.DurationSeconds, "DurationSeconds");
    check(a.TestKind == b.TestKind, "TestKind");
    check(a.FirstName == b.FirstName, "FirstName");
    check(a.Surname == b.Surname, "Surname");
    check(a.Patronymic == b.Patronymic, "Patronymic");
    check(a.Group == b.Group, "Group");
    check(a.Sex == b.Sex, "Sex");
    check(a.BirthDate == b.BirthDate, "BirthDate");
    check(a.Age == b.Age, "Age");
    check(a.DisplayName == b.DisplayName, "DisplayName");
    check(a.Choice == b.Choice, "Choice");
    check(a.FunctionSign == b.FunctionSign, "FunctionSign");
    check(a.AcMark == b.AcMark, "AcMark");
    check(a.AcWeight == b.AcWeight, "AcWeight");
    check(a.AcIntensity == b.AcIntensity, "AcIntensity");
    check(sameItems(a.FunctionGroups, b.FunctionGroups), "FunctionGroups");
    check(sameItems(a.CtoItems, b.CtoItems), "CtoItems");
    check(a.ReservedValue == b.ReservedValue, "ReservedValue");
    check(a.BriefConclusion == b.BriefConclusion, "BriefConclusion");
    check(a.AdditionalFindings == b.AdditionalFindings, "AdditionalFindings");
    check(a.DetailedConclusion == b.DetailedConclusion, "DetailedConclusion");
    check(a.SourceFile == b.SourceFile, "SourceFile");
    if (a.TestKind == 3 || b.TestKind == 3) {
        check(a.AchromaticChoice == b.AchromaticChoice, "AchromaticChoice");
        check(a.PairWins == b.PairWins, "PairWins");
        check(a.ShadeScore == b.ShadeScore, "ShadeScore");
        check(a.ShadeTendency == b.ShadeTendency, "ShadeTendency");
        check(a.ShadeReserved == b.ShadeReserved, "ShadeReserved");
    }
    return differences;
}

FolderSnapshot Snapshot(const fs::path &folder)
{
    FolderSnapshot files;
    for (const auto &entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        files[name] = entry.is_directory() ? std::string("<dir>") : ReadFile(entry.path());
    }
    return files;
}

namespace {
bool isSessionName(const std::string &name) { return name.size() > 4 && name.substr(name.size() - 4) == ".dat"; }
} // namespace

bool AuditFolder(const fs::path &folder, const FolderSnapshot &before, const ExpectedSave &expected,
                 SaveOutcome outcome)
{
    const FolderSnapshot after = Snapshot(folder);
    const std::string temporaryName = expected.Temporary.empty() ? expected.Name + ".tmp" : expected.Temporary;
    const auto found = after.find(expected.Name);
    const bool present = found != after.end() && found->second == expected.Bytes;

    for (const auto &[name, bytes] : before) {
        const auto now = after.find(name);
        if (now == after.end())
            ADD_FAILURE() << name << " was there before the save and is gone";
        else if (now->second != bytes)
            ADD_FAILURE() << name << " was changed by the save";
    }
    for (const auto &[name, bytes] : expected.Appeared) {
        const auto now = after.find(name);
        if (now != after.end() && now->second != bytes)
            ADD_FAILURE() << name << ", stored by another station during the save, was changed";
    }
    for (const auto &[name, bytes] : after) {
        if (before.count(name) || expected.Appeared.count(name))
            continue;
        if (name == expected.Name)
            EXPECT_EQ(bytes, expected.Bytes) << name << " is not the complete new session";
        else if (name == temporaryName)
            EXPECT_EQ(outcome, SaveOutcome::Interrupted) << "temporary file " << name << " left behind";
        else
            ADD_FAILURE() << "unexpected file " << name;
    }
    if (outcome == SaveOutcome::Failed) {
        EXPECT_FALSE(present) << "a failed save left its session in place";
    }
    if (outcome == SaveOutcome::Saved) {
        EXPECT_TRUE(present) << "the saved session is not in place";
    }

    // What the program would load at its next start.
    int sessionFiles = 0;
    for (const auto &[name, bytes] : after)
        sessionFiles += isSessionName(name) && bytes != "<dir>";
    TCLTArchive archive;
    const ArchiveLoadResult loaded = LoadArchive(folder.string(), archive, {});
    EXPECT_EQ(loaded.Loaded, sessionFiles);
    EXPECT_TRUE(loaded.Skipped.empty()) << loaded.Skipped.size() << " damaged files, first " << loaded.Skipped[0];
    return present;
}

std::string SavedBytes(const TCLTSession &session)
{
    ScratchFolder scratch(true);
    TCLTSession copy = session;
    return ReadFile(SaveSession(copy, scratch.str(), SaveTime, Digits({0})));
}

} // namespace hardening
