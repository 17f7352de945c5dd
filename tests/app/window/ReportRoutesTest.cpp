#include "app/WindowFixture.h"
#include "app/help/HelpLauncher.h"
#include "app/window/AppInfo.h"
#include "core/SessionArchive.h"
#include "results/LineEnds.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "results/ResultsPage.h"

#include <QClipboard>
#include <QMenuBar>
#include <QTableView>

namespace {

class ReportRoutesTest : public WindowFixture {
protected:
    // The window in administrator mode over one stored session whose texts
    // break lines with bare LF.
    ResultsPage *StartWithOneSession()
    {
        TCLTSession session;
        session.TestKind = 1;
        session.Surname = "Орлова";
        session.BriefConclusion = "строка один\nстрока два";
        SaveSession(session, install.DataFolder().toStdString(), LocalDateTime{2025, 7, 4, 9, 5, 3, 7},
                    [] { return 3; });
        StartWindow();
        auto *page = w->findChild<ResultsPage *>();
        EXPECT_EQ(page->Model()->rowCount(), 1);
        EXPECT_TRUE(SelectRow(page->Grid(), 0));
        return page;
    }
};

TEST_F(ReportRoutesTest, ClickOnTheResultsMenuTitleCopiesTheReportButOpeningByKeyboardDoesNot)
{
    ResultsPage *page = StartWithOneSession();
    QMenuBar *bar = w->menuBar();
    QMenu *menu = Find<QMenu>(*w, "submenuResults");
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));

    bar->setActiveAction(menu->menuAction()); // as Alt and the arrows open it
    menu->hide();
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    menu->hide();
    const QString copied = clipboard->text();
    EXPECT_EQ(copied, WithCrLfLines(page->SessionReportText()));
    EXPECT_TRUE(copied.contains(QStringLiteral("строка один\r\nстрока два\r\n")));
    EXPECT_EQ(copied.count(QLatin1Char('\n')), copied.count(QStringLiteral("\r\n")));

    // A click on another menu's title copies nothing.
    clipboard->setText(QStringLiteral("before"));
    QMenu *help = bar->actions().last()->menu();
    ASSERT_NE(help, menu);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(help->menuAction()).center());
    help->hide();
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));
}

TEST_F(ReportRoutesTest, LinksTheSystemCannotOpenAreReportedWithTheirAddress)
{
    StartWindow();
    w->Help().SetUrlOpener([](const QUrl &) { return false; });
    Find<QAction>(*w, "actHelpWWW")->trigger();
    Find<QAction>(*w, "actHelpEMail")->trigger();
    ASSERT_EQ(dialogs.warnings.size(), 2);
    EXPECT_TRUE(dialogs.warnings[0].contains(AppInfo::DeveloperWebSite));
    EXPECT_TRUE(dialogs.warnings[1].contains(AppInfo::SupportEMail));
    EXPECT_FALSE(dialogs.warnings[1].contains(QStringLiteral("mailto:")));

    w->Help().SetUrlOpener([](const QUrl &) { return true; });
    Find<QAction>(*w, "actHelpWWW")->trigger();
    EXPECT_EQ(dialogs.warnings.size(), 2);
}

} // namespace
