#include "app/window/TformPalettorMain.h"

#include "app/archive/ArchiveSync.h"
#include "app/help/HelpLauncher.h"
#include "app/preferences/AppSettings.h"
#include "app/preferences/PreferencesPage.h"
#include "app/testing/SessionFinisher.h"
#include "app/testing/TestingPage.h"
#include "app/window/AboutWindow.h"
#include "app/window/AppInfo.h"
#include "app/window/BusyCursor.h"
#include "app/window/PlacementStore.h"
#include "app/window/StartupNotes.h"
#include "app/window/WindowActions.h"
#include "app/window/WindowPages.h"
#include "app/window/WindowStatusBar.h"
#include "interpretation/StimulusProfileFile.h"
#include "qtkit/UserDialogs.h"
#include "results/ResultsModel.h"
#include "results/ResultsPage.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

namespace {
const QString mainWindowClass = QStringLiteral("TformPalettorMain");
constexpr int firstPageHelpContext = 1001;
constexpr int licenceHelpContext = 2000;

// Runs one start-up step; a failure of one step must not stop the others.
template <typename Step>
void runStep(Step step)
{
    try {
        step();
    } catch (const std::exception &) {
    }
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
} // namespace

TformPalettorMain::TformPalettorMain(const QString &root, QWidget *parent)
    : TformPalettorMain(root, StationContext(StationContext::FormattingLocale(QLocale::system())), parent)
{
}

TformPalettorMain::TformPalettorMain(const QString &root, const StationContext &stationContext, QWidget *parent)
    : QMainWindow(parent), rootFolder(withSlash(QDir::fromNativeSeparators(root))), context(stationContext),
      help(std::make_unique<HelpLauncher>(rootFolder)),
      finisher(std::make_unique<SessionFinisher>(knowledgeBase, DataFolder(), context, this)),
      notes(std::make_unique<StartupNotes>())
{
    setObjectName(mainWindowClass);
    setWindowTitle(AppInfo::MainWindowCaption);
    // The person-code secret lives with the settings, made at the first
    // name-free export.
    context.SetPersonCodeSettings([] { return AppSettings::Open(); });
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(9);
    setFont(font);

    CreatePages();
    actions = std::make_unique<WindowActions>(*this, pages->Results());
    status = std::make_unique<WindowStatusBar>(*statusBar());
    // Stores again what a failed save left in the recovery folder.
    actResultsSaveAgain = new QAction(QStringLiteral("Сохранить повторно"), this);
    actResultsSaveAgain->setObjectName(QStringLiteral("actResultsSaveAgain"));
    addAction(actResultsSaveAgain);
    actions->submenuResults->addAction(actResultsSaveAgain);
    mode = std::make_unique<StationMode>(*pageControl, *actions);
    mode->LockWithAdministratorPages(actResultsSaveAgain);
    ConnectActions();
    ConnectTestingPage();
    connect(prefsPage, &PreferencesPage::Changed, this, &TformPalettorMain::PreferencesChanged);
    prefsPage->FillThemes(ThemeEngine::ThemeFilesIn(ThemesFolder()));

    // Until the mode is decided only the testing page is there, so nothing
    // of the administrator's is ever shown without the password.
    mode->HideAdministratorPages();

    resize(861,
           709 + menuBar()->sizeHint().height() + actions->TestingToolBar->sizeHint().height()
               + statusBar()->sizeHint().height());
}

TformPalettorMain::~TformPalettorMain()
{
    StopArchiveLoad();
    // The pages may refer to the sessions; they go first.
    delete takeCentralWidget();
    stimulusSets = {};
    knowledgeBase.Clear();
    sessions.Clear();
}

AboutFacts TformPalettorMain::About() const
{
    return {rootFolder + QStringLiteral("ColorTest.dat"), knowledgeBase.Count(), DataFolder(),
            knowledgeBaseStatus.AboutText()};
}

QString TformPalettorMain::DataFolder() const { return rootFolder + QStringLiteral("Data"); }
QString TformPalettorMain::ThemesFolder() const { return rootFolder + QStringLiteral("Themes/"); }

void TformPalettorMain::CreatePages()
{
    // After the window's font is set: the pages size some controls by their texts.
    pages = std::make_unique<WindowPages>(sessions, context, theme, this);
    pageControl = pages->Control();
    testingPage = &pages->Testing();
    prefsPage = &pages->Settings();
    setCentralWidget(pageControl);
    connect(pageControl, &QTabWidget::currentChanged, this, &TformPalettorMain::PageChanged);
}

void TformPalettorMain::ConnectActions()
{
    const WindowActions &a = *actions;
    // Before the first test in testing mode: a damaged base leaves conclusions without texts.
    connect(a.actStartTesting, &QAction::triggered, this, [this] {
        if (!AdministratorMode() && !testingPage->Procedure().Running())
            knowledgeBaseStatus.WarnBeforeFirstTest(this);
    });
    connect(a.actStartTesting, &QAction::triggered, testingPage, &TestingPage::StartOrStop);
    connect(a.actFileAuthen, &QAction::triggered, this, &TformPalettorMain::Authorise);
    connect(a.actFileExit, &QAction::triggered, this, &QWidget::close);
    connect(actResultsSaveAgain, &QAction::triggered, this, &TformPalettorMain::RetryNotStored);
    connect(a.actHelpContents, &QAction::triggered, this, [this] { help->ShowTopic(this, helpContext); });
    connect(a.actHelpLicenseAgreement, &QAction::triggered, this,
            [this] { help->ShowTopic(this, licenceHelpContext); });
    connect(a.actHelpAbout, &QAction::triggered, this, [this] {
        TformAbout about(About(), *help, this);
        about.exec();
    });
    connect(a.actHelpWWW, &QAction::triggered, this, [this] { help->OpenLink(this, QUrl(AppInfo::DeveloperWebSite)); });
    connect(a.actHelpEMail, &QAction::triggered, this,
            [this] { help->OpenLink(this, QUrl(QStringLiteral("mailto:") + AppInfo::SupportEMail)); });
    connect(a.EditCopy1, &QAction::triggered, this, &WindowActions::CopyFocusedSelection);
    WindowActions::AddCopyMenu(testingPage->ResultMemo());
}

void TformPalettorMain::ConnectTestingPage()
{
    connect(testingPage, &TestingPage::statusTextChanged, this,
            [this](int panel, const QString &text) { status->SetPanelText(panel, text); });
    connect(testingPage, &TestingPage::progressChanged, this,
            [this](int position, int maximum) { status->SetProgress(position, maximum); });
    connect(testingPage, &TestingPage::testRunningChanged, this,
            [this](bool running, const QString &caption) { actions->ShowTestRunning(running, caption); });
    connect(testingPage, &TestingPage::testingPageRequested, this,
            [this] { pageControl->setCurrentIndex(TestingPageIndex); });
    // A finished session: interpreted, shown, saved, then listed in administrator mode.
    finisher->SetShow([page = testingPage](const TCLTSession &session) { page->ShowResult(session); });
    finisher->SetTestingMode([this] { return !AdministratorMode(); });
    help->SetTestingMode([this] { return !AdministratorMode(); });
    pages->Results().Model()->SetNotStoredTest(
        [this](const ListedRow &session) { return finisher->NotStored(session); });
    finisher->SetList([this](const TCLTSession &session) {
        if (AdministratorMode())
            pages->Results().AppendFinishedSession(session);
    });
    connect(testingPage, &TestingPage::testFinished, this, [this](TCLTSession *session, double start, double end) {
        if (session)
            finisher->Finish(*session, start, end);
    });
}

// ---- Preferences ----

void TformPalettorMain::LoadPreferencesFromStore()
{
    BusyCursor busy;
    auto settings = AppSettings::Open();
    const QString refused = AppSettings::RefusedReason();
    if (!refused.isEmpty())
        *notes << QStringLiteral("Настройки программы не прочитаны: %1. Действуют настройки по умолчанию; "
                                 "файл настроек не изменяется.")
                      .arg(refused);
    if (settings->status() != QSettings::NoError)
        return; // the defaults stay
    const LoadedPreferences loaded = LoadPreferences(*settings);
    *notes << loaded.Problems;
    prefs = loaded.Prefs;
    filterGroupIndex = loaded.Remembered.FilterGroup;
    mode->RememberPage(loaded.Remembered.ActiveDataPage);
}

void TformPalettorMain::ApplyPreferences()
{
    prefsPage->Show(prefs);
    UpdateAuthoriseAction();
    pages->ApplyPreferences(prefs, filterGroupIndex);
    filterGroupIndex = pages->Results().FilterGroupIndex();
}

void TformPalettorMain::CollectPreferences()
{
    if (!preferencesReady)
        return;
    prefsPage->Collect(prefs);
    UpdateAuthoriseAction();
}

void TformPalettorMain::PreferencesChanged(PreferencesChange what)
{
    if (!preferencesReady)
        return;
    CollectPreferences();
    pages->ApplyChange(prefs, what);
}

void TformPalettorMain::SavePreferencesToStore()
{
    BusyCursor busy;
    auto settings = AppSettings::Open();
    if (!settings->isWritable())
        return;
    std::optional<int> page;
    if (AdministratorMode())
        page = pageControl->currentIndex();
    SavePreferences(*settings, prefs, pages->Results().FilterGroupIndex(), page);
}

void TformPalettorMain::UpdateAuthoriseAction()
{
    actions->actFileAuthen->setEnabled(ProtectionInEffect(prefs) && !AdministratorMode());
}

// ---- Modes ----

void TformPalettorMain::AskForAdministratorMode()
{
    if (mode->Decide(this, prefs)) {
        pages->Results().RefillResults(false);
        ReportStartupProblems();
        ReportFailedSaves();
    }
    testingPage->SetArchiveCountShown(AdministratorMode());
}

void TformPalettorMain::ReportFailedSaves()
{
    for (const QString &note : finisher->TakeAdministratorNotes())
        UserDialogs::Current().ShowWarning(this, note);
}

void TformPalettorMain::RetryNotStored()
{
    if (ArchiveLoading() || !AdministratorMode())
        return;
    finisher->RetryAndTell(sessions);
    pages->Results().Model()->MarksChanged();
}

void TformPalettorMain::DecideMode()
{
    runStep([&] { finisher->AddWaitingRecovered(sessions); });
    runStep([&] { AskForAdministratorMode(); });
    UpdateAuthoriseAction();
    modeDecided = true;
    if (!ArchiveLoading())
        emit StartupFinished();
}

void TformPalettorMain::Authorise() { AskForAdministratorMode(); }

void TformPalettorMain::PageChanged(int index)
{
    if (index < 0)
        return;
    mode->PageShown(index);
    if (index == ResultsPageIndex && AdministratorMode() && isVisible())
        pages->FocusResultsList();
    helpContext = firstPageHelpContext + index;
    CollectPreferences();
}

const QStringList &TformPalettorMain::DamagedFiles() const { return notes->DamagedFiles(); }

void TformPalettorMain::ReportStartupProblems()
{
    if (AdministratorMode())
        notes->ReportOnce(this);
}

// ---- First show, loading, close ----

bool TformPalettorMain::event(QEvent *event)
{
    // A hovered action's hint would replace the five status panels; hints
    // are shown as tool tips instead.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void TformPalettorMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (firstShowDone)
        return;
    firstShowDone = true;
    FirstShow();
}

void TformPalettorMain::FirstShow()
{
    const PlacementStore placement(mainWindowClass);
    runStep([&] { placement.RestoreWindow(this); });
    runStep([&] { LoadPreferencesFromStore(); });
    runStep([&] { ApplyPreferences(); });
    // Control states come back once the lists they select from are filled;
    // the group memo is always the stored UserGroups.
    runStep([&] { pages->RestorePlacement(this); });
    runStep([&] { LoadStimulusSets(); });
    preferencesReady = true;
    // A damaged knowledge base keeps what was read; the administrator is told.
    runStep([&] { knowledgeBaseStatus.Load(rootFolder + QStringLiteral("ColorTest.dat"), knowledgeBase); });
    *notes << knowledgeBaseStatus.StartupNotes();
    // The window is painted before the archive is read and the password asked.
    QTimer::singleShot(0, this, &TformPalettorMain::StartArchiveLoad);
}

void TformPalettorMain::LoadStimulusSets()
{
    const QString path = rootFolder + QString::fromLatin1(StimulusSetFileName);
    notes->StimulusFileReadable(path);
    stimulusSets = ::LoadStimulusSets(path.toStdString());
    pages->SetStimulusSets(stimulusSets);
}

void TformPalettorMain::StartArchiveLoad()
{
    // Sessions a failed save left in the recovery folder go to Data first,
    // so this pass lists them with the rest.
    runStep([&] { *notes << finisher->MoveRecoveredIntoData(); });
    // One day and one separator for the whole pass.
    archive = new ArchiveSync(DataFolder(), sessions, this);
    archive->SetBatchEntries(archiveBatchEntries);
    if (archiveCheckMs >= 0)
        archive->SetCheckInterval(archiveCheckMs);
    // Only the table of the whole list waits for the pass.
    actions->SetListComplete(false);
    connect(archive, &ArchiveSync::Progress, this,
            [this](std::size_t read, std::size_t total) { status->ShowLoading(read, total); });
    connect(archive, &ArchiveSync::Loaded, this, &TformPalettorMain::FinishArchiveLoad);
    connect(archive, &ArchiveSync::DamageFound, this, [this](const QStringList &names) {
        notes->AddDamagedFiles(names);
        ReportStartupProblems();
    });
    archive->Start(context.ForSessions());
    // The password is asked and a test can start while the pass runs.
    DecideMode();
}

void TformPalettorMain::FinishArchiveLoad()
{
    notes->SetDamagedFiles(archive->Damaged(), DataFolder());
    status->EndLoading();
    actions->SetListComplete(true);
    if (AdministratorMode())
        notes->ReportOnce(this);
    if (modeDecided)
        emit StartupFinished();
}

void TformPalettorMain::StopArchiveLoad()
{
    if (archive)
        archive->Stop();
}

bool TformPalettorMain::ArchiveLoading() const { return archive && archive->Loading(); }

void TformPalettorMain::CheckArchiveFolder()
{
    if (archive)
        archive->CheckNow();
}

bool TformPalettorMain::MayClose()
{
    if (testingPage->Procedure().Running()) {
        if (!UserDialogs::Current().AskYesNo(this, QStringLiteral("Прервать тестирование и закрыть программу?")))
            return false;
        testingPage->StopTest();
    }
    return finisher->MayCloseWith(sessions);
}

void TformPalettorMain::closeEvent(QCloseEvent *event)
{
    if (!MayClose()) {
        event->ignore();
        return;
    }
    StopArchiveLoad();
    const PlacementStore placement(mainWindowClass);
    runStep([&] {
        placement.SaveWindow(this);
        pages->SavePlacement(this);
    });
    pages->Results().SetResultsListReady(false);
    // A window closed before its first show never read the store; writing
    // its defaults back would wipe the user's settings.
    if (preferencesReady)
        runStep([&] {
            CollectPreferences();
            SavePreferencesToStore();
        });
    event->accept();
}
