#include "testing/TestProcedure.h"
#include "testing/RecordingTestView.h"
#include "testing/TestKinds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

constexpr OleDate Day0 = 45000.0; // a working day
constexpr OleDate Second = 1.0 / 86400.0;

// A colour set where every one of the 33 colours is distinct and says where it is.
ColourSet NumberedColours()
{
    ColourSet set{};
    for (int i = 0; i < ColourCount; ++i)
        set[static_cast<size_t>(i)] = MakeColour(i + 1, 100 + i, 200);
    return set;
}

struct Finished {
    TCLTSession *session = nullptr;
    OleDate start = 0;
    OleDate end = 0;
};

class Driver {
public:
    RecordingTestView view;
    ArchiveList sessions;
    TestProcedure procedure{view, sessions};
    OleDate now = Day0 + 0.5;
    std::vector<Finished> finished;

    Driver()
    {
        procedure.SetClock([this] { return now; });
        procedure.SetRandom(SeededRandom(20240607));
        procedure.SetColours(NumberedColours());
        procedure.SetFinishHook([this](TCLTSession &s, OleDate start, OleDate end) {
            finished.push_back({&s, start, end});
        });
    }

    void Start(int kind)
    {
        procedure.OpenChooser();
        procedure.StartTest(kind);
    }
    void Register()
    {
        RegistrationInput input;
        input.Surname = "Иванов";
        input.FirstName = "Иван";
        ASSERT_FALSE(procedure.SubmitRegistration(input).has_value());
    }
    std::vector<std::string> Stimuli(int n)
    {
        std::vector<std::string> names;
        for (int i = 1; i <= n; ++i)
            names.push_back("Стимул " + std::to_string(i));
        return names;
    }
    // Through registration (and the stimulus list for kind 4).
    void Begin(int kind, int stimuli = 2)
    {
        Start(kind);
        Register();
        if (kind == KindRelations) {
            ASSERT_TRUE(procedure.ConfirmStimulusList(Stimuli(stimuli)));
        }
    }
    int PickAt(size_t index)
    {
        EXPECT_LT(index, view.tiles.size());
        const int tag = view.tiles.at(index).Tag;
        procedure.PickTile(tag);
        return tag;
    }
    // Picks the first tile until the test ends; for pairs that is the left
    // shade, which never ties.
    void PickFirstToEnd()
    {
        for (int guard = 0; procedure.Running() && guard < 1000; ++guard)
            PickAt(0);
    }
};

std::string Number(int kind, int step, int total)
{
    return TestKindTitle(kind) + " - Шаг " + std::to_string(step) + " из " + std::to_string(total);
}

// ---------------------------------------------------------------- step numbers

struct NumberingCase {
    int kind;
    int stimuli;
    int total;
};

class StepNumbering : public ::testing::TestWithParam<NumberingCase> {};

TEST_P(StepNumbering, EveryStepIsCountedOnceUpToTheTotal)
{
    const auto c = GetParam();
    Driver d;
    d.Begin(c.kind, c.stimuli);
    d.PickFirstToEnd();
    ASSERT_EQ(d.finished.size(), 1u);

    std::vector<std::string> numbers;
    for (const auto &t : d.view.textHistory)
        if (!t.Number.empty() && (numbers.empty() || numbers.back() != t.Number))
            numbers.push_back(t.Number);
    ASSERT_EQ(numbers.size(), static_cast<size_t>(c.total));
    // Kind 4 counts 16 steps until the list is confirmed.
    const int firstTotals = c.kind == KindRelations ? 16 : c.total;
    EXPECT_EQ(numbers[0], Number(c.kind, 1, firstTotals));
    EXPECT_EQ(numbers[1], Number(c.kind, 2, firstTotals));
    for (int step = 3; step <= c.total; ++step)
        EXPECT_EQ(numbers[static_cast<size_t>(step - 1)], Number(c.kind, step, c.total));
    EXPECT_EQ(d.procedure.TotalSteps(), c.total);
    EXPECT_EQ(d.view.progressMaximum, c.total + 1);
}

