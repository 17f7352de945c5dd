#include "app/WindowFixture.h"
#include "app/help/HelpLauncher.h"
#include "app/preferences/PreferencesPage.h"
#include "app/statistics/StatisticsPage.h"
#include "results/ResultsModel.h"
#include "results/ResultsPage.h"

#include <QMetaEnum>
#include <QTabBar>
#include <QTimer>
#include <QWheelEvent>

#include <sys/stat.h>

// A testing station left alone with the tested person: what the person can
// reach, what the window shows of their text, and what becomes of results
// the folder would not take.
namespace {

class StationSafety : public WindowFixture {
protected:
    QByteArray SettingsBytes() const
    {
        QFile file(install.SettingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void StartInTestingMode()
    {
        install.Store(QStringLiteral("AskAdminPassword"), 1);
        install.Store(QStringLiteral("AdminPassword"), QStringLiteral("secret"));
        passwords.typed.push_back(std::nullopt); // the question cancelled
        StartWindow();
        w->Help().SetUrlOpener([](const QUrl &) { return true; });
        ASSERT_FALSE(w->AdministratorMode());
    }
    ResultsModel *Results() const { return w->findChild<ResultsPage *>()->Model(); }
};

// In testing mode no key, no modifier and no wheel over the tab bar reaches
// the results, the preferences or the statistics, from any place the person
// can be.
TEST_F(StationSafety, TestingModeNeverReachesTheAdministratorsPages)
{
    StartInTestingMode();
    const QByteArray settingsBefore = SettingsBytes();
    auto *tabs = Find<QTabWidget>(*w, "TeSPageControl");
    QTabBar *bar = tabs->findChild<QTabBar *>();
    ASSERT_NE(bar, nullptr);
    QWidget *results = w->findChild<ResultsPage *>();
    QWidget *preferences = w->findChild<PreferencesPage *>();
    QWidget *statistics = w->findChild<StatisticsPage *>();
    ASSERT_TRUE(results && preferences && statistics);
    // A menu or a modal box a key may open would hold the loop; close it.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(20);

    enum class Place { Chooser, Registration, TestArea };
    auto phaseOf = [](Place place) {
        return place == Place::Chooser     ? TestPhase::Chooser
            : place == Place::Registration ? TestPhase::Registration
                                           : TestPhase::EightColour;
    };
    auto reach = [&](Place place) -> QWidget * {
        TestProcedure &procedure = Page()->Procedure();
        const TestPhase wanted = phaseOf(place);
        if (procedure.Phase() != wanted) {
            if (procedure.Running())
                Page()->StopTest();
            if (!Page()->Chooser()->isVisible())
                Find<QAction>(*w, "actStartTesting")->trigger();
            if (place != Place::Chooser)
                QTest::mouseClick(Page()->Chooser()->StartButton(KindEightOnce), Qt::LeftButton);
            if (place == Place::TestArea) {
                Page()->Registration()->SurnameEdit()->setText(QStringLiteral("А"));
                Page()->Registration()->FirstNameEdit()->setText(QStringLiteral("Б"));
                QTest::mouseClick(Page()->Registration()->SubmitButton(), Qt::LeftButton);
            }
        }
        QWidget *target = place == Place::Chooser ? static_cast<QWidget *>(Page()->Chooser()->StartButton(1))
            : place == Place::Registration        ? static_cast<QWidget *>(Page()->Registration()->SurnameEdit())
                                                  : static_cast<QWidget *>(Page()->Tiles());
        target->setFocus(Qt::OtherFocusReason);
        return target;
    };
    auto check = [&](const char *what) {
        if (tabs->currentIndex() != TformPalettorMain::TestingPageIndex || tabs->count() != 1 || results->isVisible()
            || preferences->isVisible() || statistics->isVisible() || statistics->isEnabled())
            return ::testing::AssertionFailure() << what;
        for (QAction *action : w->findChildren<QAction *>())
            if (action->objectName().startsWith(QStringLiteral("actResults")) && action->isEnabled())
                return ::testing::AssertionFailure() << what << ": " << action->objectName().toStdString();
        return ::testing::AssertionSuccess();
    };

    const QMetaEnum keys = QMetaEnum::fromType<Qt::Key>();
    const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ControlModifier, Qt::AltModifier, Qt::ShiftModifier,
                                               Qt::ControlModifier | Qt::ShiftModifier};
    int sent = 0;
    for (const Place place : {Place::Chooser, Place::Registration, Place::TestArea}) {
        for (const Qt::KeyboardModifiers modifier : modifiers) {
            reach(place);
            for (int i = 0; i < keys.keyCount(); ++i) {
                const auto key = static_cast<Qt::Key>(keys.value(i));
                // F5 starts and stops a test, F10 closes the window: both are
                // the person's own commands and leave the place under test.
                if (key == Qt::Key_F5 || key == Qt::Key_F10)
                    continue;
                QWidget *target = QApplication::focusWidget();
                // A key may rightly start or end a step (Space on a chooser
                // button, Enter in the form): back to the place first.
                if (!target || !target->isVisible() || Page()->Procedure().Phase() != phaseOf(place))
                    target = reach(place);
                // With no text given, QTest does not look the key up as a character.
                QTest::sendKeyEvent(QTest::Click, target, key, QString(), modifier);
                ++sent;
                ASSERT_TRUE(check(keys.key(i))) << "place " << int(place) << ", modifiers " << modifier.toInt();
            }
            for (const int delta : {120, -120, 120, 120, -120, -120}) {
                QWheelEvent wheel(QPointF(bar->rect().center()), bar->mapToGlobal(QPointF(bar->rect().center())),
                                  QPoint(), QPoint(0, delta), Qt::NoButton, modifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(bar, &wheel);
                ASSERT_TRUE(check("wheel"));
            }
        }
    }
    EXPECT_GT(sent, 2000);
    EXPECT_EQ(SettingsBytes(), settingsBefore);
    EXPECT_EQ(install.Stored(QStringLiteral("AskAdminPassword")).toInt(), 1);

    // The right password brings the pages and the commands back.
    passwords.typed.push_back(QStringLiteral("secret"));
    w->Authorise();
    EXPECT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->indexOf(statistics->parentWidget()->parentWidget()), TformPalettorMain::StatisticsPageIndex);
    EXPECT_TRUE(Find<QAction>(*w, "actResultsFilter")->isEnabled());
}

// Text of a person or a stimulus set is shown as written, never as markup.
TEST_F(StationSafety, PersonsAndStimuliTextIsPlainInEveryLabel)
{
    const QString markup = QStringLiteral("<img src='/tmp/local.png'><b>bold</b> &amp; <a href='http://x'>link</a>");
    StartWindow();
    Choose(KindRelations);
    Page()->Registration()->SurnameEdit()->setText(markup);
    Page()->Registration()->FirstNameEdit()->setText(markup);
    QTest::mouseClick(Page()->Registration()->SubmitButton(), Qt::LeftButton);
    Find<QPlainTextEdit>(*Page(), "memoStimulItems")->setPlainText(markup + QStringLiteral("\nОтец"));
    QTest::mouseClick(Find<QPushButton>(*Page(), "btnStimulDone"), Qt::LeftButton);
    ASSERT_TRUE(Find<QLabel>(*w, "labelStepName")->text().contains(QStringLiteral("<b>bold</b>")));

    auto checkLabels = [&] {
        for (const char *name : {"labelStepNo", "labelStepName", "labelStepDetails", "TePanel2Caption", "StatusPanel0",
                                 "StatusPanel1", "StatusPanel2", "StatusPanel4"})
            EXPECT_EQ(Find<QLabel>(*w, name)->textFormat(), Qt::PlainText) << name;
        for (const QLabel *label : w->findChildren<QLabel *>()) {
            if (label->text().contains(QStringLiteral("bold"))) {
                EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
            }
        }
    };
    checkLabels();
    const QString stop = QStringLiteral("Прекратить тестирование");
    for (int guard = 0; guard < 100 && Find<QAction>(*w, "actStartTesting")->text() == stop; ++guard)
        Pick(1);
    ASSERT_EQ(w->Sessions().Count(), 1u);
    checkLabels();
    // The results list and its detail view show the stored names as text too.
    Find<QTabWidget>(*w, "TeSPageControl")->setCurrentIndex(TformPalettorMain::ResultsPageIndex);
    EXPECT_TRUE(Results()->data(Results()->index(0, 3), Qt::DisplayRole).toString().contains(markup));
    checkLabels();
}

// Closing the program during a test asks first; No keeps the test.
TEST_F(StationSafety, ClosingDuringATestAsksFirst)
{
    const QString question = QStringLiteral("Прервать тестирование и закрыть программу?");
    StartWindow();
    Register(KindEightTwice);
    Pick(2);
    dialogs.yesNoAnswers = {false, false};
    w->close();
    Find<QAction>(*w, "actFileExit")->trigger(); // F10
    EXPECT_EQ(dialogs.questions, (QStringList{question, question}));
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(Page()->Procedure().Running());
    EXPECT_EQ(Page()->Procedure().CurrentStep(), 4);

    // F5 stops without a question, as before.
    Find<QAction>(*w, "actStartTesting")->trigger();
    EXPECT_FALSE(Page()->Procedure().Running());
    EXPECT_EQ(dialogs.questions.size(), 2);

    Register(KindEightOnce);
    dialogs.yesNoAnswers = {true};
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->Sessions().Count(), 0u);
    EXPECT_TRUE(SessionFiles().isEmpty());
}

// A result Data would not take is kept in the recovery folder, marked in the
// list, stored again on request or at the next start, and never dropped at
// exit without a question; so is one the recovery folder refuses as well,
// which has no file at all until it is stored again.
TEST_F(StationSafety, AResultDataWouldNotTakeIsKeptMarkedAndStoredLater)
{
    for (const bool recoveryRefuses : {false, true}) {
        SCOPED_TRACE(recoveryRefuses ? "recovery folder refuses too" : "recovery folder takes it");
        dialogs.warnings.clear();
        dialogs.questions.clear();
        QDir(install.DataFolder()).removeRecursively();
        const QString recovery = SessionFinisher::DefaultRecoveryFolder();
        QDir(recovery).removeRecursively();
        if (recoveryRefuses) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(recovery).path()));
            WriteBytes(recovery, "not a folder");
        }
        StartWindow();
        Register(KindEightOnce);
        Pick(7);
        ASSERT_EQ(dialogs.warnings.size(), 1);
        EXPECT_TRUE(dialogs.warnings[0].contains(QStringLiteral("папка не существует")));
        EXPECT_EQ(dialogs.warnings[0].contains(QStringLiteral("иначе он будет потерян")), recoveryRefuses)
            << dialogs.warnings[0].toStdString();
        EXPECT_EQ(install.RecoveredFiles().size(), recoveryRefuses ? 0 : 1);
        const QModelIndex name = Results()->index(0, 3);
        EXPECT_TRUE(Results()->data(name, Qt::DisplayRole).toString().startsWith(QStringLiteral("[не сохранен] ")));
        EXPECT_FALSE(Results()->data(name, Qt::ToolTipRole).toString().isEmpty());

        dialogs.yesNoAnswers = {false};
        w->close();
        ASSERT_EQ(dialogs.questions.size(), 1);
        EXPECT_TRUE(dialogs.questions[0].contains(QStringLiteral("не сохранены")));
        EXPECT_TRUE(w->isVisible());

        QDir(install.Root()).mkpath(QStringLiteral("Data"));
        Find<QAction>(*w, "actResultsSaveAgain")->trigger();
        ASSERT_EQ(SessionFiles().size(), 1);
        EXPECT_EQ(StoredSession()->Surname, "Кузнецов");
        EXPECT_TRUE(install.RecoveredFiles().isEmpty());
        EXPECT_EQ(Results()->data(name, Qt::DisplayRole).toString(), QStringLiteral("Кузнецов Олег"));
        w->close();
        EXPECT_EQ(dialogs.questions.size(), 1) << "nothing left to ask about";
        EXPECT_FALSE(w->isVisible());
        w.reset();
        QFile::remove(recovery);
    }
}

