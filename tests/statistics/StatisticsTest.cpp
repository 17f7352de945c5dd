// Group statistics against figures computed independently by another tool
// (StatisticsSample.h) and against cases that follow from the definitions.
#include "statistics/Distributions.h"
#include "statistics/GroupComparison.h"
#include "statistics/PersonStatistics.h"
#include "support/StatisticsSample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace statistics_sample;

// Statistics to 1e-9; p-values to 1e-6, and as a share of themselves where
// they are tiny, so a p of 1e-17 is checked too.
void ExpectFigure(double actual, double expected) { EXPECT_NEAR(actual, expected, 1e-9) << expected; }

void ExpectP(double actual, double expected)
{
    EXPECT_NEAR(actual, expected, 1e-6) << expected;
    EXPECT_NEAR(actual, expected, std::fabs(expected) * 1e-7) << expected;
}

ColourPositions Positions(const std::string &colours)
{
    ColourPositions positions{};
    for (int p = 0; p < 8; ++p)
        positions[colours[p] - '0'] = static_cast<std::uint8_t>(p + 1);
    return positions;
}

PositionTable Table(const std::vector<Person> &group, bool second = true)
{
    PositionTable table;
    for (const Person &person : group)
        table.Add(Positions(second ? person.Second : person.First));
    return table;
}

TEST(Distributions, MatchTheReferenceTails)
{
    for (const auto &[a, x, q] : GammaQ)
        EXPECT_NEAR(RegularizedGammaQ(a, x), q, q * 1e-10) << a << ' ' << x;
    for (const auto &[x, k, p] : ChiSquareTail)
        EXPECT_NEAR(ChiSquareSurvival(x, k), p, p * 1e-10) << x << ' ' << k;
    for (const auto &[z, p] : NormalTail)
        EXPECT_NEAR(NormalTwoSidedP(z), p, p * 1e-10) << z;
    EXPECT_TRUE(std::isnan(RegularizedGammaQ(0, 1)));
    EXPECT_TRUE(std::isnan(RegularizedGammaQ(1, -1)));
    EXPECT_EQ(ChiSquareSurvival(0, 7), 1.0);
}

TEST(ColourStatistics, GroupFiguresMatchTheReference)
{
    const PositionTable table = Table(GroupA);
    ASSERT_EQ(table.N, GroupA.size());
    const auto colours = SummariseColours(table);
    for (int c = 0; c < 8; ++c) {
        SCOPED_TRACE(c);
        const auto &[mean, median, q1, q3, plus, minus] = ColoursA[c];
        ExpectFigure(colours[c].MeanPosition, mean);
        ExpectFigure(colours[c].MedianPosition, median);
        ExpectFigure(colours[c].LowerQuartile, q1);
        ExpectFigure(colours[c].UpperQuartile, q3);
        ExpectFigure(colours[c].InterquartileRange, q3 - q1);
        ExpectFigure(colours[c].PlusShare, plus);
        ExpectFigure(colours[c].MinusShare, minus);
    }
    const Agreement agreement = FriedmanAgreement(table);
    ExpectFigure(agreement.Chi2, FriedmanA[0]);
    ExpectP(agreement.P, FriedmanA[1]);
    ExpectFigure(agreement.KendallW, FriedmanA[2]);
}

TEST(ColourStatistics, TableCountsEveryColourOncePerPerson)
{
    const PositionTable table = Table(GroupB);
    for (int c = 0; c < 8; ++c) {
        std::size_t row = 0;
        std::size_t column = 0;
        for (int p = 0; p < 8; ++p) {
            row += table.Counts[c][p];
            column += table.Counts[p][c];
        }
        EXPECT_EQ(row, GroupB.size());
        EXPECT_EQ(column, GroupB.size());
    }
    // Group B's second choices put red (3) first 5 times out of 18.
    EXPECT_EQ(table.Counts[3][0], 5U);
    ExpectFigure(table.Share(3, 1), 5.0 / 18.0);
}

TEST(ColourStatistics, AgreementAtItsBounds)
{
    struct Case {
        std::vector<std::string> choices;
        double w;
    };
    const Case cases[] = {
        {{"01234567", "01234567", "01234567"}, 1.0},
        {{"01234567", "76543210"}, 0.0},
    };
    for (const Case &c : cases) {
        PositionTable table;
        for (const std::string &choice : c.choices)
            table.Add(Positions(choice));
        ExpectFigure(FriedmanAgreement(table).KendallW, c.w);
    }
    EXPECT_TRUE(std::isnan(FriedmanAgreement(PositionTable{}).Chi2));
    EXPECT_TRUE(std::isnan(SummariseColours(PositionTable{})[0].MedianPosition));
}

TEST(ColourStatistics, PositionsOnlyFromAWholeChoice)
{
    TCLTSession session;
    for (int p = 1; p <= 8; ++p) {
        session.Choice[1][p] = p;
        session.Choice[2][p] = 9 - p;
    }
    session.TestKind = 2;
    ASSERT_TRUE(PositionsOfChoice(session, 2));
    EXPECT_EQ((*PositionsOfChoice(session, 2))[0], 8);
    EXPECT_EQ((*PositionsOfChoice(session, 1))[0], 1);
    session.TestKind = 1;
    EXPECT_FALSE(PositionsOfChoice(session, 2));
    session.Choice[1][8] = 1;
    EXPECT_FALSE(PositionsOfChoice(session, 1));
    session.Choice[1][8] = 0;
    EXPECT_FALSE(PositionsOfChoice(session, 1));
}