INSTANTIATE_TEST_SUITE_P(AllKinds, StepNumbering,
                         ::testing::Values(NumberingCase{1, 0, 8}, NumberingCase{2, 0, 15}, NumberingCase{3, 0, 48},
                                           NumberingCase{4, 2, 20}, NumberingCase{4, 10, 36}));

// The captions of every step by kind: P pleasant, U unpleasant, R repeat,
// S stimulus list, A association, I identification.
struct CaptionCase {
    int kind;
    int stimuli;
    std::string letters; // one per step, step 1 first
};

class StepCaptionsByKind : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(StepCaptionsByKind, EachStepShowsItsCaption)
{
    const auto c = GetParam();
    Driver d;
    std::string seen;
    std::vector<std::string> associationNames;
    auto letter = [&] {
        const auto &name = d.view.texts.Name;
        if (name == StepCaptions::RegistrationName)
            return 'I';
        if (name == StepCaptions::PleasantName)
            return 'P';
        if (name == StepCaptions::UnpleasantName)
            return 'U';
        if (name == StepCaptions::RepeatName)
            return 'R';
        if (name == StepCaptions::StimulusListName)
            return 'S';
        if (name.rfind("С каким цветом у Вас ассоциируется", 0) == 0) {
            associationNames.push_back(name);
            return 'A';
        }
        return '?';
    };
    d.Start(c.kind);
    seen += letter();
    d.Register();
    seen += letter();
    if (c.kind == KindRelations) {
        ASSERT_TRUE(d.procedure.ConfirmStimulusList(d.Stimuli(c.stimuli)));
        seen += letter();
    }
    while (d.procedure.Running()) {
        d.PickAt(0);
        if (d.procedure.Running())
            seen += letter();
    }
    EXPECT_EQ(seen, c.letters);
    if (c.kind == KindRelations) {
        ASSERT_EQ(associationNames.size(), static_cast<size_t>(2 * c.stimuli));
        for (int i = 0; i < 2 * c.stimuli; ++i)
            EXPECT_EQ(associationNames[static_cast<size_t>(i)],
                      StepCaptions::AssociationName("Стимул " + std::to_string(i % c.stimuli + 1)));
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, StepCaptionsByKind,
                         ::testing::Values(CaptionCase{1, 0, "I" + std::string(7, 'P')},
                                           CaptionCase{2, 0, "I" + std::string(7, 'P') + std::string(7, 'R')},
                                           CaptionCase{3, 0, "IPPU" + std::string(44, 'P')},
                                           CaptionCase{4, 2,
                                                       "IS" + std::string(2, 'A') + std::string(7, 'P')
                                                           + std::string(7, 'R') + std::string(2, 'A')},
                                           CaptionCase{4, 10,
                                                       "IS" + std::string(10, 'A') + std::string(7, 'P')
                                                           + std::string(7, 'R') + std::string(10, 'A')}));

TEST(StepCaptions, RepeatDetailsAreTheReminderFollowedByThePleasantDetails)
{
    // 340 characters: count code points, not bytes.
    size_t characters = 0;
    for (unsigned char ch : StepCaptions::RepeatDetails)
        characters += (ch & 0xC0) != 0x80;
    EXPECT_EQ(characters, 340u);
    EXPECT_TRUE(StepCaptions::RepeatDetails.ends_with(" " + StepCaptions::PleasantDetails));
}

TEST(StepStatus, StatusPanelCarriesTheShortNameAndStep)
{
    Driver d;
    d.Begin(KindFull);
    EXPECT_EQ(d.view.status[StatusPanel::Step], "ПЦТЛ - Шаг 2 из 48");
    EXPECT_EQ(d.view.progress, 2);
    EXPECT_EQ(d.view.progressMaximum, 49);
    EXPECT_EQ(d.view.headerHeight, 80);
    EXPECT_TRUE(d.view.testRunning);
    EXPECT_TRUE(d.view.stepHeaderShown);
}

// ---------------------------------------------------------------- whole tests

TEST(WholeTest, EightColourOnceRecordsPicksTheLeftOverAndCopiesTheChoice)
{
    Driver d;
    d.now = Day0 + 0.25;
    d.Start(KindEightOnce);
    d.now += 60 * Second; // time spent on the registration does not count
    d.Register();
    const OleDate start = d.now;
    EXPECT_FALSE(d.view.status[StatusPanel::StartTime].empty());
    EXPECT_TRUE(d.view.clockRunning);

    ASSERT_EQ(d.view.tiles.size(), 8u);
    std::vector<int> shownOrder;
    for (const auto &t : d.view.tiles)
        shownOrder.push_back(t.Tag);

    std::vector<int> picks;
    for (int i = 0; i < 7; ++i) {
        // The tiles left keep the choice's order: the shown order minus the picks.
        std::vector<int> expected;
        for (int tag : shownOrder)
            if (std::find(picks.begin(), picks.end(), tag) == picks.end())
                expected.push_back(tag);
        std::vector<int> actual;
        for (const auto &t : d.view.tiles)
            actual.push_back(t.Tag);
        ASSERT_EQ(actual, expected) << "pick " << i;
        d.now += 5 * Second;
        picks.push_back(d.PickAt(i % 2 == 0 ? 0 : d.view.tiles.size() - 1));
    }
    ASSERT_EQ(d.finished.size(), 1u);
    const auto &f = d.finished[0];
    ASSERT_EQ(d.sessions.Count(), 1u);
    EXPECT_EQ(f.session, &d.sessions[0]);
    EXPECT_DOUBLE_EQ(f.start, start);
    EXPECT_DOUBLE_EQ(f.end, d.now);
    int leftOver = 0;
    for (int tag = 1; tag <= 8; ++tag)
        if (std::find(picks.begin(), picks.end(), tag) == picks.end())
            leftOver = tag;
    for (int p = 1; p <= 7; ++p)
        EXPECT_EQ(f.session->Choice[1][p], picks[static_cast<size_t>(p - 1)]);
    EXPECT_EQ(f.session->Choice[1][8], leftOver);
    EXPECT_EQ(f.session->Choice[2], f.session->Choice[1]);
    EXPECT_EQ(f.session->TestKind, 1);
    EXPECT_EQ(f.session->Surname, "Иванов");
    EXPECT_FALSE(d.procedure.Running());
    EXPECT_FALSE(d.view.clockRunning);
    EXPECT_FALSE(d.view.testRunning);
    EXPECT_FALSE(d.view.stepHeaderShown);
    EXPECT_EQ(d.view.progress, 0);
    EXPECT_EQ(d.view.status[StatusPanel::Step], "");
    EXPECT_TRUE(d.view.tiles.empty());
    EXPECT_EQ(d.procedure.CurrentSession(), nullptr);
}

TEST(WholeTest, EightColourTwiceStartsTheSecondChoiceWithAllTilesInANewOrder)
{
    Driver d;
    d.Begin(KindEightTwice);
    std::vector<int> first, second;
    for (int i = 0; i < 7; ++i)
        first.push_back(d.PickAt(d.view.tiles.size() - 1));
    ASSERT_EQ(d.view.tiles.size(), 8u);
    std::vector<int> secondOrder;
    for (const auto &t : d.view.tiles)
        secondOrder.push_back(t.Tag);
    EXPECT_EQ(secondOrder, d.procedure.TileOrder());
    for (int i = 0; i < 7; ++i)
        second.push_back(d.PickAt(0));
    EXPECT_EQ(std::vector<int>(secondOrder.begin(), secondOrder.begin() + 7), second);

    ASSERT_EQ(d.finished.size(), 1u);
    const TCLTSession &s = *d.finished[0].session;
    for (int p = 1; p <= 7; ++p) {
        EXPECT_EQ(s.Choice[1][p], first[static_cast<size_t>(p - 1)]);
        EXPECT_EQ(s.Choice[2][p], second[static_cast<size_t>(p - 1)]);
    }
    EXPECT_EQ(s.Choice[2][8], secondOrder[7]);
    std::set<int> all(s.Choice[1].begin(), s.Choice[1].end());
    EXPECT_EQ(all.size(), 8u);
}

TEST(WholeTest, FullTestStoresGreysInPickOrderAndAllPairWins)
{
    Driver d;
    d.Begin(KindFull);
    const ColourSet colours = NumberedColours();
    // Greys in table order with their own colours.
    ASSERT_EQ(d.view.tiles.size(), 5u);
    for (int e = 1; e <= 5; ++e)
        EXPECT_EQ(d.view.tiles[static_cast<size_t>(e - 1)],
                  (TileSpec{e, colours[static_cast<size_t>(ColourIndex(ColourTable::Achromatic, e))]}));
    const int g1 = d.PickAt(2), g2 = d.PickAt(0), g3 = d.PickAt(1);
    EXPECT_EQ(d.view.tiles.size(), 8u);
    for (int i = 0; i < 14; ++i)
        d.PickAt(0);
    // Pairs: always the left tile, so every table ends 3, 2, 1, 0.
    for (int table = 1; table <= 5; ++table)
        for (int pair = 1; pair <= 6; ++pair) {
            ASSERT_EQ(d.view.tiles.size(), 2u);
            const auto [left, right] = PairOrder(pair);
            const ColourTable t = FourColourTable(table);
            EXPECT_EQ(d.view.tiles[0], (TileSpec{left, colours[static_cast<size_t>(ColourIndex(t, left))]}));
            EXPECT_EQ(d.view.tiles[1], (TileSpec{right, colours[static_cast<size_t>(ColourIndex(t, right))]}));
            d.PickAt(0);
        }
    ASSERT_EQ(d.finished.size(), 1u);
    const TCLTSession &s = *d.finished[0].session;
    EXPECT_EQ(s.AchromaticChoice[1], g1);
    EXPECT_EQ(s.AchromaticChoice[2], g2);
    EXPECT_EQ(s.AchromaticChoice[3], g3);
    for (int table = 1; table <= 5; ++table) {
        EXPECT_EQ(s.PairWins[table][1], 3);
        EXPECT_EQ(s.PairWins[table][2], 2);
        EXPECT_EQ(s.PairWins[table][3], 1);
        EXPECT_EQ(s.PairWins[table][4], 0);
    }
    EXPECT_EQ(d.procedure.CurrentStep(), 48);
}

TEST(WholeTest, RelationsTestRecordsColourNumbersOfBothPasses)
{
    Driver d;
    d.Start(KindRelations);
    d.Register();
    EXPECT_TRUE(d.view.stimulusListShown);
    EXPECT_FALSE(d.procedure.TestStart().has_value()) << "the clock starts with the list";
    EXPECT_FALSE(d.procedure.ConfirmStimulusList({"Мать"}));
    EXPECT_FALSE(d.procedure.ConfirmStimulusList({}));
    EXPECT_EQ(d.procedure.CurrentStep(), 2);
    d.now += 30 * Second;
    ASSERT_TRUE(d.procedure.ConfirmStimulusList({"Мать", "", "Отец"}));
    const OleDate start = d.now;
    EXPECT_FALSE(d.view.stimulusListShown);
    EXPECT_EQ(d.procedure.TotalSteps(), 22);

    std::vector<int> pass1, pass2;
    auto stimulusStep = [&](std::vector<int> &into, size_t index) {
        ASSERT_EQ(d.view.tiles.size(), 8u);
        std::set<int> numbers;
        for (const auto &t : d.view.tiles)
            numbers.insert(t.Tag);
        EXPECT_EQ(numbers, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7})) << "all eight colours every time";
        for (const auto &t : d.view.tiles)
            EXPECT_EQ(t.Colour,
                      NumberedColours()[static_cast<size_t>(ColourIndex(ColourTable::EightColour, t.Tag + 1))]);
        into.push_back(d.PickAt(index));
    };
    for (size_t i = 0; i < 3; ++i)
        stimulusStep(pass1, i);
    EXPECT_EQ(d.procedure.StimulusPass(), 2);
    for (int i = 0; i < 14; ++i)
        d.PickAt(0);
    EXPECT_EQ(d.procedure.CurrentStep(), 20);
    EXPECT_EQ(d.view.texts.Name, StepCaptions::AssociationName("Мать"));
    for (size_t i = 0; i < 3; ++i)
        stimulusStep(pass2, 7 - i);
    ASSERT_EQ(d.finished.size(), 1u);
    const TCLTSession &s = *d.finished[0].session;
    EXPECT_DOUBLE_EQ(d.finished[0].start, start);
    ASSERT_EQ(s.CtoItems.Count(), 3u);
    EXPECT_EQ(s.CtoItems[1].StimulusName, "");
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(s.CtoItems[i].AssociatedColour[1], pass1[i]);
        EXPECT_EQ(s.CtoItems[i].AssociatedColour[2], pass2[i]);
    }
    std::set<int> c1(s.Choice[1].begin(), s.Choice[1].end()), c2(s.Choice[2].begin(), s.Choice[2].end());
    EXPECT_EQ(c1.size(), 8u);
    EXPECT_EQ(c2.size(), 8u);
}

