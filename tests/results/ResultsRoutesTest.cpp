#include "results/Cp1251Bytes.h"
#include "results/ResultsFixture.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QFile>
#include <QToolBar>
#include <QToolButton>

namespace {

class ResultsRoutesTest : public ResultsPageFixture {
protected:
    ScriptedDialogs dialogs;
    QTemporaryDir temp;
};

TEST_F(ResultsRoutesTest, ToolbarButtonsRunTheExports)
{
    TCLTSession s = MakeSession("Петров", 2);
    s.DetailedConclusion = "раз\nдва";
    Save(s);
    OpenPage();
    page->SetTemporaryFolder(temp.path());
    QStringList opened;
    page->SetFileOpener([&opened](const QString &path) {
        opened << path;
        return true;
    });
    auto *bar = Find<QToolBar>("ResultsToolBar");
    auto button = [bar](QAction *action) { return qobject_cast<QToolButton *>(bar->widgetForAction(action)); };
    ASSERT_NE(button(page->actResultsExportMSWord), nullptr);
    ASSERT_NE(button(page->actResultsSave), nullptr);

    button(page->actResultsExportMSWord)->click();
    ASSERT_EQ(opened.size(), 1);
    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("saved.txt"))};
    button(page->actResultsSave)->click();
    for (const QString &path : {opened[0], temp.filePath(QStringLiteral("saved.txt"))}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.contains(ToCp1251Bytes(QStringLiteral("раз\r\nдва\r\n")))) << path.toStdString();
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << path.toStdString();
    }
}

TEST_F(ResultsRoutesTest, AnEditorFileTheSystemCannotOpenIsNamedToTheUser)
{
    Save(MakeSession("Петров", 1));
    OpenPage();
    page->SetTemporaryFolder(temp.path());
    page->SetFileOpener([](const QString &) { return false; });
    EXPECT_FALSE(page->ResultsExportMSWordExecute());
    const QStringList written = QDir(temp.path()).entryList(QDir::Files);
    ASSERT_EQ(written.size(), 1);
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QDir::toNativeSeparators(temp.filePath(written[0]))));
}

} // namespace
