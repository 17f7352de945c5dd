#include "KnowledgeBaseCheck.h"
#include "ColourTables.h"
#include "EightColour.h"
#include "FullTestRules.h"
#include "InterpretationFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

KnowledgeBaseRecord record(int kind, EntryKeys keys, std::string brief = {})
{
    KnowledgeBaseRecord r;
    r.Entry.Kind = kind;
    r.Entry.Key1 = keys[0];
    r.Entry.Key2 = keys[1];
    r.Entry.Key3 = keys[2];
    r.Entry.Key4 = keys[3];
    r.Entry.BriefText = std::move(brief);
    return r;
}

} // namespace

TEST(KnowledgeBaseKeys, WinVectorsAreTheScoreSequencesOfFourShades)
{
    // Six comparisons among four shades: 3210, 2220, 3111 and 2211 in every
    // order, nothing else.
    std::map<std::array<int, 4>, int> orders;
    for (auto v : PossibleWinVectors()) {
        std::sort(v.begin(), v.end());
        ++orders[v];
    }
    const std::map<std::array<int, 4>, int> expected{
        {{0, 1, 2, 3}, 24}, {{0, 2, 2, 2}, 4}, {{1, 1, 1, 3}, 4}, {{1, 1, 2, 2}, 6}};
    EXPECT_EQ(orders, expected);
}

TEST(KnowledgeBaseKeys, CountOfKeysPerKind)
{
    const std::map<int, std::size_t> expected{{-4, 0}, {0, 0},  {1, 64},  {5, 64},  {6, 8}, {7, 8},
                                              {8, 60}, {9, 38}, {13, 38}, {14, 48}, {15, 0}};
    for (const auto &[kind, count] : expected)
        EXPECT_EQ(KeysAskedFor(kind).size(), count) << "kind " << kind;
    // Six position pairs, each with equal or opposite tendencies; each looked
    // up in its four orders.
    const auto pairs = QuestionsFor(14);
    EXPECT_EQ(pairs.size(), 12u);
    for (const auto &keys : pairs)
        EXPECT_EQ(keys.size(), 4u);
    EXPECT_EQ(QuestionsFor(9).size(), 38u);
}

TEST(KnowledgeBaseKeys, EveryKeyTheRulesAskForIsListed)
{
    // A base with an entry for every small key, run through random full tests:
    // each entry a lookup finds must be one the enumeration lists.
    TCLTKnowledgeBase base;
    for (int kind = 1; kind <= 7; ++kind)
        for (int a = -1; a <= 8; ++a)
            for (int b = -1; b <= 8; ++b)
                AddEntry(base, kind, a, b, "");
    for (int a = -5; a <= 5; ++a)
        for (int b = -5; b <= 5; ++b)
            AddEntry(base, 14, a, b, "");
    std::map<int, std::set<EntryKeys>> asked;
    for (int kind = 1; kind <= 14; ++kind) {
        const auto keys = KeysAskedFor(kind);
        asked[kind].insert(keys.begin(), keys.end());
    }
    const auto listed = [&](int index) {
        const TCLTOutcome &e = base[static_cast<std::size_t>(index)];
        return asked[e.Kind].contains({e.Key1, e.Key2, 0, 0});
    };

    std::mt19937 random(7);
    std::set<EntryKeys> cubeKeysSeen;
    for (int round = 0; round < 3000; ++round) {
        Colours first{0, 1, 2, 3, 4, 5, 6, 7};
        Colours second = first;
        std::shuffle(first.begin(), first.end(), random);
        if (round % 3)
            std::shuffle(second.begin(), second.end(), random);
        else
            second = first;
        TCLTSession session = MakeSession(round % 2 ? 3 : 2, first, second);
        for (int table = 1; table <= 5; ++table)
            for (int pair = 1; pair <= 6; ++pair) {
                const auto [left, right] = PairOrder(pair);
                ++session.PairWins[table][random() % 2 ? left : right];
            }
        MarkAnxietyCompensation(session);
        BuildFunctionGroups(session);
        ComputeCube(session);
        for (const auto &group : session.FunctionGroups) {
            const int index = FindOutcomeForGroup(base, &group);
            ASSERT_GE(index, 0);
            EXPECT_TRUE(listed(index)) << "group " << group.FunctionCode << " " << group.FirstColour;
        }
        for (int index : CubePairEntries(session, base)) {
            EXPECT_TRUE(listed(index));
            cubeKeysSeen.insert(
                {base[static_cast<std::size_t>(index)].Key1, base[static_cast<std::size_t>(index)].Key2, 0, 0});
        }
        EXPECT_TRUE(listed(LookupOutcome(base, 6, session.Choice[2][1] - 1, 0)));
        EXPECT_TRUE(listed(LookupOutcome(base, 7, session.Choice[2][8] - 1, 0)));
    }
    EXPECT_FALSE(cubeKeysSeen.empty());
}

