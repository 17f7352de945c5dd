#include "interpretation/SessionInput.h"
#include "interpretation/InterpretationFixtures.h"

#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// The tables below are aligned by hand, one case a line.
// clang-format off

namespace {

using ::testing::HasSubstr;

OneBased<int, 4> Wins(int a, int b, int c, int d)
{
    OneBased<int, 4> wins;
    wins[1] = a;
    wins[2] = b;
    wins[3] = c;
    wins[4] = d;
    return wins;
}

TEST(SessionInput, PairWinTablesThatSixComparisonsCanProduce)
{
    struct Case {
        OneBased<int, 4> wins;
        bool possible;
    };
    const Case cases[] = {
        {Wins(3, 2, 1, 0), true},  {Wins(0, 1, 2, 3), true},  {Wins(2, 2, 1, 1), true},
        {Wins(3, 1, 1, 1), true},  {Wins(2, 2, 2, 0), true},  {Wins(0, 0, 0, 0), false},
        {Wins(3, 3, 0, 0), false}, // two shades cannot both win all three
        {Wins(2, 2, 2, 2), false}, // eight wins from six comparisons
        {Wins(3, 2, 2, 0), false}, // seven wins
        {Wins(4, 1, 1, 0), false}, {Wins(3, 3, 1, -1), false}, {Wins(0, 1, 1, 1), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsPairWinTable(c.wins), c.possible)
            << c.wins[1] << c.wins[2] << c.wins[3] << c.wins[4];
}

TCLTSession ValidFullTest()
{
    auto session = SessionBuilder(3).Choice(1, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Choice(2, Tags({7, 6, 5, 4, 3, 2, 1, 0})).Build();
    session.AchromaticChoice[1] = 5;
    session.AchromaticChoice[2] = 1;
    session.AchromaticChoice[3] = 3;
    for (int t = 1; t <= 5; ++t)
        session.PairWins[t] = Wins(3, 2, 1, 0);
    return session;
}

TCLTSession ValidRelationsTest()
{
    auto session = SessionBuilder(4).Choice(1, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Choice(2, Tags({7, 6, 5, 4, 3, 2, 1, 0})).Build();
    for (int k = 0; k < 2; ++k) {
        auto &item = session.CtoItems.AddNew();
        item.StimulusName = "Мать";
        item.AssociatedColour[1] = 7;
        item.AssociatedColour[2] = 0;
    }
    return session;
}

struct FaultCase {
    const char *name;
    std::function<TCLTSession()> make;
    const char *fault; // part of the message; empty when the session is fine
};

const FaultCase FaultCases[] = {
    {"double administration", [] { return SessionBuilder(2).Choice(1, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Choice(2, Tags({3, 4, 2, 5, 1, 6, 0, 7})).Build(); }, ""},
    {"full test", ValidFullTest, ""},
    {"relations test", ValidRelationsTest, ""},
    {"single administration needs only choice 1",
     [] {
         auto s = SessionBuilder(1).Choice(1, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Choice(2, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Build();
         s.Choice[2].fill(0);
         return s;
     },
     ""},
    {"kind 0", [] { auto s = ValidFullTest(); s.TestKind = 0; return s; }, "TestKind 0"},
    {"kind 5", [] { auto s = ValidFullTest(); s.TestKind = 5; return s; }, "TestKind 5"},
    {"repeated tag", [] { auto s = ValidFullTest(); s.Choice[2][8] = s.Choice[2][1]; return s; }, "Choice 2"},
    {"tag 9", [] { auto s = ValidFullTest(); s.Choice[1][3] = 9; return s; }, "Choice 1"},
    {"tag 0 in choice 1 of a single administration",
     [] { auto s = SessionBuilder(1).Choice(1, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Choice(2, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Build(); s.Choice[1][1] = 0; return s; },
     "Choice 1"},
    {"grey tile 6", [] { auto s = ValidFullTest(); s.AchromaticChoice[3] = 6; return s; }, "AchromaticChoice"},
    {"grey tile 0", [] { auto s = ValidFullTest(); s.AchromaticChoice[1] = 0; return s; }, "AchromaticChoice"},
    {"grey tile twice",
     [] { auto s = ValidFullTest(); s.AchromaticChoice[3] = s.AchromaticChoice[1]; return s; },
     "three different"},
    {"impossible wins", [] { auto s = ValidFullTest(); s.PairWins[4] = Wins(3, 3, 0, 0); return s; }, "table 4"},
    {"no wins recorded", [] { auto s = ValidFullTest(); s.PairWins[1] = Wins(0, 0, 0, 0); return s; }, "table 1"},
    {"one stimulus", [] { auto s = ValidRelationsTest(); s.CtoItems.Delete(1); return s; }, "at least two"},
    {"colour 8", [] { auto s = ValidRelationsTest(); s.CtoItems[1].AssociatedColour[2] = 8; return s; }, "stimulus 2"},
    {"colour -1", [] { auto s = ValidRelationsTest(); s.CtoItems[0].AssociatedColour[1] = -1; return s; }, "stimulus 1"},
};

class FaultTable : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTable, NamesTheFirstFault)
{
    const auto &c = GetParam();
    const auto fault = FindSessionInputFault(c.make());
    if (*c.fault == '\0')
        EXPECT_EQ(fault, "");
    else
        EXPECT_THAT(fault, HasSubstr(c.fault));
}

INSTANTIATE_TEST_SUITE_P(Cases, FaultTable, ::testing::ValuesIn(FaultCases), CaseName());

TEST(SessionInput, PreparationCopiesTheSingleChoiceAndForgetsEarlierResults)
{
    auto session = SessionBuilder(1).Choice(1, Tags({3, 4, 2, 5, 1, 6, 0, 7})).Choice(2, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Build();
    session.AcMark[1][4] = 1;
    session.AcWeight[2][2] = 3;
    session.AcIntensity[2] = 9;
    session.FunctionSign[1][1] = 4;
    session.ShadeTendency[3] = -3;
    session.ShadeScore[2] = 1000;
    session.BriefConclusion = "старое";
    session.DetailedConclusion = "старое";
    session.AdditionalFindings = "старое";
    session.FunctionGroups.AddNew();
    auto &item = session.CtoItems.AddNew();
    item.AssociationRank[1][2] = 5;

    PrepareForInterpretation(session);

    const TCLTSession fresh;
    EXPECT_EQ(session.Choice[2], session.Choice[1]);
    EXPECT_EQ(session.AcMark, fresh.AcMark);
    EXPECT_EQ(session.AcWeight, fresh.AcWeight);
    EXPECT_EQ(session.AcIntensity, fresh.AcIntensity);
    EXPECT_EQ(session.FunctionSign, fresh.FunctionSign);
    EXPECT_EQ(session.ShadeTendency, fresh.ShadeTendency);
    EXPECT_EQ(session.ShadeScore, fresh.ShadeScore);
    EXPECT_EQ(session.FunctionGroups.Count(), 0u);
    EXPECT_EQ(session.CtoItems[0].AssociationRank[1][2], 0);
    EXPECT_EQ(session.BriefConclusion + session.DetailedConclusion + session.AdditionalFindings, "");
}

TEST(SessionInput, PreparationKeepsBothChoicesOfADoubleAdministration)
{
    auto session = SessionBuilder(2).Choice(1, Tags({3, 4, 2, 5, 1, 6, 0, 7})).Choice(2, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Build();
    const auto second = session.Choice[2];
    PrepareForInterpretation(session);
    EXPECT_EQ(session.Choice[2], second);
}

} // namespace
// clang-format on
