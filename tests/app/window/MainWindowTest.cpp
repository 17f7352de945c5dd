#include "app/AppTestSupport.h"
#include "app/WindowFixture.h"
#include "app/help/HelpLauncher.h"
#include "app/preferences/PreferencesPage.h"
#include "app/testing/ColourSwatchPanel.h"
#include "app/testing/SessionFinisher.h"
#include "app/window/TformPalettorMain.h"
#include "results/ResultsModel.h"
#include "results/ResultsPage.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTest>

namespace {

std::unique_ptr<TformPalettorMain> Start(const TemporaryInstallation &install)
{
    auto window = std::make_unique<TformPalettorMain>(install.Root());
    QSignalSpy finished(window.get(), &TformPalettorMain::StartupFinished);
    window->show();
    EXPECT_TRUE(WaitUntil([&] { return finished.count() == 1; }, 10000, "the window has started"));
    // Focus changes (leaving the group memo) need an active window.
    QApplication::setActiveWindow(window.get());
    return window;
}

bool ResultsPagesShown(const TformPalettorMain &w)
{
    return Find<QTabWidget>(w, "TeSPageControl")->isTabVisible(TformPalettorMain::ResultsPageIndex)
        && Find<QTabWidget>(w, "TeSPageControl")->isTabVisible(TformPalettorMain::PreferencesPageIndex)
        && Find<QTabWidget>(w, "TeSPageControl")->tabText(TformPalettorMain::ResultsPageIndex)
        == QStringLiteral("Результаты")
        && Find<QTabWidget>(w, "TeSPageControl")->tabText(TformPalettorMain::PreferencesPageIndex)
        == QStringLiteral("Настройка")
        && Find<QMenu>(w, "submenuResults")->menuAction()->isVisible();
}

bool ResultsPagesHidden(const TformPalettorMain &w)
{
    return !Find<QTabWidget>(w, "TeSPageControl")->isTabVisible(TformPalettorMain::ResultsPageIndex)
        && !Find<QTabWidget>(w, "TeSPageControl")->isTabVisible(TformPalettorMain::PreferencesPageIndex)
        && !Find<QMenu>(w, "submenuResults")->menuAction()->isVisible();
}

// A session file written by the archive itself, so the test reads back real data.
std::string WriteSession(const QString &folder, int second, const std::string &surname)
{
    TCLTSession session;
    session.TestKind = 1;
    session.Surname = surname;
    LocalDateTime when{2025, 7, 4, 9, 5, second, 7};
    return SaveSession(session, folder.toStdString(), when, [] { return 3; });
}

class MainWindowTest : public ::testing::Test {
protected:
    TemporaryInstallation install;
    ScriptedDialogs dialogs;
    ScriptedPasswords passwords;
};

TEST_F(MainWindowTest, WindowShellHasItsCaptionsShortcutsAndHiddenActions)
{
    TformPalettorMain w(install.Root());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Orvanta Palettor"));
    EXPECT_EQ(Find<QTabWidget>(w, "TeSPageControl")->tabPosition(), QTabWidget::West);
    EXPECT_EQ(Find<QTabWidget>(w, "TeSPageControl")->tabText(0), QStringLiteral("Тестирование"));
    // The other two pages join the tab widget only in administrator mode.
    EXPECT_EQ(Find<QTabWidget>(w, "TeSPageControl")->count(), 1);
    struct Case {
        QAction *action;
        const char *caption;
        QKeySequence key;
        bool hint;
        bool visible;
    };
    const Case cases[] = {
        {Find<QAction>(w, "actStartTesting"), "Начать тестирование", QKeySequence(Qt::Key_F5), true, true},
        {Find<QAction>(w, "actFileAuthen"), "Авторизоваться", {}, false, true},
        {Find<QAction>(w, "actFileExit"), "Выход", QKeySequence(Qt::Key_F10), false, true},
        {Find<QAction>(w, "actResultsCopy"), "Копировать", QKeySequence(Qt::CTRL | Qt::Key_C), true, false},
        {Find<QAction>(w, "actResultsExportMSWord"), "Передать в редактор", QKeySequence(Qt::CTRL | Qt::Key_W), true,
         true},
        {Find<QAction>(w, "actResultsSave"), "Сохранить в файле...", QKeySequence(Qt::CTRL | Qt::Key_S), true, true},
        {Find<QAction>(w, "actResultsPreview"), "Предварительный просмотр", {}, true, true},
        {Find<QAction>(w, "actResultsPrint"), "Печать", QKeySequence(Qt::CTRL | Qt::Key_P), true, true},
        {Find<QAction>(w, "actResultsSendEMail"), "Отправить по E-Mail", QKeySequence(Qt::CTRL | Qt::Key_E), true,
         true},
        {Find<QAction>(w, "actResultsDelete"), "Удалить запись", QKeySequence(Qt::CTRL | Qt::Key_D), true, true},
        {Find<QAction>(w, "actResultsFilter"), "Фильтровать", {}, true, true},
        {Find<QAction>(w, "actResultsShowAll"), "Показать все", {}, true, true},
        {Find<QAction>(w, "actHelpContents"), "Помощь", QKeySequence(Qt::Key_F1), true, true},
        {Find<QAction>(w, "actHelpAbout"), "О программе...", {}, false, true},
        {Find<QAction>(w, "actHelpLicenseAgreement"), "Лицензионное соглашение", {}, false, true},
        {Find<QAction>(w, "actHelpWWW"), "Интернет-сайт разработчика", {}, false, true},
        {Find<QAction>(w, "actHelpEMail"), "Письмо разработчику", {}, false, true},
        {Find<QAction>(w, "EditCopy1"), "Копировать", QKeySequence(Qt::CTRL | Qt::Key_C), false, true},
    };
    for (const auto &c : cases) {
        const QString caption = QString::fromUtf8(c.caption);
        EXPECT_EQ(c.action->text(), caption);
        EXPECT_EQ(c.action->shortcut(), c.key) << c.caption;
        EXPECT_EQ(c.action->toolTip() == caption && c.action->statusTip() == caption, c.hint) << c.caption;
        EXPECT_EQ(c.action->isVisible(), c.visible) << c.caption;
    }
    // Before the mode is decided, nothing of the administrator's is shown.
    EXPECT_TRUE(ResultsPagesHidden(w));
}

TEST_F(MainWindowTest, WithoutProtectionStartsInAdministratorModeWithoutAsking)
{
    auto w = Start(install);
    EXPECT_TRUE(w->AdministratorMode());
    EXPECT_TRUE(ResultsPagesShown(*w));
    EXPECT_FALSE(Find<QAction>(*w, "actFileAuthen")->isEnabled());
    EXPECT_EQ(passwords.asked, 0);
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

TEST_F(MainWindowTest, ProtectedStartWithWrongRightAndCancelledPassword)
{
    struct Case {
        std::optional<QString> typed;
        bool admin;
        int warnings;
    };
    const Case cases[] = {
        {QStringLiteral("wrong"), false, 1},
        {QStringLiteral("Пароль"), true, 0},
        {QStringLiteral("пароль"), false, 1},
        {std::nullopt, false, 0},
    };
    install.Store(QStringLiteral("AskAdminPassword"), 1);
    install.Store(QStringLiteral("AdminPassword"), QStringLiteral("Пароль"));
    install.Store(QStringLiteral("ActiveDataPage"), 2);
    for (const auto &c : cases) {
        dialogs.warnings.clear();
        passwords.asked = 0;
        passwords.typed = {c.typed};
        auto w = Start(install);
        ASSERT_EQ(passwords.asked, 1);
        EXPECT_EQ(passwords.notices.last(), AdminAccessNotice);
        EXPECT_EQ(w->AdministratorMode(), c.admin);
        ASSERT_EQ(dialogs.warnings.size(), c.warnings);
        if (c.warnings) {
            EXPECT_EQ(dialogs.warnings.first(), QStringLiteral("Вы ввели неправильный пароль"));
        }
        if (c.admin) {
            EXPECT_TRUE(ResultsPagesShown(*w));
            EXPECT_EQ(Find<QTabWidget>(*w, "TeSPageControl")->currentIndex(), 2); // the page last shown
            EXPECT_FALSE(Find<QAction>(*w, "actFileAuthen")->isEnabled());
        } else {
            EXPECT_TRUE(ResultsPagesHidden(*w));
            EXPECT_EQ(Find<QTabWidget>(*w, "TeSPageControl")->currentIndex(), 0);
            EXPECT_TRUE(Find<QAction>(*w, "actFileAuthen")->isEnabled());
        }
        w->close();
        // Closing outside administrator mode keeps the remembered page.
        EXPECT_EQ(install.Stored(QStringLiteral("ActiveDataPage")).toInt(), 2);
    }
}

TEST_F(MainWindowTest, AuthorisationFromTestingMode)
{
    install.Store(QStringLiteral("AskAdminPassword"), 1);
    install.Store(QStringLiteral("AdminPassword"), QStringLiteral("pw"));
    passwords.typed = {std::nullopt, QStringLiteral("bad"), QStringLiteral("pw")};
    auto w = Start(install);
    ASSERT_FALSE(w->AdministratorMode());
    Find<QAction>(*w, "actFileAuthen")->trigger();
    EXPECT_FALSE(w->AdministratorMode());
    EXPECT_EQ(Find<QTabWidget>(*w, "TeSPageControl")->currentIndex(), 0);
    EXPECT_TRUE(ResultsPagesHidden(*w));
    Find<QAction>(*w, "actFileAuthen")->trigger();
    EXPECT_TRUE(ResultsPagesShown(*w));
    EXPECT_TRUE(w->AdministratorMode());
    EXPECT_FALSE(Find<QAction>(*w, "actFileAuthen")->isEnabled());
    EXPECT_EQ(passwords.asked, 3);
    EXPECT_EQ(dialogs.warnings.size(), 1);
}

TEST_F(MainWindowTest, ProtectionWithoutAPasswordNeverLocksTheAdministratorOut)
{
    install.Store(QStringLiteral("AskAdminPassword"), 1);
    install.Store(QStringLiteral("AdminPassword"), QString());
    {
        auto w = Start(install);
        EXPECT_EQ(passwords.asked, 0);
        EXPECT_TRUE(w->AdministratorMode());
        EXPECT_FALSE(Find<QCheckBox>(*w, "checkProtectAdminMode")->isChecked());
        EXPECT_FALSE(Find<QPushButton>(*w, "btnSetAdminPassword")->isEnabled());

        // Checking the box and cancelling the password dialog unchecks it again.
        Find<QCheckBox>(*w, "checkProtectAdminMode")->setChecked(true);
        EXPECT_TRUE(Find<QPushButton>(*w, "btnSetAdminPassword")->isEnabled());
        Find<QPushButton>(*w, "btnSetAdminPassword")->click();
        EXPECT_EQ(passwords.askedNew, 1);
        EXPECT_FALSE(Find<QCheckBox>(*w, "checkProtectAdminMode")->isChecked());

        // Checked and closed without ever setting a password.
        Find<QCheckBox>(*w, "checkProtectAdminMode")->setChecked(true);
        w->close();
    }
    auto again = Start(install);
    EXPECT_EQ(passwords.asked, 0);
    EXPECT_TRUE(again->AdministratorMode());
}

TEST_F(MainWindowTest, PasswordSetOnThePageIsAskedAtTheNextStart)
{
    {
        auto w = Start(install);
        Find<QCheckBox>(*w, "checkProtectAdminMode")->setChecked(true);
        passwords.newPasswords = {QStringLiteral("новый")};
        Find<QPushButton>(*w, "btnSetAdminPassword")->click();
        EXPECT_TRUE(Find<QCheckBox>(*w, "checkProtectAdminMode")->isChecked());
        EXPECT_FALSE(Find<QAction>(*w, "actFileAuthen")->isEnabled()); // already administrator
        w->close();
    }
    passwords.typed = {QStringLiteral("новый")};
    auto w = Start(install);
    EXPECT_EQ(passwords.asked, 1);
    EXPECT_TRUE(w->AdministratorMode());
}

TEST_F(MainWindowTest, ChangedPreferencesAreInEffectAfterARestart)
{
    {
        auto w = Start(install);
        Find<QTabWidget>(*w, "TeSPageControl")->setCurrentIndex(TformPalettorMain::PreferencesPageIndex);
        auto *memo = Find<QPlainTextEdit>(*w, "memoUserGroups");
        memo->setFocus();
        memo->setPlainText(QStringLiteral("Отдел 1\nОтдел 2"));
        Find<QCheckBox>(*w, "checkUserField1")->setFocus(); // leaving the memo collects it
        Find<QCheckBox>(*w, "checkUserField3")->click();
        Find<QCheckBox>(*w, "checkUserField1")->click();
        Find<QComboBox>(*w, "cbShowResultType")->setCurrentIndex(3);
        Find<QSlider>(*w, "teTrackBar1")->setValue(30);
        Find<QSlider>(*w, "teTrackBar2")->setValue(100);
        dialogs.colourAnswers = {QColor(255, 255, 255), QColor(10, 20, 30)};
        auto *red = Find<ColourSwatchPanel>(*w, "panelUsedColors5");
        QTest::mouseClick(red->Swatch(2), Qt::LeftButton);
        QTest::mouseClick(Find<ColourSwatchPanel>(*w, "panelUsedColors")->Swatch(4), Qt::LeftButton);
        EXPECT_EQ(red->SwatchColour(2), QColor(255, 255, 255));
        w->close();
    }
    EXPECT_EQ(install.Stored(QStringLiteral("RedColor2")).toString(), QStringLiteral("clWhite"));
    EXPECT_EQ(install.Stored(QStringLiteral("Color4")).toString(), QStringLiteral("$001E140A"));
    EXPECT_EQ(install.Stored(QStringLiteral("UserGroups")).toString(), QStringLiteral("Отдел 1\r\nОтдел 2\r\n"));
    EXPECT_EQ(install.Stored(QStringLiteral("ActiveDataPage")).toInt(), 2);

    auto w = Start(install);
    const Preferences &p = w->Prefs();
    EXPECT_EQ(p.UserGroups, QStringLiteral("Отдел 1\r\nОтдел 2\r\n"));
    EXPECT_EQ(Find<QPlainTextEdit>(*w, "memoUserGroups")->toPlainText(), QStringLiteral("Отдел 1\nОтдел 2"));
    EXPECT_EQ(p.UserField, (std::array<bool, 6>{false, true, true, false, false, false}));
    EXPECT_FALSE(Find<QCheckBox>(*w, "checkUserField1")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(*w, "checkUserField3")->isChecked());
    EXPECT_EQ(Find<QComboBox>(*w, "cbShowResultType")->currentIndex(), 3);
    EXPECT_EQ(w->Theme().Brightness(), 30);
    EXPECT_EQ(w->Theme().Saturation(), 100);
    EXPECT_EQ(Find<QSlider>(*w, "teTrackBar1")->value(), 30);
    EXPECT_EQ(w->Prefs().Colours[static_cast<std::size_t>(ColourIndex(ColourTable::Red, 2))],
              MakeColour(255, 255, 255));
    EXPECT_EQ(Find<ColourSwatchPanel>(*w, "panelUsedColors")->SwatchColour(4), QColor(10, 20, 30));
    EXPECT_EQ(Find<QTabWidget>(*w, "TeSPageControl")->currentIndex(), 2);
}

TEST_F(MainWindowTest, AnEmptiedGroupMemoBecomesTheDefaultGroup)
{
    auto w = Start(install);
    Find<QTabWidget>(*w, "TeSPageControl")->setCurrentIndex(TformPalettorMain::PreferencesPageIndex);
    Find<QPlainTextEdit>(*w, "memoUserGroups")->setFocus();
    Find<QPlainTextEdit>(*w, "memoUserGroups")->setPlainText(QStringLiteral("  \n"));
    Find<QComboBox>(*w, "cbShowResultType")->setFocus();
    EXPECT_EQ(Find<QPlainTextEdit>(*w, "memoUserGroups")->toPlainText(), QStringLiteral("Администрация"));
    EXPECT_EQ(w->Prefs().UserGroups, QStringLiteral("Администрация\r\n"));
}

TEST_F(MainWindowTest, ThemeFileFromTheThemesFolderIsKept)
{
    const QString sheet = install.Root() + QStringLiteral("Themes/Test.qss");
    WriteBytes(sheet, "QWidget { font-size: 9pt; }");
    {
        auto w = Start(install);
        const int item = Find<PreferencesPage>(*w, "TeTabSheet3")->ThemeFileItem(sheet);
        ASSERT_GE(item, 0);
        Find<QComboBox>(*w, "cbTheme")->setCurrentIndex(item);
        EXPECT_TRUE(w->Theme().FromFile());
        w->close();
    }
    EXPECT_EQ(install.Stored(QStringLiteral("SetThemeByIndex")).toInt(), 0);
    auto w = Start(install);
    EXPECT_TRUE(w->Theme().FromFile());
    EXPECT_EQ(Find<QComboBox>(*w, "cbTheme")->currentIndex(),
              Find<PreferencesPage>(*w, "TeTabSheet3")->ThemeFileItem(sheet));
    Find<QComboBox>(*w, "cbTheme")->setCurrentIndex(0);
    w->close();
    EXPECT_EQ(qApp->styleSheet(), QString());
}

TEST_F(MainWindowTest, PageChangeSetsTheHelpContext)
{
    TformPalettorMain fresh(install.Root());
    EXPECT_EQ(fresh.HelpContext(), 1000);
    auto w = Start(install);
    for (int page : {1, 2, 0}) {
        Find<QTabWidget>(*w, "TeSPageControl")->setCurrentIndex(page);
        EXPECT_EQ(w->HelpContext(), 1001 + page);
    }
}

TEST_F(MainWindowTest, SessionSavedIntoTheDataFolderCanBeReadBack)
{
    auto w = Start(install);
    TCLTSession &session = w->Sessions().AddNew();
    session.TestKind = 2;
    session.Surname = "Иванов";
    EXPECT_TRUE(w->Finisher().Store(session));
    EXPECT_TRUE(dialogs.warnings.isEmpty());
    ASSERT_FALSE(session.SourceFile.empty());
    TCLTArchive back;
    ASSERT_TRUE(LoadSessionFile(session.SourceFile, back, SessionContext{}));
    EXPECT_EQ(back[0].Surname, "Иванов");
    EXPECT_EQ(back[0].TestKind, 2);
}

TEST_F(MainWindowTest, SessionThatCannotBeSavedIsReportedWithTheFolder)
{
    QDir(install.DataFolder()).removeRecursively();
    auto w = Start(install);
    TCLTSession &session = w->Sessions().AddNew();
    EXPECT_FALSE(w->Finisher().Store(session));
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QDir::toNativeSeparators(install.DataFolder())));
    EXPECT_TRUE(dialogs.warnings[0].contains(QStringLiteral("Причина")));
    EXPECT_EQ(w->Sessions().Count(), 1u); // still listed for this run
}

