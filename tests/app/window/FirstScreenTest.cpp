#include "app/WindowFixture.h"
#include "qtkit/QtColour.h"
#include "results/CollapsiblePanel.h"
#include "results/ResultsPage.h"
#include "results/SwatchPanel.h"

#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>

// What a user sees first: the hint of the empty test area, and the results
// page at the window's first size and at its smallest.
namespace {

// Sessions written by the archive itself, as a run leaves them.
void WriteSessions(const QString &folder, int count)
{
    for (int i = 0; i < count; ++i) {
        TCLTSession session;
        session.TestKind = 1 + i % TestKindCount;
        session.Surname = "Александровская-Преображенская";
        session.FirstName = "Анастасия";
        session.DurationSeconds = 3600 + 59 * 60 + 59;
        ASSERT_FALSE(SaveSession(session, folder.toStdString(), LocalDateTime{2025, 9, 28, 20, 58, i % 60, 0}, [i] {
                         return 100 + i;
                     }).empty());
    }
}

class FirstScreenTest : public WindowFixture {};

TEST_F(FirstScreenTest, EmptyTestAreaSaysWhatToDoAndTheAdministratorHowManySessions)
{
    const QString press = QStringLiteral("Нажмите «Начать тестирование» (F5), чтобы выбрать тест.");
    struct Case {
        int sessions;
        bool protectedStart;
        const char *count; // nullptr: no count shown
    };
    const Case cases[] = {{0, false, "В архиве 0 сеансов."},
                          {1, false, "В архиве 1 сеанс."},
                          {3, false, "В архиве 3 сеанса."},
                          {3, true, nullptr}};
    for (const Case &c : cases) {
        TemporaryInstallation fresh;
        WriteSessions(fresh.DataFolder(), c.sessions);
        if (c.protectedStart) {
            fresh.Store(QStringLiteral("AskAdminPassword"), 1);
            fresh.Store(QStringLiteral("AdminPassword"), QStringLiteral("Пароль"));
        }
        TformPalettorMain window(fresh.Root());
        QSignalSpy finished(&window, &TformPalettorMain::StartupFinished);
        window.show();
        ASSERT_TRUE(WaitUntil([&] { return finished.count() == 1; }, 10000, "the window has started"));
        ASSERT_EQ(window.AdministratorMode(), !c.protectedStart);
        const QString hint = window.findChild<TestingPage *>()->EmptyAreaHint();
        EXPECT_TRUE(hint.startsWith(press)) << hint.toStdString();
        if (c.count)
            EXPECT_TRUE(hint.endsWith(QString::fromUtf8(c.count))) << hint.toStdString();
        else
            EXPECT_FALSE(hint.contains(QStringLiteral("В архиве"))) << hint.toStdString();
    }
}

TEST_F(FirstScreenTest, HintGivesWayToTheTestAndComesBackAfterIt)
{
    StartWindow();
    EXPECT_FALSE(Page()->EmptyAreaHint().isEmpty());
    Find<QAction>(*w, "actStartTesting")->trigger();
    EXPECT_TRUE(Page()->EmptyAreaHint().isEmpty()); // the chooser is up
    QTest::mouseClick(Page()->Chooser()->StartButton(KindEightOnce), Qt::LeftButton);
    EXPECT_TRUE(Page()->EmptyAreaHint().isEmpty());
    Page()->Registration()->SurnameEdit()->setText(QStringLiteral("Кузнецов"));
    Page()->Registration()->FirstNameEdit()->setText(QStringLiteral("Олег"));
    QTest::mouseClick(Page()->Registration()->SubmitButton(), Qt::LeftButton);
    EXPECT_TRUE(Page()->EmptyAreaHint().isEmpty());
    Pick(7);
    ASSERT_EQ(w->Sessions().Count(), 1u);
    EXPECT_TRUE(Page()->EmptyAreaHint().endsWith(QStringLiteral("В архиве 1 сеанс.")))
        << Page()->EmptyAreaHint().toStdString();
}

TEST_F(FirstScreenTest, ResultsFitTheFirstSizeAndTheSideBarScrollsAtTheSmallest)
{
    WriteSessions(install.DataFolder(), 40); // enough rows for a vertical scroll bar
    StartWindow();
    Find<QTabWidget>(*w, "TeSPageControl")->setCurrentIndex(TformPalettorMain::ResultsPageIndex);
    QApplication::processEvents();
    auto *grid = Find<QTableView>(*w, "gridResults");
    ASSERT_EQ(grid->model()->rowCount(), 40);

    // Every column in view without scrolling sideways, every tab readable.
    int columns = 0;
    for (int i = 0; i < grid->model()->columnCount(); ++i)
        columns += grid->columnWidth(i);
    EXPECT_LE(columns, grid->viewport()->width());
    EXPECT_GE(grid->columnWidth(3), 90); // the name column keeps a readable width
    auto *tabs = Find<QTabWidget>(*w, "TeSPageControl1");
    EXPECT_LE(tabs->tabBar()->sizeHint().width(), tabs->width());

    // At the smallest size the window still fits a 768-pixel screen with its
    // title bar (30) and a desktop panel (32), and the opened side bar scrolls.
    EXPECT_LE(std::max(w->minimumSize().height(), w->minimumSizeHint().height()), 768 - 30 - 32);
    auto *side = Find<QScrollArea>(*w, "sideBar");
    for (const char *panel : {"TeHeaderPanel2", "TeHeaderPanel3", "TeHeaderPanel4", "TeHeaderPanel5"})
        Find<CollapsiblePanel>(*side, panel)->SetRolled(false);
    QApplication::processEvents();
    EXPECT_LE(side->widget()->width(), side->viewport()->width()); // nothing cut off at the right
    w->resize(w->minimumSize());
    // The scroll bar is shown by a later layout pass.
    EXPECT_TRUE(WaitUntil([&] { return side->verticalScrollBar()->isVisible(); }, 2000, "the side bar scrolls"));
    EXPECT_LT(side->viewport()->height(), side->widget()->height());
    EXPECT_GT(side->verticalScrollBar()->maximum(), 0);
}

// The light greys of the achromatic table would vanish into the page: tiles
// and swatches that light get a frame, darker ones are drawn as they are.
TEST(LightFrameTest, LightTilesAndSwatchesGetAFrameDarkOnesDoNot)
{
    QWidget page;
    page.resize(200, 100);
    const QColor background = page.palette().color(QPalette::Window);
    // Tiles stand on the fixed grey of the test area, swatches on the page.
    const struct {
        QColor fill;
        bool framed;
        bool tileFramed;
    } cases[] = {{QColor(0xf4, 0xf4, 0xf4), true, true},
                 {background, true, true},
                 {QColor(0x20, 0x20, 0x20), false, false},
                 {QColor(0x1f, 0x4e, 0x9c), false, true},
                 {QColor(0x80, 0x80, 0x80), false, true}};
    for (const auto &c : cases) {
        SwatchPanel swatches(&page);
        swatches.resize(40, 40);
        swatches.AddSwatch(QRect(0, 0, 40, 40), c.fill);
        ColourTile tile(1, MakeColour(c.fill.red(), c.fill.green(), c.fill.blue()), &page);
        tile.resize(40, 40);
        for (QWidget *drawn : {static_cast<QWidget *>(&swatches), static_cast<QWidget *>(&tile)}) {
            const QImage image = drawn->grab().toImage();
            EXPECT_EQ(image.pixelColor(0, 20) != c.fill, drawn == &tile ? c.tileFramed : c.framed)
                << c.fill.name().toStdString();
            EXPECT_EQ(image.pixelColor(20, 20), c.fill) << c.fill.name().toStdString();
        }
    }
}

} // namespace
