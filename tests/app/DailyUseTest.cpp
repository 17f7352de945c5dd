#include "BirthDatePicker.h"
#include "LineEnds.h"
#include "ListLayout.h"
#include "PlacementStore.h"
#include "ResultsModel.h"
#include "ResultsPage.h"
#include "ThemeEngine.h"
#include "WindowFixture.h"

#include <QCalendarWidget>
#include <QClipboard>
#include <QScreen>
#include <QTableView>
#include <QTimer>

namespace {

class DailyUseTest : public WindowFixture {
protected:
    void StoreSessions(int count)
    {
        for (int i = 0; i < count; ++i) {
            TCLTSession session;
            session.TestKind = 1;
            session.Surname = "Орлова" + std::to_string(i);
            session.BriefConclusion = "вывод";
            SaveSession(session, install.DataFolder().toStdString(), LocalDateTime{2025, 7, 4, 9, 5, i, 7},
                        [] { return 3; });
        }
    }
    ResultsPage *ShowResults()
    {
        auto *page = w->findChild<ResultsPage *>();
        Find<QTabWidget>(*w, "TeSPageControl")->setCurrentWidget(page);
        QApplication::processEvents();
        return page;
    }
};

TEST_F(DailyUseTest, CtrlCOnTheResultsListCopiesTheReport)
{
    StoreSessions(2);
    StartWindow();
    ResultsPage *page = ShowResults();
    ASSERT_TRUE(SelectRow(page->Grid(), 1));
    page->Grid()->setFocus();
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    QTest::keyClick(page->Grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), WithCrLfLines(page->SessionReportText()));
    EXPECT_TRUE(clipboard->text().contains(QStringLiteral("Орлова1")));
}

TEST_F(DailyUseTest, ABirthDateTypedAfterTabIsTheDateTyped)
{
    install.Store(QStringLiteral("UserField6"), 1);
    StartWindow();
    const struct {
        const char *typed;
        QDate date;
    } cases[] = {
        {"15.03.1985", QDate(1985, 3, 15)},
        {"15031985", QDate(1985, 3, 15)},
        {"7/1/1990", QDate(1990, 1, 7)},
        {"150385", QDate(1985, 3, 15)},
    };
    for (const auto &c : cases) {
        Choose(KindEightOnce);
        RegistrationPanel *form = Page()->Registration();
        form->SurnameEdit()->setText(QStringLiteral("Кузнецов"));
        form->FirstNameEdit()->setText(QStringLiteral("Олег"));
        form->SexBox()->setFocus();
        QTest::keyClick(form->SexBox(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), form->BirthDateEdit()) << c.typed;
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(c.typed));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // on to "Продолжить"
        EXPECT_EQ(form->BirthDateEdit()->date(), c.date) << c.typed;
        QTest::mouseClick(form->SubmitButton(), Qt::LeftButton);
        EXPECT_TRUE(dialogs.warnings.isEmpty())
            << c.typed << ": " << dialogs.warnings.join(QLatin1Char('|')).toStdString();
        ASSERT_NE(Page()->Procedure().CurrentSession(), nullptr);
        const TCLTSession &session = *Page()->Procedure().CurrentSession();
        EXPECT_EQ(session.BirthDate, ToOleDate(LocalDateTime{c.date.year(), c.date.month(), c.date.day(), 0, 0, 0, 0}))
            << c.typed;
        Page()->StopTest();
        dialogs.warnings.clear();
    }
}

TEST_F(DailyUseTest, APastedBirthDateAndTheCalendarGiveSensibleDates)
{
    StartWindow();
    Choose(KindEightOnce);
    BirthDatePicker *picker = Page()->Registration()->BirthDateEdit();
    const QDate today = picker->date();
    // No birth date yet: the calendar opens some thirty years back, not at today.
    EXPECT_EQ(picker->CalendarStart().year(), today.year() - 30);
    picker->setFocus(Qt::TabFocusReason);
    QApplication::clipboard()->setText(QStringLiteral(" 02.11.1977 "));
    QTest::keyClick(picker, Qt::Key_V, Qt::ControlModifier);
    Page()->Registration()->SurnameEdit()->setFocus();
    EXPECT_EQ(picker->date(), QDate(1977, 11, 2));
    EXPECT_EQ(picker->CalendarStart(), QDate(1977, 11, 2));
    picker->calendarWidget()->setCurrentPage(today.year(), today.month());
    picker->calendarWidget()->window()->show(); // as the drop-down button shows it
    EXPECT_EQ(picker->calendarWidget()->yearShown(), 1977);
    picker->calendarWidget()->window()->hide();
}