TEST_F(MainWindowTest, DamagedSessionFilesAreReportedOnceToTheAdministrator)
{
    WriteSession(install.DataFolder(), 1, "Первый");
    const std::string damaged1 = WriteSession(install.DataFolder(), 2, "Второй");
    const std::string damaged2 = WriteSession(install.DataFolder(), 3, "Третий");
    WriteSession(install.DataFolder(), 4, "Четвертый");
    for (const std::string &path : {damaged1, damaged2}) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.resize(40));
    }
    install.Store(QStringLiteral("AskAdminPassword"), 1);
    install.Store(QStringLiteral("AdminPassword"), QStringLiteral("pw"));
    passwords.typed = {std::nullopt, QStringLiteral("pw")};

    auto w = Start(install);
    EXPECT_EQ(w->Sessions().Count(), 2u);
    EXPECT_EQ(w->DamagedFiles().size(), 2);
    EXPECT_TRUE(dialogs.warnings.isEmpty()); // not shown to the tested person

    w->Authorise();
    ASSERT_TRUE(w->AdministratorMode());
    ASSERT_EQ(dialogs.warnings.size(), 1);
    const QString report = dialogs.warnings[0];
    EXPECT_TRUE(report.contains(QStringLiteral(": 2.")));
    EXPECT_TRUE(report.contains(QFileInfo(QString::fromStdString(damaged1)).fileName()));
    EXPECT_TRUE(report.contains(QFileInfo(QString::fromStdString(damaged2)).fileName()));

    w->Authorise();
    EXPECT_EQ(dialogs.warnings.size(), 1);
}

