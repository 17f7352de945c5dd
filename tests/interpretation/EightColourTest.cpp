#include "interpretation/EightColour.h"
#include "interpretation/InterpretationFixtures.h"

#include <gtest/gtest.h>

namespace {

// ---- Marks, weights and intensity -------------------------------------------

struct MarkCase {
    const char *name;
    Colours colours;
    std::array<int, 8> marks;
    std::array<int, 8> weights;
    int intensity;
};

// The neutral order gets no mark at all, so it serves as the other choice.
const Colours Neutral{3, 4, 2, 5, 1, 6, 0, 7};

const MarkCase MarkCases[] = {
    {"neutral", Neutral, {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}, 0},
    {"everything", {0, 6, 7, 5, 1, 2, 3, 4}, {2, 2, 2, 0, 0, 1, 1, 1}, {3, 2, 1, 0, 0, 1, 2, 3}, 12},
    // Yellow at 6 marks 6-8, but brown and black there weigh nothing; the
    // anxiety alone puts a weightless "C" on position 1.
    {"main at 6 only", {1, 2, 3, 5, 0, 4, 6, 7}, {2, 0, 0, 0, 0, 1, 1, 1}, {0, 0, 0, 0, 0, 1, 0, 0}, 1},
    // Grey at 3 marks 1-3; with no anxiety position 8 still gets a weightless "A".
    {"grey at 3 only", {1, 2, 0, 3, 4, 5, 6, 7}, {2, 2, 2, 0, 0, 0, 0, 1}, {0, 0, 1, 0, 0, 0, 0, 0}, 1},
    {"grey first", {0, 1, 2, 3, 4, 5, 6, 7}, {2, 0, 0, 0, 0, 0, 0, 1}, {3, 0, 0, 0, 0, 0, 0, 0}, 3},
    {"main last only", {1, 2, 3, 5, 6, 0, 7, 4}, {2, 0, 0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 3}, 3},
    {"main at 7, grey at 2", {5, 0, 1, 2, 3, 6, 4, 7}, {2, 2, 0, 0, 0, 0, 1, 1}, {0, 2, 0, 0, 0, 0, 2, 0}, 4},
};

class MarkTable : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkTable, MarksEachChoiceOnItsOwnColours)
{
    const auto &c = GetParam();
    for (int marked = 1; marked <= 2; ++marked) {
        auto session = marked == 1 ? SessionBuilder(2).Choice(1, Tags(c.colours)).Choice(2, Tags(Neutral)).Build()
                                   : SessionBuilder(2).Choice(1, Tags(Neutral)).Choice(2, Tags(c.colours)).Build();
        MarkAnxietyCompensation(session);
        const int other = 3 - marked;
        EXPECT_EQ(Row(session.AcMark[marked]), c.marks) << "choice " << marked;
        EXPECT_EQ(Row(session.AcWeight[marked]), c.weights) << "choice " << marked;
        EXPECT_EQ(session.AcIntensity[marked], c.intensity) << "choice " << marked;
        EXPECT_EQ(Row(session.AcMark[other]), (std::array<int, 8>{})) << "choice " << other;
        EXPECT_EQ(session.AcIntensity[other], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MarkTable, ::testing::ValuesIn(MarkCases), CaseName());

// ---- Stable pairs ----------------------------------------------------------

struct PairCase {
    Colours tested;
    Colours other;
    int i;
    bool stable;
};

const Colours Ascending{0, 1, 2, 3, 4, 5, 6, 7};

const PairCase PairCases[] = {
    {Ascending, Ascending, 1, true},
    {Ascending, {1, 0, 2, 3, 4, 5, 6, 7}, 1, true},  // same place, swapped
    {Ascending, {5, 0, 3, 4, 1, 2, 6, 7}, 4, true},  // shifted back by one
    {Ascending, {5, 0, 4, 3, 1, 2, 6, 7}, 4, true},  // shifted back, swapped
    {Ascending, {5, 0, 1, 2, 3, 4, 6, 7}, 4, true},  // shifted on by one
    {Ascending, {0, 1, 2, 5, 6, 3, 4, 7}, 4, false}, // two places away
    {Ascending, {3, 5, 4, 0, 1, 2, 6, 7}, 4, false}, // apart in the other choice
    {Ascending, {0, 1, 2, 3, 4, 5, 7, 6}, 7, true},  // last pair swapped in place
    {Ascending, {0, 1, 2, 3, 4, 6, 7, 5}, 7, true},  // last pair shifted back
    {Ascending, {6, 7, 2, 3, 4, 5, 1, 0}, 7, false}, // last pair: nothing to look at past 8
    {Ascending, {5, 0, 1, 2, 3, 4, 6, 7}, 1, true},  // first pair shifted on
    {Ascending, {0, 6, 7, 3, 4, 5, 1, 2}, 1, false}, // first pair: nothing to look at before 1
};

class PairTable : public ::testing::TestWithParam<PairCase> {};

TEST_P(PairTable, FindsNeighboursInTheOtherChoice)
{
    const auto &c = GetParam();
    const auto asSecond = SessionBuilder(2).Choice(1, Tags(c.other)).Choice(2, Tags(c.tested)).Build();
    EXPECT_EQ(IsStablePair(asSecond, 2, c.i, c.i + 1), c.stable);
    const auto asFirst = SessionBuilder(2).Choice(1, Tags(c.tested)).Choice(2, Tags(c.other)).Build();
    EXPECT_EQ(IsStablePair(asFirst, 1, c.i, c.i + 1), c.stable);
}

INSTANTIATE_TEST_SUITE_P(Cases, PairTable, ::testing::ValuesIn(PairCases));

// ---- Signs and function groups ----------------------------------------------

struct GroupCase {
    const char *name;
    int kind;
    Colours first;
    Colours second;
    std::array<int, 8> signs1;
    std::array<int, 8> signs2;
    std::vector<Group> groups;
};

const GroupCase GroupCases[] = {
    {"identical choices",
     2,
     Neutral,
     Neutral,
     {1, 2, 2, 3, 3, 3, 3, 4},
     {1, 2, 2, 3, 3, 3, 3, 4},
     {{1, 3, 4}, {2, 4, 2}, {4, 0, 7}, {3, 6, 0}, {3, 5, 1}, {3, 5, 5}, {3, 1, 1}, {3, 6, 6}, {5, 3, 7}}},
    {"single administration, one tension group",
     1,
     Ascending,
     Ascending,
     {1, 1, 2, 2, 3, 3, 4, 4},
     {1, 1, 2, 2, 3, 3, 4, 4},
     {{1, 0, 1}, {2, 2, 3}, {3, 4, 5}, {4, 6, 7}, {5, 0, 7}}},
    {"single administration, every tension pair",
     1,
     {0, 6, 7, 5, 1, 2, 3, 4},
     {0, 6, 7, 5, 1, 2, 3, 4},
     {1, 1, 2, 2, 3, 3, 4, 4},
     {1, 1, 2, 2, 3, 3, 4, 4},
     {{1, 0, 6},
      {2, 7, 5},
      {3, 1, 2},
      {4, 3, 4},
      {5, 0, 4},
      {5, 0, 3},
      {5, 6, 4},
      {5, 6, 3},
      {5, 0, 2},
      {5, 6, 2},
      {5, 7, 4},
      {5, 7, 3},
      {5, 7, 2}}},
    {"single administration, tension pairs of the marked positions",
     1,
     {5, 0, 1, 2, 3, 6, 4, 7},
     {5, 0, 1, 2, 3, 6, 4, 7},
     {1, 1, 2, 2, 3, 3, 4, 4},
     {1, 1, 2, 2, 3, 3, 4, 4},
     {{1, 5, 0}, {2, 1, 2}, {3, 3, 6}, {4, 4, 7}, {5, 5, 7}, {5, 5, 4}, {5, 0, 7}, {5, 0, 4}}},
    // No pair anywhere: five "=" positions, the last pair overlapping; red and
    // yellow, first in choice 1, end choice 2 and come back as ambivalence.
    {"no stable pair, ambivalence",
     2,
     {3, 4, 2, 5, 1, 6, 0, 7},
     {0, 1, 2, 5, 6, 7, 4, 3},
     {1, 2, 3, 3, 3, 3, 3, 4},
     {1, 2, 3, 3, 3, 3, 3, 4},
     {{1, 0, 0},
      {2, 1, 1},
      {4, 3, 3},
      {3, 2, 5},
      {3, 6, 7},
      {3, 7, 4},
      {3, 2, 2},
      {3, 5, 5},
      {3, 6, 6},
      {3, 7, 7},
      {3, 4, 4},
      {5, 0, 3},
      {5, 0, 4},
      {5, 3, 3},
      {5, 4, 4}}},
    // Choice 2: "+" pair, "x" pair from 3, "-" pair, a two-place "=" zone.
    // Choice 1: "x" single at 3 and the (6, 7) "=" pair taking 7 from "-".
    {"pairs with a short zone",
     2,
     {1, 2, 5, 3, 4, 6, 7, 0},
     {1, 2, 3, 4, 5, 6, 7, 0},
     {1, 1, 2, 3, 3, 3, 3, 4},
     {1, 1, 2, 2, 3, 3, 4, 4},
     {{1, 1, 2}, {2, 3, 4}, {4, 7, 0}, {3, 5, 6}, {3, 5, 5}, {3, 6, 6}, {5, 1, 0}}},
    // Choice 2: "x" single at 3 after a "+" pair, "-" single, four "=" places.
    {"single x after a plus pair",
     2,
     {1, 2, 4, 5, 3, 7, 6, 0},
     {1, 2, 3, 4, 5, 6, 7, 0},
     {1, 1, 2, 2, 3, 3, 3, 4},
     {1, 1, 2, 3, 3, 3, 3, 4},
     {{1, 1, 2}, {2, 3, 3}, {4, 0, 0}, {3, 4, 5}, {3, 6, 7}, {3, 4, 4}, {3, 5, 5}, {3, 6, 6}, {3, 7, 7}, {5, 1, 0}}},
};

class GroupTable : public ::testing::TestWithParam<GroupCase> {};

TEST_P(GroupTable, SignsBothChoicesAndListsTheGroupsOfChoiceTwo)
{
    const auto &c = GetParam();
    auto session = SessionBuilder(c.kind).Choice(1, Tags(c.first)).Choice(2, Tags(c.second)).Build();
    MarkAnxietyCompensation(session);
    EXPECT_TRUE(BuildFunctionGroups(session));
    EXPECT_EQ(Row(session.FunctionSign[1]), c.signs1);
    EXPECT_EQ(Row(session.FunctionSign[2]), c.signs2);
    EXPECT_EQ(GroupsOf(session), c.groups);

    // Building again starts from an empty list.
    BuildFunctionGroups(session);
    EXPECT_EQ(GroupsOf(session), c.groups);
}

INSTANTIATE_TEST_SUITE_P(Cases, GroupTable, ::testing::ValuesIn(GroupCases), CaseName());

TEST(FunctionGroups, AnEqualGroupIsNotAddedTwice)
{
    TCLTSession session;
    EXPECT_TRUE(AddFunctionGroup(session, 3, 4, 5));
    EXPECT_FALSE(AddFunctionGroup(session, 3, 4, 5));
    EXPECT_TRUE(AddFunctionGroup(session, 3, 5, 4)); // colours keep their order
    EXPECT_TRUE(AddFunctionGroup(session, 2, 4, 5));
    EXPECT_EQ(GroupsOf(session), (std::vector<Group>{{3, 4, 5}, {3, 5, 4}, {2, 4, 5}}));
}

// ---- Knowledge-base lookup -------------------------------------------------

TEST(FunctionGroups, LookupTakesTheFirstEntryWithKindAndColoursInOrder)
{
    TCLTKnowledgeBase base;
    AddEntry(base, 6, 3, 4, "other kind");
    AddEntry(base, 1, 4, 3, "colours swapped");
    AddEntry(base, 1, 3, 4, "first match");
    AddEntry(base, 1, 3, 4, "second match");

    TCLTSession session;
    AddFunctionGroup(session, 1, 3, 4);
    AddFunctionGroup(session, 2, 3, 4);
    AddFunctionGroup(session, 1, 4, 3);

    struct Case {
        int group;
        int entry;
    };
    for (const auto &[group, entry] : {Case{0, 2}, Case{1, -1}, Case{2, 1}, Case{3, -1}, Case{-1, -1}})
        EXPECT_EQ(FindOutcomeForGroup(base, session, group), entry) << "group " << group;
    EXPECT_EQ(FindOutcomeForGroup(base, nullptr), -1);
    EXPECT_EQ(FindOutcomeForGroup(TCLTKnowledgeBase{}, session, 0), -1);
}

// ---- Texts -------------------------------------------------------------------

TEST(FunctionTexts, EmptyKnowledgeBaseLeavesTheOpeningAndTheHeadings)
{
    auto session = SessionBuilder(1).Choice(1, Tags(Ascending)).Choice(2, Tags(Ascending)).Build();
    MarkAnxietyCompensation(session);
    BuildFunctionGroups(session);
    const TCLTKnowledgeBase empty;
    EXPECT_EQ(BuildBriefFunctionText(session, empty, ""), "");
    EXPECT_EQ(BuildBriefFunctionText(session, empty, "Начало"), "Начало");
    EXPECT_EQ(BuildDetailedFunctionText(session, empty, "", ","),
              HeadingPlus + HeadingX + HeadingEq + HeadingMinus + HeadingTension);
    EXPECT_EQ(BuildDetailedFunctionText(session, empty, "Начало", ","),
              "Начало" + HeadingPlus + HeadingX + HeadingEq + HeadingMinus + HeadingTension);
}

TEST(FunctionTexts, EntriesFollowTheGroupsInListOrderAndUnderTheirCodes)
{
    // Groups of the single administration 0..7: (1,0,1) (2,2,3) (3,4,5) (4,6,7) (5,0,7).
    auto session = SessionBuilder(1).Choice(1, Tags(Ascending)).Choice(2, Tags(Ascending)).Build();
    MarkAnxietyCompensation(session);
    BuildFunctionGroups(session);

    TCLTKnowledgeBase base;
    AddEntry(base, 5, 0, 7, "Напряжение");
    auto &minus = AddEntry(base, 4, 6, 7, "Отвергает");
    minus.Percent = 12.25;
    minus.EightColourStars = 2;
    AddEntry(base, 1, 1, 0, "Не та группа"); // colours in the wrong order
    auto &plus = AddEntry(base, 1, 0, 1, "Стремится");
    plus.PhysiologicalText = "Тело";
    plus.PsychologicalText = "Душа";
    AddEntry(base, 1, 0, 1, "Вторая запись того же ключа");

    EXPECT_EQ(BuildBriefFunctionText(session, base, "Отношения"),
              "Отношения\r\nСтремится\r\nТело\r\nДуша\r\nОтвергает\r\nНапряжение");
    EXPECT_EQ(BuildDetailedFunctionText(session, base, "", ","),
              HeadingPlus
                  + "+0+1\r\nСтремится\r\nФизиологическая интерпретация: Тело\r\nПсихологическая интерпретация: "
                    "Душа\r\n"
                  + HeadingX + HeadingEq + HeadingMinus + "-6-7\r\nОтвергает (Статистика: 12,3 % **)\r\n"
                  + HeadingTension + "+0-7\r\nНапряжение\r\n");
    EXPECT_EQ(BuildDetailedFunctionText(session, base, "", "."),
              HeadingPlus
                  + "+0+1\r\nСтремится\r\nФизиологическая интерпретация: Тело\r\nПсихологическая интерпретация: "
                    "Душа\r\n"
                  + HeadingX + HeadingEq + HeadingMinus + "-6-7\r\nОтвергает (Статистика: 12.3 % **)\r\n"
                  + HeadingTension + "+0-7\r\nНапряжение\r\n");
}

} // namespace
