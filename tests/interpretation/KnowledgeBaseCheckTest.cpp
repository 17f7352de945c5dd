#include "interpretation/KnowledgeBaseCheck.h"
#include "interpretation/EightColour.h"
#include "interpretation/FullTestRules.h"
#include "interpretation/InterpretationFixtures.h"
#include "testing/ColourTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

// An entry with every text filled, so only what a case changes is found.
KnowledgeBaseRecord record(int kind, EntryKeys keys, std::string brief = "текст")
{
    KnowledgeBaseRecord r;
    r.Entry.Kind = kind;
    r.Entry.Key1 = keys[0];
    r.Entry.Key2 = keys[1];
    r.Entry.Key3 = keys[2];
    r.Entry.Key4 = keys[3];
    for (const OutcomeTextField &field : OutcomeTextFields)
        r.Entry.*field.Member = "текст";
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
    const std::map<int, std::size_t> expected{{-4, 0}, {0, 0},  {1, 64},  {5, 64},  {6, 3}, {7, 4},
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
        TCLTSession session = SessionBuilder(round % 2 ? 3 : 2).Choice(1, Tags(first)).Choice(2, Tags(second));
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
        // The recommendations are looked up only where the position carries a weight.
        if (session.AcWeight[2][1] > 0) {
            EXPECT_TRUE(listed(LookupOutcome(base, 6, session.Choice[2][1] - 1, 0)));
        }
        if (session.AcWeight[2][8] > 0) {
            EXPECT_TRUE(listed(LookupOutcome(base, 7, session.Choice[2][8] - 1, 0)));
        }
    }
    EXPECT_FALSE(cubeKeysSeen.empty());
}

TEST(KnowledgeBaseCheck, ReportsGapsShadowsAndEntriesThatCannotBeShown)
{
    std::vector<KnowledgeBaseRecord> records;
    for (int colour : {0, 6, 7})
        records.push_back(record(6, {colour, 0, 0, 0}, "C"));          // 0-2
    records.push_back(record(6, {1, 0, 0, 0}));                        // 3: blue first has no weight
    records.push_back(record(1, {3, 4, 0, 0}, "first"));               // 4
    records.push_back(record(1, {3, 4, 9, 9}, "same to a lookup"));    // 5: Key3 and Key4 are not compared
    records.push_back(record(8, {0, 1, 2, 7}));                        // 6
    records.push_back(record(8, {0, 1, 3, 0}));                        // 7: a different triple
    records.push_back(record(15, {3, 4, 0, 0}));                       // 8
    records.push_back(record(1, {8, 8, 0, 0}));                        // 9: no colour 8
    records.push_back(record(7, {2, 1, 0, 0}));                        // 10: second key must be 0
    records.push_back(record(2, {1, 1, 0, 0}, std::string(256, 'x'))); // 11
    records.push_back(record(3, {1, 1, 0, 0}, "\xE2\x98\x83"));        // 12: a snowman
    records.push_back(record(12, {3, 3, 0, 0}));                       // 13: no table ends 3 3 0 0
    records.push_back(record(14, {2, -1, 0, 0}));                      // 14
    records.push_back(record(14, {1, -2, 0, 0}));                      // 15: shown with 14 for the same sessions
    records.push_back(record(7, {0, 0, 0, 0}));                        // 16: grey last has no weight

    const KnowledgeBaseCheckReport report = CheckKnowledgeBase(records);
    struct Expected {
        std::size_t entry;
        FindingKind what;
        std::string field;
        std::string message;
    };
    const std::vector<Expected> expected{
        {3, FindingKind::Unreachable, "", "ни одно правило не запрашивает вид 6 с ключами 1 0"},
        {5, FindingKind::Shadowed, "", "те же вид и ключи, что у записи выше"},
        {8, FindingKind::UnknownKind, "Kind", "вид 15 не запрашивает ни одно правило"},
        {9, FindingKind::Unreachable, "", "ни одно правило не запрашивает вид 1 с ключами 8 8"},
        {10, FindingKind::Unreachable, "", "ни одно правило не запрашивает вид 7 с ключами 2 1"},
        {11, FindingKind::Text, "BriefText", "текст длиной 256 байт"},
        {12, FindingKind::Text, "BriefText", "символа U+2603 нет в Windows-1251"},
        {13, FindingKind::Unreachable, "", "ни одно правило не запрашивает вид 12 с ключами 3 3 0 0"},
        {15, FindingKind::ShownTogether, "", "показывается вместе с записью выше для тех же сеансов (пара куба 1 -2)"},
        {16, FindingKind::Unreachable, "", "ни одно правило не запрашивает вид 7 с ключами 0 0"},
    };
    ASSERT_EQ(report.Findings.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const CheckFinding &f = report.Findings[i];
        EXPECT_EQ(f.Entry, expected[i].entry);
        EXPECT_EQ(f.What, expected[i].what) << f.Message;
        const bool error =
            f.What == FindingKind::Text || f.What == FindingKind::Shadowed || f.What == FindingKind::UnknownKind;
        EXPECT_EQ(f.Error, error) << f.Message;
        EXPECT_EQ(f.Field, expected[i].field) << f.Message;
        EXPECT_EQ(f.Message.rfind(expected[i].message, 0), 0u) << f.Message;
    }
    EXPECT_EQ(report.Findings[1].Earlier, 4u);
    EXPECT_EQ(report.Findings[8].Earlier, 14u);
    EXPECT_EQ(report.Errors(), 4u);
    EXPECT_EQ(report.Warnings(), 6u);

    const auto missing = [&](int kind) { return report.Kinds[static_cast<std::size_t>(kind - 1)].Missing.size(); };
    EXPECT_EQ(missing(6), 0u);
    EXPECT_EQ(missing(7), 4u); // blue, green, red, yellow last
    EXPECT_EQ(missing(1), 63u);
    EXPECT_EQ(missing(2), 63u); // the entry with a text too long still answers its lookup
    EXPECT_EQ(missing(8), 58u);
    EXPECT_EQ(report.Gaps(1, 7), 5 * 64u - 3 + 4);
    EXPECT_EQ(missing(14), 11u);
    EXPECT_EQ(report.Gaps(), report.Gaps(1, 7) + 58 + 5 * 38 + 11);
}