TEST_F(DailyUseTest, TheArchiveCountAfterAStoppedTestLeavesTheStoppedSessionOut)
{
    StoreSessions(2);
    StartWindow();
    ASSERT_TRUE(w->AdministratorMode());
    Choose(KindEightOnce);
    Find<QAction>(*w, "actStartTesting")->trigger(); // stop
    EXPECT_EQ(w->Sessions().Count(), 2u);
    EXPECT_TRUE(Page()->EmptyAreaHint().endsWith(QStringLiteral("В архиве 2 сеанса.")))
        << Page()->EmptyAreaHint().toStdString();
}

TEST_F(DailyUseTest, AWindowSavedOnALargerScreenComesBackWhollyOnThisOne)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.setObjectName(QStringLiteral("TformProbe"));
    PlacementStore store(QStringLiteral("TformProbe"));
    const QRect stored(area.left() + 200, area.top() + 150, area.width() + 400, area.height() + 300);
    store.WriteValue(QStringLiteral("Left"), stored.left());
    store.WriteValue(QStringLiteral("Top"), stored.top());
    store.WriteValue(QStringLiteral("Width"), stored.width());
    store.WriteValue(QStringLiteral("Height"), stored.height());
    ASSERT_TRUE(store.RestoreWindow(&window));
    EXPECT_TRUE(area.contains(window.geometry())) << window.geometry().width() << "x" << window.geometry().height();

    const struct {
        QRect stored, fitted;
    } cases[] = {
        {QRect(100, 100, 800, 600), QRect(100, 100, 800, 600)}, // fits: unchanged
        {QRect(900, 700, 800, 600), QRect(566, 168, 800, 600)}, // off the right and bottom edges
        {QRect(-50, -20, 800, 600), QRect(0, 0, 800, 600)},     // off the left and top
        {QRect(0, 0, 1280, 1024), QRect(0, 0, 1366, 768).intersected(QRect(0, 0, 1280, 768))},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FitIntoArea(c.stored, QRect(0, 0, 1366, 768)), c.fitted);
}

TEST_F(DailyUseTest, TheLastPersonLeavesTheScreenAfterTheIdleTimeAndAtTheNextRegistration)
{
    StartWindow();
    auto *memo = Find<QPlainTextEdit>(*w, "memoTestResult");
    auto *caption = Find<QLabel>(*w, "TePanel2Caption");
    const auto shownOfTheLast = [&] {
        return QStringList{memo->isVisible() ? memo->toPlainText().left(20) : QString(), caption->text(),
                           Page()->StatusText(StatusPanel::StartTime), Page()->Registration()->SurnameEdit()->text()}
            .join(QString());
    };
    PlayToTheEnd(KindEightOnce, 2);
    ASSERT_TRUE(memo->isVisible());
    ASSERT_FALSE(Page()->StatusText(StatusPanel::StartTime).isEmpty());
    QTimer *idle = Page()->IdleTimer();
    EXPECT_TRUE(idle->isActive());
    EXPECT_EQ(idle->interval(), 10 * 60 * 1000); // the preference's default

    QSignalSpy forgotten(Page(), &TestingPage::lastPersonForgotten);
    idle->start(0); // the idle time has passed
    ASSERT_TRUE(forgotten.wait(5000));
    EXPECT_EQ(shownOfTheLast(), QString());
    EXPECT_FALSE(idle->isActive());

    // A result still on the screen goes when the next registration opens.
    PlayToTheEnd(KindEightOnce, 3);
    ASSERT_TRUE(memo->isVisible());
    Choose(KindEightOnce);
    EXPECT_FALSE(memo->isVisible());
    EXPECT_TRUE(Page()->StatusText(StatusPanel::StartTime).isEmpty());
    EXPECT_TRUE(Page()->Registration()->SurnameEdit()->text().isEmpty());
}

