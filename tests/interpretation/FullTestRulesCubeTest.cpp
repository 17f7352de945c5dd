#include "interpretation/FullTestRules.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

// The tables below are aligned by hand, one case a line.
// clang-format off

namespace {

struct ScoreCase {
    std::array<int, 4> Counts; // blue, green, yellow, red
    int Score;
    const char *Why;
};

const ScoreCase ScoreCases[] = {
    {{3, 3, 0, 0}, UndeterminedScore, "two threes and two zeros"},
    {{0, 3, 0, 3}, UndeterminedScore, "two threes and two zeros in another order"},
    {{3, 2, 1, 0}, UndeterminedScore, "spread 5 - 1 is exactly 4"},
    {{0, 1, 2, 3}, UndeterminedScore, "same counts reversed"},
    {{2, 2, 0, 0}, UndeterminedScore, "high pair of twos, spread 4"},
    {{3, 0, 2, 3}, UndeterminedScore, "a two fills the low pair when no ones are left"},
    {{2, 2, 1, 1}, 6, "spread 2 keeps the sum"},
    {{2, 2, 1, 0}, 5, "spread 3 keeps the sum"},
    {{3, 2, 2, 2}, 9, "twos fill both pairs, spread 1"},
    {{3, 0, 2, 2}, 7, "spread 3 after a two fills the low pair"},
    {{1, 1, 1, 0}, 3, "no high pair at all: pairs of unequal size keep the sum"},
    {{3, 1, 1, 1}, 6, "one three only: pairs of unequal size keep the sum"},
    {{0, 0, 0, 0}, 0, "four zeros"},
    {{0, 0, 0, 3}, 0, "three zeros win whatever the fourth"},
    {{2, 0, 0, 0}, 0, "three zeros with a two"},
    {{3, 3, 3, 0}, 12, "three threes win whatever the fourth"},
    {{3, 3, 3, 3}, 12, "four threes"},
    {{1, 3, 3, 3}, 12, "three threes with a one"},
};

TEST(FullTestCube, ScoreFromCountsOfTheFourChromaticTables)
{
    for (const ScoreCase &c : ScoreCases) {
        const int counts[4] = {c.Counts[0], c.Counts[1], c.Counts[2], c.Counts[3]};
        EXPECT_EQ(ShadeScoreFromCounts(counts), c.Score) << c.Why;
    }
}

struct TendencyCase {
    int Shade;
    int Score;
    int Tendency;
};

const TendencyCase TendencyCases[] = {
    {3, 4, -3}, {3, 5, 0}, {3, 10, 0}, {3, 11, 3}, {3, 0, -3}, {3, 12, 3},
    {1, 2, -1}, {1, 3, 0}, {1, 7, 0}, {1, 8, 1},
    {2, 2, -2}, {2, 8, 0}, {2, 9, 2},
    {4, 2, -4}, {4, 3, 0}, {4, 9, 0}, {4, 10, 4},
    {1, UndeterminedScore, UndeterminedScore}, {4, UndeterminedScore, UndeterminedScore},
};

TEST(FullTestCube, TendencyAgainstTheNormalRangeOfEachShade)
{
    for (const TendencyCase &c : TendencyCases)
        EXPECT_EQ(ShadeTendencyFor(c.Shade, c.Score), c.Tendency) << "shade " << c.Shade << " score " << c.Score;
}

void SetTables(TCLTSession &session, const std::array<std::array<int, 4>, 5> &tables)
{
    for (int t = 1; t <= 5; ++t)
        for (int s = 1; s <= 4; ++s)
            session.PairWins[t][s] = tables[static_cast<std::size_t>(t - 1)][static_cast<std::size_t>(s - 1)];
}

TEST(FullTestCube, ComputeCubeReadsTheChromaticTablesByShade)
{
    TCLTSession session;
    // Rows are tables (main, blue, green, yellow, red), columns shades.
    SetTables(session, {{{3, 2, 1, 0}, {1, 3, 2, 0}, {1, 3, 1, 1}, {0, 2, 1, 3}, {0, 1, 2, 3}}});
    ComputeCube(session);

    EXPECT_EQ(session.ShadeScore[1], 2);
    EXPECT_EQ(session.ShadeScore[2], 9);
    EXPECT_EQ(session.ShadeScore[3], 6);
    EXPECT_EQ(session.ShadeScore[4], UndeterminedScore);
    EXPECT_EQ(session.ShadeTendency[1], -1);
    EXPECT_EQ(session.ShadeTendency[2], 2);
    EXPECT_EQ(session.ShadeTendency[3], 0);
    EXPECT_EQ(session.ShadeTendency[4], UndeterminedScore);

    // The main table takes no part in the cube.
    TCLTSession other = session;
    other.PairWins[1] = session.PairWins[5];
    ComputeCube(other);
    EXPECT_EQ(other.ShadeScore, session.ShadeScore);
}

TEST(FullTestCube, ComputeCubeIsTheSameOnASecondRunAndFromAnyStoredTendency)
{
    TCLTSession session;
    SetTables(session, {{{3, 2, 1, 0}, {0, 0, 3, 3}, {0, 1, 2, 3}, {0, 1, 2, 3}, {1, 0, 3, 2}}});
    ComputeCube(session);
    const auto scores = session.ShadeScore;
    const auto tendencies = session.ShadeTendency;
    EXPECT_EQ(tendencies[1], -1); // 0, 0, 0, 1: three zeros
    EXPECT_EQ(tendencies[4], 4);  // 3, 3, 3, 2: three threes

    ComputeCube(session);
    EXPECT_EQ(session.ShadeScore, scores);
    EXPECT_EQ(session.ShadeTendency, tendencies);

    session.ShadeTendency.fill(0);
    ComputeCube(session);
    EXPECT_EQ(session.ShadeTendency, tendencies);
}

TCLTOutcome &AddEntry(TCLTKnowledgeBase &base, int kind, std::array<int, 4> keys, int id)
{
    TCLTOutcome &entry = base.AddNew();
    entry.Kind = kind;
    entry.Key1 = keys[0];
    entry.Key2 = keys[1];
    entry.Key3 = keys[2];
    entry.Key4 = keys[3];
    entry.EntryId = id;
    return entry;
}

TEST(FullTestLookup, FirstEntryWhoseGivenKeysMatch)
{
    TCLTKnowledgeBase base;
    EXPECT_EQ(FindOutcome(base, 14, {1, 2}), -1) << "empty knowledge base";

    AddEntry(base, 9, {1, 2, 3, 0}, 1);  // 0
    AddEntry(base, 9, {1, 2, 3, 4}, 2);  // 1
    AddEntry(base, 9, {1, 2, 3, 4}, 3);  // 2, duplicate
    AddEntry(base, 14, {1, -2, 7, 7}, 4); // 3, keys 3 and 4 not asked for
    AddEntry(base, 8, {0, 1, 2, 9}, 5);  // 4
    AddEntry(base, 6, {3, 0, 0, 0}, 6);  // 5

    struct Case {
        int Kind;
        std::vector<int> Keys;
        int Index;
    };
    const Case cases[] = {
        {9, {1, 2, 3, 4}, 1},  {9, {1, 2, 3, 0}, 0},  {9, {1, 2, 4, 3}, -1}, {10, {1, 2, 3, 4}, -1},
        {14, {1, -2}, 3},      {14, {-2, 1}, -1},     {8, {0, 1, 2}, 4},     {8, {0, 1, 3}, -1},
        {6, {3, 0}, 5},        {7, {3, 0}, -1},
    };
    for (const Case &c : cases) {
        int index = -1;
        switch (c.Keys.size()) {
        case 2: index = FindOutcome(base, c.Kind, {c.Keys[0], c.Keys[1]}); break;
        case 3: index = FindOutcome(base, c.Kind, {c.Keys[0], c.Keys[1], c.Keys[2]}); break;
        default: index = FindOutcome(base, c.Kind, {c.Keys[0], c.Keys[1], c.Keys[2], c.Keys[3]}); break;
        }
        EXPECT_EQ(index, c.Index) << "kind " << c.Kind << " key1 " << c.Keys[0];
    }
}

std::vector<std::pair<int, int>> PairKeys(const TCLTKnowledgeBase &base, const std::vector<int> &indices)
{
    std::vector<std::pair<int, int>> keys;
    for (int index : indices)
        keys.emplace_back(base[static_cast<std::size_t>(index)].Key1, base[static_cast<std::size_t>(index)].Key2);
    return keys;
}

// Every signed key pair of two different shades, so any pair the cube asks
// for is found.
TCLTKnowledgeBase AllCubePairs()
{
    TCLTKnowledgeBase base;
    for (int x = -4; x <= 4; ++x)
        for (int y = -4; y <= 4; ++y)
            if (x != 0 && y != 0 && x != y && x != -y)
                AddEntry(base, 14, {x, y, 0, 0}, 0);
    // Keys a tendency of 0 or 1000 would ask for.
    AddEntry(base, 14, {0, 2, 0, 0}, 0);
    AddEntry(base, 14, {2, 0, 0, 0}, 0);
    AddEntry(base, 14, {UndeterminedScore, 2, 0, 0}, 0);
    AddEntry(base, 14, {2, UndeterminedScore, 0, 0}, 0);
    return base;
}

struct PairCase {
    std::array<int, 4> Tendencies;
    std::vector<std::pair<int, int>> Keys;
};

const PairCase PairCases[] = {
    {{1, -2, 3, -4},
     {{1, -2}, {-2, 1}, {-1, 2}, {2, -1},     // shades 1 and 2
      {1, 3}, {3, 1}, {-1, -3}, {-3, -1},     // 1 and 3
      {1, -4}, {-4, 1}, {-1, 4}, {4, -1},     // 1 and 4
      {-2, 3}, {3, -2}, {2, -3}, {-3, 2},     // 2 and 3
      {-2, -4}, {-4, -2}, {2, 4}, {4, 2},     // 2 and 4
      {3, -4}, {-4, 3}, {-3, 4}, {4, -3}}},   // 3 and 4
    {{0, 2, UndeterminedScore, -4}, {{2, -4}, {-4, 2}, {-2, 4}, {4, -2}}},
    {{UndeterminedScore, 0, 3, 0}, {}},
    {{0, 0, 0, 0}, {}},
};

TEST(FullTestCube, PairsOfDeterminedNonZeroTendenciesInTheirOrder)
{
    const TCLTKnowledgeBase base = AllCubePairs();
    for (const PairCase &c : PairCases) {
        TCLTSession session;
        for (int s = 1; s <= 4; ++s)
            session.ShadeTendency[s] = c.Tendencies[static_cast<std::size_t>(s - 1)];
        EXPECT_EQ(PairKeys(base, CubePairEntries(session, base)), c.Keys)
            << "tendencies " << c.Tendencies[0] << " " << c.Tendencies[1] << " " << c.Tendencies[2] << " "
            << c.Tendencies[3];
    }
}

TEST(FullTestCube, PairsAreWrittenInLookupOrderNotInKnowledgeBaseOrder)
{
    TCLTKnowledgeBase base;
    AddEntry(base, 14, {-2, 1, 0, 0}, 0); // (-b, -a)
    AddEntry(base, 14, {1, -2, 0, 0}, 0); // (-a, -b)
    AddEntry(base, 14, {-1, 2, 0, 0}, 0); // (a, b)
    TCLTSession session;
    session.ShadeTendency[1] = -1;
    session.ShadeTendency[2] = 2;
    session.ShadeTendency[3] = 0;
    session.ShadeTendency[4] = 0;
    EXPECT_EQ(CubePairEntries(session, base), (std::vector<int>{2, 1, 0}));
}

} // namespace
// clang-format on