TEST(GroupComparison, TwoGroupsMatchTheReference)
{
    const auto results = CompareGroups(Table(GroupA), Table(GroupB));
    for (int c = 0; c < 8; ++c) {
        SCOPED_TRACE(c);
        const auto &[u, p, holm, r] = CompareAB[c];
        EXPECT_EQ(results[c].N1, GroupA.size());
        EXPECT_EQ(results[c].N2, GroupB.size());
        ExpectFigure(results[c].U, u);
        ExpectP(results[c].P, p);
        ExpectP(results[c].PHolm, holm);
        ExpectFigure(results[c].RankBiserial, r);
    }
}

TEST(GroupComparison, UCountsTheFirstGroupsLargerPositions)
{
    // First group at 8 and 1, second at 4: one pair larger, one smaller.
    PositionTable first;
    first.Add(Positions("12345670"));
    first.Add(Positions("01234567"));
    PositionTable second;
    second.Add(Positions("12304567"));
    const auto results = CompareGroups(first, second);
    ExpectFigure(results[0].U, 1.0);
    ExpectFigure(results[0].RankBiserial, 0.0);
    // Everyone at one position: no difference, p = 1, U all ties.
    PositionTable same;
    same.Add(Positions("01234567"));
    const auto ties = CompareGroups(same, same);
    ExpectFigure(ties[0].U, 0.5);
    EXPECT_EQ(ties[0].P, 1.0);
    EXPECT_TRUE(std::isnan(CompareGroups(same, PositionTable{})[0].P));
}

TEST(GroupComparison, HolmIsStepDownAndMonotone)
{
    struct Case {
        std::vector<double> p, expected;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {{0.01, 0.04, 0.03}, {0.03, 0.06, 0.06}},
        {{0.5, 0.001}, {0.5, 0.002}},
        {{0.4, 0.9}, {0.8, 0.9}},
        {{nan, 0.02, 0.5}, {nan, 0.04, 0.5}},
    };
    for (const Case &c : cases) {
        const auto adjusted = HolmAdjust(c.p);
        ASSERT_EQ(adjusted.size(), c.expected.size());
        for (std::size_t i = 0; i < adjusted.size(); ++i) {
            if (std::isnan(c.expected[i]))
                EXPECT_TRUE(std::isnan(adjusted[i]));
            else
                ExpectFigure(adjusted[i], c.expected[i]);
        }
    }
}

TEST(GroupComparison, KruskalWallisOverThreeMatchesTheReference)
{
    const auto results = KruskalWallis({Table(GroupA), Table(GroupB), PositionTable{}, Table(GroupC)});
    for (int c = 0; c < 8; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(results[c].Groups, 3U);
        ExpectFigure(results[c].H, KruskalABC[c][0]);
        ExpectP(results[c].P, KruskalABC[c][1]);
    }
    EXPECT_TRUE(std::isnan(KruskalWallis({Table(GroupA)})[0].H));
}

TEST(PersonStatistics, StabilityMatchesTheReference)
{
    std::vector<double> rhos;
    for (const Person &person : GroupA)
        rhos.push_back(SpearmanRho(Positions(person.First), Positions(person.Second)));
    const StabilitySummary summary = SummariseStability(rhos);
    EXPECT_EQ(summary.N, GroupA.size());
    ExpectFigure(summary.Median, StabilityA[0]);
    ExpectFigure(summary.LowerQuartile, StabilityA[1]);
    ExpectFigure(summary.UpperQuartile, StabilityA[2]);
    ExpectFigure(SpearmanRho(Positions("01234567"), Positions("76543210")), -1.0);
}

TEST(PersonStatistics, IntensityAndStimulusCounts)
{
    std::vector<TCLTSession> sessions(3);
    const int intensities[] = {2, 5, 99};
    for (std::size_t i = 0; i < sessions.size(); ++i) {
        TCLTSession &s = sessions[i];
        s.TestKind = 4;
        for (int p = 1; p <= 8; ++p)
            s.Choice[1][p] = s.Choice[2][p] = p;
        s.AcIntensity[2] = intensities[i];
        s.AcMark[2][1] = 2;
        s.AcMark[2][8] = 1;
        s.AcMark[2][7] = i == 0 ? 1 : 0;
        auto &item = s.CtoItems.AddNew();
        item.StimulusName = i == 1 ? "Отец" : "Мать";
        item.AssociatedColour[1] = static_cast<int>(i);
        item.AssociatedColour[2] = 7;
    }
    std::vector<const TCLTSession *> all;
    for (const TCLTSession &s : sessions)
        all.push_back(&s);
    const IntensitySummary intensity = SummariseIntensity(all, 2);
    EXPECT_EQ(intensity.N, 2U); // 99 is no intensity
    ExpectFigure(intensity.MeanIntensity, 3.5);
    ExpectFigure(intensity.MeanAnxieties, 1.5);
    ExpectFigure(intensity.MeanCompensations, 1.0);
    EXPECT_EQ(intensity.Distribution[2], 1U);
    EXPECT_EQ(intensity.Distribution[5], 1U);

    const auto stimuli = CountStimulusColours(all);
    ASSERT_EQ(stimuli.size(), 2U);
    EXPECT_EQ(stimuli[0].Stimulus, "Мать");
    EXPECT_EQ(stimuli[0].N, 2U);
    EXPECT_EQ(stimuli[0].Counts[0][0], 1U);
    EXPECT_EQ(stimuli[0].Counts[0][2], 1U);
    EXPECT_EQ(stimuli[0].Counts[1][7], 2U);
    EXPECT_EQ(stimuli[1].Counts[0][1], 1U);
}

} // namespace
