#include "KnowledgeBaseFile.h"
#include "WindowFixture.h"

#include <QFile>

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
    ASSERT_TRUE(QFile::copy(built, install.Root() + QStringLiteral("ColorTest.dat")));

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