// In testing mode the person only learns to call the administrator, who
// reads the reason at the authorisation; the next start stores the result.
TEST_F(StationSafety, ATestingModeFailureIsToldToTheAdministratorAndStoredAtTheNextStart)
{
    QDir(install.DataFolder()).removeRecursively();
    WriteBytes(install.DataFolder(), "not a folder");
    StartInTestingMode();
    Register(KindEightOnce);
    Pick(7);
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_EQ(dialogs.warnings[0],
              QStringLiteral("Не удалось сохранить результат тестирования. Пожалуйста, позовите администратора."));
    passwords.typed.push_back(QStringLiteral("secret"));
    w->Authorise();
    ASSERT_EQ(dialogs.warnings.size(), 2);
    EXPECT_TRUE(dialogs.warnings[1].contains(QStringLiteral("это не папка")));
    EXPECT_EQ(install.RecoveredFiles().size(), 1);
    dialogs.yesNoAnswers = {true};
    w->close();
    w.reset();

    QFile::remove(install.DataFolder());
    QDir(install.Root()).mkpath(QStringLiteral("Data"));
    passwords.typed.push_back(QStringLiteral("secret"));
    StartWindow();
    EXPECT_TRUE(install.RecoveredFiles().isEmpty());
    ASSERT_EQ(SessionFiles().size(), 1);
    EXPECT_EQ(StoredSession()->Surname, "Кузнецов");
    ASSERT_EQ(Results()->rowCount(), 1);
    EXPECT_EQ(Results()->data(Results()->index(0, 3), Qt::DisplayRole).toString(), QStringLiteral("Кузнецов Олег"));
}

