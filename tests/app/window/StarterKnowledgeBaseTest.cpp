#include "app/WindowFixture.h"
#include "core/KnowledgeBaseFile.h"
#include "interpretation/Conclusion.h"
#include "interpretation/KnowledgeBaseKeys.h"
#include "testing/ColourTables.h"

#include <QFile>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

// Each kind taken through the window with the knowledge base the build
// makes: the brief and the detailed conclusion carry texts looked up in it.
namespace {

class StarterKnowledgeBaseTest : public WindowFixture, public ::testing::WithParamInterface<int> {
protected:
    // Texts of the base long enough to be its own, not a shared heading.
    static std::vector<std::string> LongTexts(const TCLTKnowledgeBase &base)
    {
        std::vector<std::string> texts;
        for (const auto &entry : base)
            for (const OutcomeTextField &field : OutcomeTextFields)
                if ((*entry.*field.Member).size() >= 40)
                    texts.push_back(*entry.*field.Member);
        return texts;
    }
    static bool HoldsOneOf(const std::string &conclusion, const std::vector<std::string> &texts)
    {
        for (const std::string &text : texts)
            if (conclusion.find(text) != std::string::npos)
                return true;
        return false;
    }
};

TEST_P(StarterKnowledgeBaseTest, EveryConclusionHoldsLookedUpTexts)
{
    const QString built = QStringLiteral(PALETTOR_BUILT_KB);
    ASSERT_TRUE(QFile::exists(built)) << "the build makes " << built.toStdString();
    TCLTKnowledgeBase base;
    ASSERT_TRUE(LoadKnowledgeBase(built.toStdString(), base));
    const std::vector<std::string> texts = LongTexts(base);
    ASSERT_FALSE(texts.empty());
    install.AddKnowledgeBase();

    const int kind = GetParam();
    StartWindow();
    ASSERT_EQ(w->KnowledgeBase().Count(), base.Count());
    ASSERT_NO_FATAL_FAILURE(PlayToTheEnd(kind, 3));
    ASSERT_EQ(w->Sessions().Count(), 1u);
    const TCLTSession &session = w->Sessions()[0];
    EXPECT_TRUE(HoldsOneOf(session.BriefConclusion, texts)) << session.BriefConclusion;
    EXPECT_TRUE(HoldsOneOf(session.DetailedConclusion, texts)) << session.DetailedConclusion;
    // The additional findings are derived by rules alone and take nothing
    // from the base: they are there, with no looked-up text to look for.
    EXPECT_FALSE(session.AdditionalFindings.empty());
}

INSTANTIATE_TEST_SUITE_P(EachKind, StarterKnowledgeBaseTest,
                         ::testing::Values(KindEightOnce, KindEightTwice, KindFull, KindRelations));

} // namespace

namespace {

// A finished session of the kind with random picks, interpreted with the base.
TCLTSession RandomSession(int kind, const TCLTKnowledgeBase &base, std::mt19937 &random)
{
    TCLTSession session;
    session.TestKind = kind;
    std::array<int, 8> tags;
    std::iota(tags.begin(), tags.end(), 1);
    for (int choice = 1; choice <= 2; ++choice) {
        if (choice == 1 || kind != KindEightOnce)
            std::shuffle(tags.begin(), tags.end(), random);
        for (int p = 1; p <= 8; ++p)
            session.Choice[choice][p] = tags[static_cast<std::size_t>(p - 1)];
    }
    if (kind == KindFull) {
        std::array<int, 5> greys{1, 2, 3, 4, 5};
        std::shuffle(greys.begin(), greys.end(), random);
        for (int i = 1; i <= 3; ++i)
            session.AchromaticChoice[i] = greys[static_cast<std::size_t>(i - 1)];
        for (int table = 1; table <= 5; ++table)
            for (int pair = 1; pair <= 6; ++pair) {
                const auto [left, right] = PairOrder(pair);
                ++session.PairWins[table][random() % 2 ? left : right];
            }
    }
    if (kind == KindRelations)
        for (const char *name : {"Мать", "Отец", "Работа", "Я сам"}) {
            auto &item = session.CtoItems.AddNew();
            item.StimulusName = name;
            item.AssociatedColour[1] = static_cast<int>(random() % 8);
            item.AssociatedColour[2] = static_cast<int>(random() % 8);
        }
    FinishTestSession(session, base, 46000.5, 46000.51, ",");
    return session;
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        lines.push_back(text.substr(from, at - from));
    lines.push_back(text.substr(from));
    return lines;
}

// Headings of the detailed conclusion with no words under them before the
// next heading (a designation such as " +2 +1" is not text).
std::vector<std::string> HeadingsWithoutText(const std::string &detailed)
{
    const auto hasWords = [](const std::string &line) {
        return std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) == 0x80; }) >= 6;
    };
    std::vector<std::string> bare;
    const std::vector<std::string> lines = Lines(detailed);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsConclusionHeading(lines[i]))
            continue;
        std::size_t k = i + 1;
        bool text = false;
        for (; k < lines.size() && !IsConclusionHeading(lines[k]); ++k)
            text = text || hasWords(lines[k]);
        if (!text)
            bare.push_back(lines[i]);
    }
    return bare;
}