TEST(WholeTest, PicksOfTagsNotShownAreIgnored)
{
    Driver d;
    d.Begin(KindEightTwice);
    const int picked = d.PickAt(0);
    d.procedure.PickTile(picked); // already chosen, its tile is gone
    d.procedure.PickTile(0);
    d.procedure.PickTile(9);
    d.procedure.ProcessChooseColor_BW(1); // wrong phase
    EXPECT_EQ(d.procedure.CurrentStep(), 3);
    EXPECT_EQ(d.view.tiles.size(), 7u);
    EXPECT_EQ(d.procedure.CurrentSession()->Choice[1][2], 0);
}

// ---------------------------------------------------------------- pair ties

TEST(PairTie, ATiedTableIsShownOnceMoreFromItsFirstStep)
{
    Driver d;
    d.Begin(KindFull);
    for (int i = 0; i < 17; ++i)
        d.PickAt(0);
    ASSERT_EQ(d.procedure.CurrentStep(), 19);
    ASSERT_EQ(d.procedure.Phase(), TestPhase::Pairs);
    auto pick = [&](int tag) {
        ASSERT_TRUE(d.view.tiles[0].Tag == tag || d.view.tiles[1].Tag == tag);
        d.procedure.PickTile(tag);
    };
    // Main table ends 2, 2, 1, 1: repeated.
    for (int tag : {1, 2, 2, 3, 1})
        pick(tag);
    EXPECT_EQ(d.view.texts.Number, Number(3, 24, 48));
    pick(4);
    EXPECT_EQ(d.view.texts.Number, Number(3, 19, 48)) << "the step label goes back";
    EXPECT_EQ(d.view.progress, 19);
    EXPECT_EQ(d.procedure.RepeatedTable(), 1);
    EXPECT_EQ(d.procedure.PairTable(), 1);
    EXPECT_EQ(d.procedure.CurrentSession()->PairWins[1], (OneBased<int, 4>{}));
    EXPECT_EQ(d.view.tiles[0].Tag, 1);
    EXPECT_EQ(d.view.tiles[1].Tag, 4);
    // The repetition ends 2, 2, 2, 0: the tie stands, the blue table follows.
    for (int tag : {1, 2, 1, 3, 3, 2})
        pick(tag);
    EXPECT_EQ(d.procedure.CurrentStep(), 25);
    EXPECT_EQ(d.procedure.PairTable(), 2);
    const auto &wins = d.procedure.CurrentSession()->PairWins[1];
    EXPECT_EQ(wins[1], 2);
    EXPECT_EQ(wins[2], 2);
    EXPECT_EQ(wins[3], 2);
    EXPECT_EQ(wins[4], 0);
}