TEST_F(DailyUseTest, WithoutAResultToShowThePersonIsThanked)
{
    install.Store(QStringLiteral("ShowResultType"), 0);
    install.Store(QStringLiteral("IdleClearMinutes"), 3);
    StartWindow();
    EXPECT_EQ(Page()->IdleTimer()->interval(), 3 * 60 * 1000);
    PlayToTheEnd(KindEightOnce, 2);
    EXPECT_EQ(Page()->EmptyAreaHint(), QStringLiteral("Тестирование завершено. Спасибо!"));
    Page()->IdleTimer()->start(0);
    QSignalSpy forgotten(Page(), &TestingPage::lastPersonForgotten);
    ASSERT_TRUE(forgotten.wait(5000));
    EXPECT_TRUE(Page()->EmptyAreaHint().startsWith(QStringLiteral("Нажмите «Начать тестирование»")));
}

TEST_F(DailyUseTest, TilesArePickedWithArrowsAndEnterOrSpaceUnderTheSameGuard)
{
    StartWindow();
    Register(KindEightOnce);
    TileArea *area = Page()->Tiles();
    ASSERT_EQ(area->Tiles().size(), 8);
    ASSERT_TRUE(area->hasFocus());
    EXPECT_EQ(area->FocusedTile(), 0);
    QTest::keyClick(area, Qt::Key_Right);
    QTest::keyClick(area, Qt::Key_Right);
    QTest::keyClick(area, Qt::Key_Left);
    QTest::keyClick(area, Qt::Key_Right);
    EXPECT_EQ(area->FocusedTile(), 2);
    EXPECT_TRUE(area->Tiles()[2]->FocusFrameShown());
    EXPECT_FALSE(area->Tiles()[0]->FocusFrameShown());
    const int third = area->Tiles()[2]->Tag();
    QTest::keyClick(area, Qt::Key_Return);
    const TCLTSession &session = *Page()->Procedure().CurrentSession();
    EXPECT_EQ(session.Choice[1][1], third);
    ASSERT_EQ(area->Tiles().size(), 7);
    EXPECT_EQ(area->FocusedTile(), 2); // the frame stays where it was

    // A second press within the double-click time of the last pick is no pick.
    qint64 now = 100000;
    area->SetClock([&now] { return now; });
    area->SetDoubleClickInterval(400);
    QTest::keyClick(area, Qt::Key_End);
    const int last = area->Tiles().last()->Tag();
    QTest::keyClick(area, Qt::Key_Space);
    EXPECT_EQ(session.Choice[1][2], last);
    now += 100;
    QTest::keyClick(area, Qt::Key_Space);
    EXPECT_EQ(area->Tiles().size(), 6);
    now += 1000;
    QTest::keyClick(area, Qt::Key_Home);
    const int first = area->Tiles().first()->Tag();
    QTest::keyClick(area, Qt::Key_Enter);
    EXPECT_EQ(session.Choice[1][3], first);
    EXPECT_EQ(area->Tiles().size(), 5);
}

TEST_F(DailyUseTest, TilePixelsAreTheTableColoursOnFixedGreyUnderEveryTheme)
{
    StartWindow();
    Register(KindEightOnce);
    TileArea *area = Page()->Tiles();
    ASSERT_EQ(area->Tiles().size(), 8);
    struct Look {
        int index, brightness, saturation;
        const char *styleSheet;
    };
    std::vector<Look> looks;
    for (int i = 0; i < ThemeEngine::BuiltInNames().size(); ++i)
        for (const auto &[brightness, saturation] : {std::pair{0, 250}, std::pair{-100, 0}, std::pair{100, 120}})
            looks.push_back({i, brightness, saturation, ""});
    looks.push_back({0, 0, 250, "QWidget { background: #ff00ff; color: #00ff00; }"});
    for (const Look &look : looks) {
        ThemeEngine theme;
        theme.SetThemeByIndex(look.index);
        theme.SetBrightness(look.brightness);
        theme.SetSaturation(look.saturation);
        theme.Apply();
        qApp->setStyleSheet(QString::fromLatin1(look.styleSheet));
        const QImage image = area->grab().toImage();
        const QString which = QStringLiteral("theme %1 %2/%3 %4")
                                  .arg(look.index)
                                  .arg(look.brightness)
                                  .arg(look.saturation)
                                  .arg(QString::fromLatin1(look.styleSheet));
        EXPECT_EQ(image.pixelColor(3, 3), TileBackground) << which.toStdString();
        for (ColourTile *tile : area->Tiles()) {
            const QPoint centre = tile->geometry().center();
            EXPECT_EQ(image.pixelColor(centre * image.devicePixelRatio()), tile->Colour()) << which.toStdString();
        }
    }
    qApp->setStyleSheet(QString());
    ThemeEngine().Apply();
}

} // namespace