TEST(KnowledgeBaseCheck, EveryEmptyTextAConclusionShowsIsAnError)
{
    // Each case blanks one text of an entry a lookup finds. A shown text
    // empty (or only spaces and line breaks) is an error naming it; a text no
    // formatter shows of that kind may stay empty.
    const std::vector<std::string> eightColour{"BriefText", "PhysiologicalText", "PsychologicalText"};
    const std::vector<std::string> table{"HeadingText", "PrimaryActionText", "PsychologicallyText", "SummaryText"};
    const struct {
        int kind;
        EntryKeys keys;
        std::vector<std::string> shown;
    } kinds[] = {
        {1, {3, 4, 0, 0}, {}},
        {2, {2, 2, 0, 0}, {}},
        {3, {0, 7, 0, 0}, {}},
        {4, {5, 5, 0, 0}, {}},
        {5, {1, 6, 0, 0}, {}},
        {6, {7, 0, 0, 0}, {"PsychologicallyText"}},
        {7, {4, 0, 0, 0}, {"PsychologicallyText"}},
        {8, {0, 1, 2, 0}, table},
        {9, {3, 2, 1, 0}, table},
        {10, {2, 2, 2, 0}, table},
        {11, {1, 1, 1, 3}, table},
        {12, {1, 1, 2, 2}, table},
        {13, {0, 1, 2, 3}, table},
        {14, {2, -1, 0, 0}, table},
    };
    for (const OutcomeTextField &field : OutcomeTextFields) {
        // One entry of each kind, the field blanked in all of them.
        std::vector<KnowledgeBaseRecord> records;
        for (const auto &k : kinds) {
            records.push_back(record(k.kind, k.keys));
            records.back().Entry.*field.Member = field.Short ? "" : " \r\n\t";
        }
        std::vector<std::size_t> expected;
        for (std::size_t i = 0; i < std::size(kinds); ++i) {
            std::vector<std::string> shown = kinds[i].shown;
            if (kinds[i].kind <= 5) {
                shown = eightColour;
                shown.insert(shown.end(), table.begin(), table.end());
            }
            if (std::find(shown.begin(), shown.end(), field.Name) != shown.end())
                expected.push_back(i);
        }
        std::vector<std::size_t> found;
        for (const CheckFinding &f : CheckKnowledgeBase(records).Findings) {
            EXPECT_EQ(f.What, FindingKind::EmptyShown) << field.Name << ": " << f.Message;
            EXPECT_TRUE(f.Error);
            EXPECT_EQ(f.Field, field.Name);
            found.push_back(f.Entry);
        }
        EXPECT_EQ(found, expected) << field.Name;
    }

    // Several empty texts of one conclusion are named in one finding, one per
    // conclusion; an entry no lookup finds is not held to it.
    std::vector<KnowledgeBaseRecord> records{record(1, {2, 3, 0, 0}), record(1, {2, 3, 0, 0}), record(1, {9, 9, 0, 0})};
    for (auto &r : records) {
        r.Entry.SummaryText.clear();
        r.Entry.HeadingText.clear();
        r.Entry.PsychologicalText.clear();
    }
    const auto report = CheckKnowledgeBase(records);
    ASSERT_EQ(report.Findings.size(), 4u);
    EXPECT_EQ(report.Findings[0].Field, "PsychologicalText");
    EXPECT_EQ(report.Findings[1].Field, "HeadingText, SummaryText");
    EXPECT_EQ(report.Findings[2].What, FindingKind::Shadowed);
    EXPECT_EQ(report.Findings[3].What, FindingKind::Unreachable);
}