TEST(PairTie, TheRedTableTiedAtTheLastStepIsRepeatedAndTheTestStillEndsAt48)
{
    Driver d;
    d.Begin(KindFull);
    for (int i = 0; i < 17 + 24; ++i)
        d.PickAt(0);
    ASSERT_EQ(d.procedure.CurrentStep(), 43);
    for (int tag : {1, 2, 2, 3, 1, 4})
        d.procedure.PickTile(tag);
    EXPECT_TRUE(d.finished.empty());
    EXPECT_EQ(d.procedure.CurrentStep(), 43);
    for (int i = 0; i < 6; ++i)
        d.PickAt(1); // right tiles: 0, 1, 2, 3 wins, no tie anyway
    ASSERT_EQ(d.finished.size(), 1u);
    EXPECT_EQ(d.procedure.CurrentStep(), 48);
    EXPECT_EQ(d.finished[0].session->PairWins[5][4], 3);
}

// ---------------------------------------------------------------- stopping

struct StopCase {
    int kind;
    int stimuli;
};

class StopAtEveryStep : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopAtEveryStep, NothingOfTheSessionRemains)
{
    const auto c = GetParam();
    const int total = TestKindStepCount(c.kind, c.stimuli);
    for (int stopAt = 1; stopAt <= total; ++stopAt) {
        SCOPED_TRACE("step " + std::to_string(stopAt));
        Driver d;
        auto &earlier = d.sessions.Add(std::make_unique<TCLTSession>());
        earlier.Surname = "Прежний";
        d.Start(c.kind);
        if (stopAt >= 2)
            d.Register();
        if (stopAt >= 3 && c.kind == KindRelations) {
            ASSERT_TRUE(d.procedure.ConfirmStimulusList(d.Stimuli(c.stimuli)));
        }
        while (d.procedure.CurrentStep() < stopAt)
            d.PickAt(0);
        ASSERT_EQ(d.procedure.CurrentStep(), stopAt);
        ASSERT_EQ(d.sessions.Count(), 1u) << "a running test is not listed";
        ASSERT_NE(d.procedure.CurrentSession(), nullptr);

        d.procedure.StartOrStop();
        EXPECT_FALSE(d.procedure.Running());
        EXPECT_EQ(d.procedure.CurrentSession(), nullptr);
        ASSERT_EQ(d.sessions.Count(), 1u);
        EXPECT_EQ(&d.sessions[0], &earlier);
        EXPECT_TRUE(d.finished.empty());
        EXPECT_TRUE(d.view.tiles.empty());
        EXPECT_FALSE(d.view.registrationShown);
        EXPECT_FALSE(d.view.stimulusListShown);
        EXPECT_FALSE(d.view.stepHeaderShown);
        EXPECT_FALSE(d.view.testRunning);
        EXPECT_FALSE(d.view.clockRunning);
        EXPECT_EQ(d.view.texts, StepTexts{});
        EXPECT_EQ(d.view.status[StatusPanel::StartTime], "");
        EXPECT_EQ(d.view.status[StatusPanel::Step], "");
        EXPECT_EQ(d.view.progress, 0);

        // The next test starts from scratch.
        d.procedure.StartOrStop();
        EXPECT_TRUE(d.view.chooserShown);
        d.procedure.StartTest(c.kind);
        EXPECT_EQ(d.procedure.CurrentStep(), 1);
        EXPECT_EQ(d.procedure.StimulusPass(), 1);
        EXPECT_EQ(d.procedure.StimulusIndex(), 0);
        EXPECT_EQ(d.procedure.RepeatedTable(), 0);
        EXPECT_EQ(d.sessions.Count(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, StopAtEveryStep,
                         ::testing::Values(StopCase{1, 0}, StopCase{2, 0}, StopCase{3, 0}, StopCase{4, 2},
                                           StopCase{4, 10}));

TEST(Stop, TheChooserIsLeftOnlyByChoosingAKind)
{
    Driver d;
    d.procedure.StartOrStop();
    EXPECT_EQ(d.procedure.Phase(), TestPhase::Chooser);
    EXPECT_EQ(d.view.headerHeight, 30);
    d.procedure.StopTest();
    EXPECT_EQ(d.procedure.Phase(), TestPhase::Chooser);
    d.procedure.StartTest(7);
    EXPECT_EQ(d.procedure.CurrentSession(), nullptr);
    d.procedure.StartTest(KindFull);
    EXPECT_FALSE(d.view.chooserShown);
    EXPECT_TRUE(d.view.registrationShown);
    EXPECT_NE(d.procedure.CurrentSession(), nullptr);
    EXPECT_EQ(d.sessions.Count(), 0u) << "listed only when finished";
}

// ---------------------------------------------------------------- registration

TEST(Registration, ARefusedRegistrationKeepsStepOneAndTheSessionUntouched)
{
    Driver d;
    RequiredFields required;
    required[RegistrationField::Group] = true;
    d.procedure.SetRequiredFields(required);
    d.Start(KindEightOnce);
    EXPECT_EQ(d.view.marks, required);
    RegistrationInput input;
    input.Surname = "Петров";
    input.FirstName = "Пётр";
    const auto problem = d.procedure.SubmitRegistration(input);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->Field, RegistrationField::Group);
    EXPECT_EQ(problem->Message, "Не заполнено поле Группа");
    EXPECT_EQ(d.procedure.CurrentStep(), 1);
    EXPECT_TRUE(d.view.registrationShown);
    EXPECT_EQ(d.procedure.CurrentSession()->Surname, "");
    input.GroupSelected = true;
    input.Group = "Отдел";
    EXPECT_FALSE(d.procedure.SubmitRegistration(input).has_value());
    EXPECT_EQ(d.procedure.CurrentSession()->Group, "Отдел");
    EXPECT_FALSE(d.view.registrationShown);
    EXPECT_EQ(d.view.resultClears, 1);
    EXPECT_EQ(d.procedure.CurrentStep(), 2);
}

// ---------------------------------------------------------------- clock

TEST(Clock, TheElapsedTimeIsTheDurationSinceTheStart)
{
    Driver d;
    d.Begin(KindEightOnce);
    d.now += (3600 + 10 * 60 + 5) * Second;
    d.procedure.ClockTick();
    EXPECT_EQ(d.view.status[StatusPanel::Elapsed], "1 ч 10 мин 5 сек");
}

TEST(StimulusItems, BuiltFromTheConfirmedLines)
{
    TCLTSession session;
    auto &old = session.CtoItems.AddNew();
    old.StimulusName = "старый";
    old.AssociatedColour[1] = 3;

    BuildChoiceItems(session, {"Мать", "", "%s \"x\""});
    ASSERT_EQ(session.CtoItems.Count(), 3u);
    EXPECT_EQ(session.CtoItems[0].StimulusName, "Мать");
    EXPECT_EQ(session.CtoItems[1].StimulusName, "");
    EXPECT_EQ(session.CtoItems[2].StimulusName, "%s \"x\"");
    for (const auto &item : session.CtoItems) {
        EXPECT_EQ(item.AssociatedColour[1], 0);
        EXPECT_EQ(item.AssociatedColour[2], 0);
        for (int a = 1; a <= 2; ++a)
            for (int c = 1; c <= 2; ++c)
                EXPECT_EQ(item.AssociationRank[a][c], 0);
    }
}

} // namespace