// A settings file that is no regular file, or far larger than any real one,
// is not read: the window starts with the defaults and says why.
TEST_F(StationSafety, UnreadableSettingsFallBackToDefaultsWithAWarning)
{
    struct Case {
        const char *what;
        std::function<void(const QString &)> make;
        QString told;
    };
    const Case cases[] = {
        {"fifo", [](const QString &path) { ASSERT_EQ(mkfifo(path.toLocal8Bit().constData(), 0600), 0); },
         QStringLiteral("не является обычным файлом")},
        {"huge file",
         [](const QString &path) {
             WriteBytes(path, "[Options]\nAskAdminPassword=1\nUserGroups=" + QByteArray(2 * 1024 * 1024, 'x') + "\n");
         },
         QStringLiteral("слишком велик")},
        {"huge group list",
         [](const QString &path) {
             WriteBytes(path, "[Options]\nUserGroups=" + QByteArray(MaxUserGroupsLength + 1, 'x') + "\n");
         },
         QStringLiteral("Список групп пользователей")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(install.SettingsFile());
        c.make(install.SettingsFile());
        dialogs.warnings.clear();
        StartWindow();
        EXPECT_TRUE(w->AdministratorMode());
        EXPECT_EQ(w->Prefs().UserGroups, Preferences().UserGroups);
        EXPECT_EQ(dialogs.warnings.filter(c.told).size(), 1) << dialogs.warnings.join(QLatin1Char('|')).toStdString();
        w->close();
        w.reset();
    }
}

} // namespace