TEST_F(MainWindowTest, StartUpRemovesOnlyStaleTemporariesOfInterruptedSaves)
{
    WriteSession(install.DataFolder(), 1, "Первый");
    const QString data = install.DataFolder() + QLatin1Char('/');
    const QString stale = data + QStringLiteral("2025070409050100.dat") + QString::fromStdString(SaveTemporarySuffix);
    const QString fresh = data + QStringLiteral("2025070409050200.dat") + QString::fromStdString(SaveTemporarySuffix);
    const QString foreign = data + QStringLiteral("notes.dat") + QString::fromStdString(SaveTemporarySuffix);
    for (const QString &path : {stale, fresh, foreign}) {
        WriteBytes(path, "partial");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        if (path != fresh) {
            ASSERT_TRUE(
                file.setFileTime(QDateTime::currentDateTime().addSecs(-2 * 3600), QFileDevice::FileModificationTime));
        }
    }
    auto w = Start(install);
    EXPECT_EQ(w->Sessions().Count(), 1u);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(fresh)); // may belong to a save still running
    EXPECT_TRUE(QFileInfo::exists(foreign));
}

TEST_F(MainWindowTest, StimulusSetsAndAMissingKnowledgeBaseLeaveAUsableWindow)
{
    WriteBytes(install.Root() + QStringLiteral("StimulSet.ini"),
               "[Set1]\r\nName=Family\r\nValues=Mother;Father\r\n[Set2]\r\nName=Work\r\nValues=Boss\r\n");
    auto w = Start(install);
    ASSERT_EQ(w->StimulusSetList().Count(), 2u);
    EXPECT_EQ(w->StimulusSetList().Names[1], "Work");
    EXPECT_TRUE(w->KnowledgeBase().Empty());
    EXPECT_TRUE(w->AdministratorMode());
    EXPECT_TRUE(Find<QAction>(*w, "actStartTesting")->isEnabled());
}

