#include "app/WindowFixture.h"

#include <QFileInfo>

// The files an installation ships, laid out by the test kit, are what a
// window starts with: the knowledge base and the stimulus sets both read.
namespace {

class ShippedFilesTest : public WindowFixture {};

TEST_F(ShippedFilesTest, TheShippedBaseAndStimulusSetsLoadInAWindow)
{
    install.AddKnowledgeBase();
    install.AddStimulusSets();
    EXPECT_TRUE(QFileInfo(install.BinFolder()).isDir());
    StartWindow();
    EXPECT_FALSE(w->KnowledgeBase().Empty());
    EXPECT_TRUE(w->KnowledgeBaseState().AboutText().isEmpty()) << w->KnowledgeBaseState().AboutText().toStdString();
    EXPECT_GT(w->StimulusSetList().Count(), 0u);
    EXPECT_TRUE(dialogs.warnings.isEmpty()) << dialogs.warnings.join(QStringLiteral("\n")).toStdString();
}

} // namespace
