#include "app/WindowFixture.h"
#include "app/preferences/ScreenCheckPage.h"
#include "app/testing/BirthDatePicker.h"
#include "app/testing/ColourSwatchPanel.h"
#include "app/window/PlacementStore.h"
#include "app/window/ThemeEngine.h"
#include "qtkit/QtColour.h"
#include "results/LineEnds.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "results/ResultsPage.h"

#include <QCalendarWidget>
#include <QClipboard>
#include <QScreen>
#include <QScrollArea>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

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
        auto *tabs = Find<QTabWidget>(*w, "TeSPageControl");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i) == page || tabs->widget(i)->isAncestorOf(page))
                tabs->setCurrentIndex(i);
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
    // Someone still reading keeps the result: a key starts the idle time again.
    QTest::qWait(1500);
    ASSERT_LT(idle->remainingTime(), idle->interval() - 1000);
    QTest::keyClick(memo, Qt::Key_Down);
    EXPECT_GT(idle->remainingTime(), idle->interval() - 1000);

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
    // Visible: black and white in the framed tile's middle row, whatever its colour.
    const auto framePainted = [](ColourTile *tile) {
        const QImage image = tile->grab().toImage();
        bool black = false, white = false;
        for (int x = 0; x < image.width() / 2; ++x) {
            const QColor c = image.pixelColor(x, image.height() / 2);
            black = black || c == QColor(Qt::black);
            white = white || c == QColor(Qt::white);
        }
        return black && white;
    };
    EXPECT_TRUE(framePainted(area->Tiles()[2]));
    EXPECT_FALSE(framePainted(area->Tiles()[0]));
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

// What the results page shows at the common screen sizes: every action on the
// toolbar (none in an overflow menu), the search text and, at 1366 px, a long
// name with its group, each whole.
TEST_F(DailyUseTest, EveryResultsActionAndALongNameAreWholeAtTheCommonScreenSizes)
{
    TCLTSession longName;
    longName.TestKind = 2;
    longName.Surname = "Рождественская";
    longName.FirstName = "Елизавета";
    longName.Patronymic = "Константиновна";
    longName.Sex = 2;
    longName.Group = "Производственный отдел";
    SaveSession(longName, install.DataFolder().toStdString(), LocalDateTime{2025, 7, 4, 9, 5, 0, 7}, [] { return 3; });
    StartWindow();
    ResultsPage *page = ShowResults();
    const QString name = page->Grid()->model()->index(0, 3).data().toString();
    ASSERT_TRUE(name.startsWith(QStringLiteral("Рождественская Елизавета Константиновна"))) << name.toStdString();
    const QList<QToolBar *> bars = page->findChildren<QToolBar *>();
    const QList<QAction *> actions = {page->actResultsExportMSWord, page->actResultsSave,  page->actResultsSavePdf,
                                      page->actResultsPreview,      page->actResultsPrint, page->actResultsSendEMail,
                                      page->actResultsExportList};
    for (const QSize size : {QSize(1280, 1024), QSize(1366, 768), w->minimumSizeHint()}) {
        w->resize(size);
        QApplication::processEvents();
        const std::string at = std::to_string(w->width()) + "x" + std::to_string(w->height());
        ASSERT_TRUE(page->isVisible()) << at;
        for (QAction *action : actions) {
            QWidget *button = nullptr;
            QToolBar *holder = nullptr;
            for (QToolBar *bar : bars)
                if (QWidget *widget = bar->widgetForAction(action)) {
                    button = widget;
                    holder = bar;
                }
            ASSERT_NE(button, nullptr) << action->text().toStdString();
            EXPECT_TRUE(button->isVisible()) << action->text().toStdString() << " at " << at;
            EXPECT_TRUE(holder->rect().contains(button->geometry())) << action->text().toStdString() << " at " << at;
            EXPECT_TRUE(page->rect().contains(QRect(holder->mapTo(page, QPoint()), holder->size())))
                << action->text().toStdString() << " at " << at;
        }
        for (QToolBar *bar : bars)
            for (QWidget *overflow : bar->findChildren<QWidget *>(QStringLiteral("qt_toolbar_ext_button")))
                EXPECT_FALSE(overflow->isVisible()) << bar->objectName().toStdString() << " at " << at;
        if (size == QSize(1366, 768)) {
            EXPECT_GE(page->Grid()->columnWidth(3), page->Grid()->fontMetrics().horizontalAdvance(name) + 8);
        }
        QLineEdit *search = page->SearchField();
        EXPECT_GE(search->width(), search->fontMetrics().horizontalAdvance(search->placeholderText())) << at;
    }
}