int ResultRows(const TformPalettorMain &w) { return w.findChild<ResultsPage *>()->Model()->rowCount(); }

TEST_F(MainWindowTest, ResultsListIsFilledOnlyInAdministratorMode)
{
    WriteSession(install.DataFolder(), 1, "Первый");
    WriteSession(install.DataFolder(), 2, "Второй");
    {
        auto w = Start(install);
        EXPECT_EQ(ResultRows(*w), 2);
        TCLTSession &session = w->Sessions().AddNew();
        ASSERT_TRUE(w->Finisher().Store(session));
        EXPECT_EQ(ResultRows(*w), 3); // appended at once
        w->close();
    }
    install.Store(QStringLiteral("AskAdminPassword"), 1);
    install.Store(QStringLiteral("AdminPassword"), QStringLiteral("pw"));
    passwords.typed = {std::nullopt, QStringLiteral("pw")};
    auto w = Start(install);
    EXPECT_EQ(w->Sessions().Count(), 3u);
    EXPECT_EQ(ResultRows(*w), 0);
    TCLTSession &session = w->Sessions().AddNew();
    ASSERT_TRUE(w->Finisher().Store(session));
    EXPECT_EQ(ResultRows(*w), 0); // stored, but the hidden list stays empty
    w->Authorise();
    EXPECT_EQ(ResultRows(*w), 4);
}