std::size_t LongestRunOfEmptyLines(const std::string &text)
{
    std::size_t longest = 0, run = 0;
    for (const std::string &line : Lines(text)) {
        run = line.empty() ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

struct Shortfall {
    std::size_t BareHeadings = 0;
    std::size_t EmptyRuns = 0;
    std::string Example;
};

// 300 random sessions of each kind.
Shortfall Interpret(const TCLTKnowledgeBase &base)
{
    Shortfall found;
    std::mt19937 random(20261209);
    for (int kind : {KindEightOnce, KindEightTwice, KindFull, KindRelations})
        for (int round = 0; round < 300; ++round) {
            const TCLTSession session = RandomSession(kind, base, random);
            const auto bare = HeadingsWithoutText(session.DetailedConclusion);
            found.BareHeadings += bare.size();
            const bool emptyRun = LongestRunOfEmptyLines(session.BriefConclusion) > 2;
            found.EmptyRuns += emptyRun;
            if (found.Example.empty() && !bare.empty())
                found.Example = "kind " + std::to_string(kind) + ", no text under \"" + bare.front() + "\" in\n"
                    + session.DetailedConclusion;
            if (found.Example.empty() && emptyRun)
                found.Example = "kind " + std::to_string(kind) + ", empty lines in\n" + session.BriefConclusion;
        }
    return found;
}

} // namespace

TEST(StarterKnowledgeBase, EverySectionOfRandomSessionsHasTextUnderIt)
{
    // The measure first: a base with every key's entry filled passes it, an
    // empty base fails it.
    TCLTKnowledgeBase complete;
    for (int kind = 1; kind <= 14; ++kind)
        for (const EntryKeys &keys : KeysAskedFor(kind)) {
            TCLTOutcome &entry = complete.AddNew();
            entry.Kind = kind;
            entry.Key1 = keys[0];
            entry.Key2 = keys[1];
            entry.Key3 = keys[2];
            entry.Key4 = keys[3];
            for (const OutcomeTextField &field : OutcomeTextFields)
                entry.*field.Member = "Текст записи";
        }
    const Shortfall full = Interpret(complete);
    EXPECT_EQ(full.BareHeadings + full.EmptyRuns, 0u) << full.Example;
    const Shortfall none = Interpret(TCLTKnowledgeBase{});
    EXPECT_GT(none.BareHeadings, 0u);

    TCLTKnowledgeBase shipped;
    ASSERT_TRUE(LoadKnowledgeBase(PALETTOR_BUILT_KB, shipped)) << "the build makes " << PALETTOR_BUILT_KB;
    const Shortfall starter = Interpret(shipped);
    EXPECT_EQ(starter.BareHeadings, 0u) << starter.Example;
    EXPECT_EQ(starter.EmptyRuns, 0u) << starter.Example;
}