TEST(KnowledgeBaseCheck, ReportsGapsShadowsAndEntriesThatCannotBeShown)
{
    std::vector<KnowledgeBaseRecord> records;
    for (int colour = 0; colour < 8; ++colour)
        records.push_back(record(6, {colour, 0, 0, 0}, "C"));
    records.push_back(record(1, {3, 4, 0, 0}, "first"));               // 8
    records.push_back(record(1, {3, 4, 9, 9}, "same to a lookup"));    // 9: Key3 and Key4 are not compared
    records.push_back(record(8, {0, 1, 2, 7}));                        // 10
    records.push_back(record(8, {0, 1, 3, 0}));                        // 11: a different triple
    records.push_back(record(15, {3, 4, 0, 0}));                       // 12
    records.push_back(record(1, {8, 8, 0, 0}));                        // 13: no colour 8
    records.push_back(record(7, {2, 1, 0, 0}));                        // 14: second key must be 0
    records.push_back(record(2, {1, 1, 0, 0}, std::string(256, 'x'))); // 15
    records.push_back(record(3, {1, 1, 0, 0}, "\xE2\x98\x83"));        // 16: a snowman
    records.push_back(record(12, {3, 3, 0, 0}));                       // 17: no table ends 3 3 0 0
    records.push_back(record(14, {2, -1, 0, 0}));                      // 18
    records.push_back(record(14, {1, -2, 0, 0}));                      // 19: shown with 18 for the same sessions

    const KnowledgeBaseCheckReport report = CheckKnowledgeBase(records);
    struct Expected {
        std::size_t entry;
        bool error;
        std::string field;
        std::string message;
    };
    const std::vector<Expected> expected{
        {9, true, "", "same kind and keys as an earlier entry"},
        {12, true, "Kind", "kind 15 is not looked up by any rule"},
        {13, false, "", "no rule asks for kind 1 with the keys 8 8"},
        {14, false, "", "no rule asks for kind 7 with the keys 2 1"},
        {15, true, "BriefText", "text of 256 bytes"},
        {16, true, "BriefText", "character U+2603 has no Windows-1251 byte"},
        {17, false, "", "no rule asks for kind 12 with the keys 3 3 0 0"},
        {19, false, "", "shown together with an earlier entry for the same sessions (cube pair 1 -2)"},
    };
    ASSERT_EQ(report.Findings.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const CheckFinding &f = report.Findings[i];
        EXPECT_EQ(f.Entry, expected[i].entry);
        EXPECT_EQ(f.Error, expected[i].error) << f.Message;
        EXPECT_EQ(f.Field, expected[i].field) << f.Message;
        EXPECT_EQ(f.Message.rfind(expected[i].message, 0), 0u) << f.Message;
    }
    EXPECT_EQ(report.Findings[0].Earlier, 8u);
    EXPECT_EQ(report.Findings.back().Earlier, 18u);
    EXPECT_EQ(report.Errors(), 4u);
    EXPECT_EQ(report.Warnings(), 4u);

    const auto missing = [&](int kind) { return report.Kinds[static_cast<std::size_t>(kind - 1)].Missing.size(); };
    EXPECT_EQ(missing(6), 0u);
    EXPECT_EQ(missing(7), 8u);
    EXPECT_EQ(missing(1), 63u);
    EXPECT_EQ(missing(2), 63u); // the entry with a text too long still answers its lookup
    EXPECT_EQ(missing(8), 58u);
    EXPECT_EQ(report.Gaps(1, 7), 5 * 64u - 3 + 8);
    EXPECT_EQ(missing(14), 11u);
    EXPECT_EQ(report.Gaps(), report.Gaps(1, 7) + 58 + 5 * 38 + 11);
}