// The preferences scroll only in height: at the common sizes and the
// smallest window every colour table's caption is whole within the view,
// and the organisation field holds an ordinary name.
TEST_F(DailyUseTest, ColourCaptionsAreWholeAndTheOrganisationFieldTakesTheWidth)
{
    StartWindow();
    auto *tabs = Find<QTabWidget>(*w, "TeSPageControl");
    tabs->setCurrentIndex(2);
    auto *view = qobject_cast<QScrollArea *>(tabs->currentWidget());
    ASSERT_NE(view, nullptr);
    auto *organisation = Find<QLineEdit>(*w, "editOrganisation");
    const QString ordinary = QStringLiteral("Центр психологической помощи «Доверие»");
    for (const QSize size : {QSize(1280, 1024), QSize(1366, 768), w->minimumSizeHint()}) {
        w->resize(size);
        QApplication::processEvents();
        const std::string at = std::to_string(w->width()) + "x" + std::to_string(w->height());
        for (ColourSwatchPanel *panel : w->findChildren<ColourSwatchPanel *>()) {
            const QLabel *caption = panel->findChildren<QLabel *>().first();
            const int right = panel->mapTo(view->viewport(), caption->geometry().topLeft()).x()
                + caption->fontMetrics().horizontalAdvance(caption->text());
            EXPECT_LE(right, view->viewport()->width()) << caption->text().toStdString() << " at " << at;
            EXPECT_LE(caption->x() + caption->fontMetrics().horizontalAdvance(caption->text()), panel->width())
                << caption->text().toStdString() << " at " << at;
        }
        EXPECT_GE(organisation->width(), organisation->fontMetrics().horizontalAdvance(ordinary) + 12) << at;
    }
}

// Along the middle of each row of the screen check, every colour shows as a
// swatch of the same width as the others: the middle grey is the
// background's own, and its swatch must still stand out from it.
TEST_F(DailyUseTest, TheScreenCheckShowsEveryColourAndGreyStepAsASwatchOfItsOwn)
{
    ColourSet colours = DefaultColours;
    colours[static_cast<std::size_t>(ColourIndex(ColourTable::EightColour, 1))] = 0x00102030;
    ScreenCheckPage check(colours);
    check.show();
    QApplication::processEvents();
    std::vector<QColor> eight;
    for (int entry = 1; entry <= 8; ++entry)
        eight.push_back(ToQColor(colours[static_cast<std::size_t>(ColourIndex(ColourTable::EightColour, entry))]));
    std::vector<QColor> greys;
    for (int value : ScreenCheckPage::GreySteps())
        greys.push_back(QColor(value, value, value));
    for (const auto &[name, expected] :
         {std::pair{"screenCheckColours", eight}, std::pair{"screenCheckGreys", greys}}) {
        const QImage image = Find<QWidget>(check, name)->grab().toImage();
        const int y = image.height() / 3;
        std::vector<int> widths; // the longest run of each colour along the line
        for (const QColor &colour : expected) {
            int longest = 0;
            for (int x = 0, run = 0; x < image.width(); ++x) {
                run = image.pixelColor(x, y) == colour ? run + 1 : 0;
                longest = std::max(longest, run);
            }
            widths.push_back(longest);
        }
        const auto [narrowest, widest] = std::minmax_element(widths.begin(), widths.end());
        EXPECT_GT(*narrowest, image.width() / static_cast<int>(expected.size()) / 2) << name;
        EXPECT_LE(*widest - *narrowest, 2) << name << ": " << ::testing::PrintToString(widths);
    }
}

} // namespace