TEST_F(MainWindowTest, StatusBarHasItsFivePanels)
{
    TformPalettorMain w(install.Root());
    // A hovered action's hint must not cover the panels.
    QStatusTipEvent tip(QStringLiteral("Начать тестирование"));
    QCoreApplication::sendEvent(&w, &tip);
    EXPECT_TRUE(w.statusBar()->currentMessage().isEmpty());
    EXPECT_EQ(Find<QLabel>(w, "StatusPanel0")->width(), 120);
    EXPECT_EQ(Find<QLabel>(w, "StatusPanel1")->width(), 110);
    EXPECT_EQ(Find<QLabel>(w, "StatusPanel2")->width(), 130);
    EXPECT_EQ(Find<QProgressBar>(w, "ProgressBar1")->width(), 200);
    ASSERT_NE(Find<QLabel>(w, "StatusPanel4"), nullptr);
    EXPECT_TRUE(Find<QLabel>(w, "StatusPanel4")->text().isEmpty());

    w.show();
    Find<QLabel>(w, "StatusPanel0")->setText(QStringLiteral("Среда, 9 декабря 2026 г. 06:10:35"));
    QApplication::processEvents();
    EXPECT_GE(Find<QLabel>(w, "StatusPanel0")->width(), Find<QLabel>(w, "StatusPanel0")->sizeHint().width());
    EXPECT_GT(Find<QLabel>(w, "StatusPanel0")->width(), 120);
}

} // namespace
