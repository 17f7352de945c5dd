#pragma once

#include "app/preferences/Preferences.h"
#include "app/window/KnowledgeBaseStatus.h"
#include "app/window/StationMode.h"
#include "app/window/ThemeEngine.h"
#include "core/ArchiveList.h"
#include "core/TCLTOutcome.h"
#include "interpretation/StimulusSets.h"
#include "qtkit/StationContext.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>

class ArchiveSync;
class HelpLauncher;
class PreferencesPage;
class QAction;
class QTabWidget;
class SessionFinisher;
class StartupNotes;
class TestingPage;
class WindowPages;
class WindowStatusBar;
enum class PreferencesChange;
struct AboutFacts;
struct WindowActions;

// The main window: the three pages, menus, toolbar and status bar, the
// start-up and shutdown steps, the two modes and the preferences. Its
// controls are found by their object names, as a user sees them.
class TformPalettorMain : public QMainWindow {
    Q_OBJECT
public:
    // rootFolder: the installation folder (ends in '/'); tests pass a
    // temporary one. The locale and the clock are the system's.
    explicit TformPalettorMain(const QString &rootFolder, QWidget *parent = nullptr);
    // With a given locale and clock (tests fix both).
    TformPalettorMain(const QString &rootFolder, const StationContext &context, QWidget *parent = nullptr);
    ~TformPalettorMain() override;

    static constexpr int TestingPageIndex = StationMode::TestingPageIndex;
    static constexpr int ResultsPageIndex = StationMode::ResultsPageIndex;
    static constexpr int PreferencesPageIndex = StationMode::PreferencesPageIndex;
    static constexpr int StatisticsPageIndex = StationMode::StatisticsPageIndex;

    const QString &RootFolder() const { return rootFolder; }
    QString DataFolder() const;
    QString ThemesFolder() const;
    HelpLauncher &Help() const { return *help; }
    int HelpContext() const { return helpContext; }

    // What the window holds.
    const StationContext &Context() const { return context; }
    bool AdministratorMode() const { return mode->Administrator(); }
    const Preferences &Prefs() const { return prefs; }
    const ThemeEngine &Theme() const { return theme; }
    ArchiveList &Sessions() { return sessions; }
    const TCLTKnowledgeBase &KnowledgeBase() const { return knowledgeBase; }
    const KnowledgeBaseStatus &KnowledgeBaseState() const { return knowledgeBaseStatus; }
    // What "О программе" tells of this installation.
    AboutFacts About() const;
    const StimulusSets &StimulusSetList() const { return stimulusSets; }
    TestingPage &Testing() const { return *testingPage; }
    // The route of every finished session.
    SessionFinisher &Finisher() const { return *finisher; }

    // The authorisation action: asks for administrator mode.
    void Authorise();

    // True while the start-up pass lists the archive; tests can be run
    // meanwhile, the list is filled as it goes.
    bool ArchiveLoading() const;
    // Seams for tests: sessions per batch of the start-up pass, and
    // milliseconds between listings of the session folder.
    void SetArchiveBatchEntries(std::size_t entries) { archiveBatchEntries = entries; }
    void SetArchiveCheckInterval(int ms) { archiveCheckMs = ms; }
    // Compares the session folder with the list now (another station's
    // sessions appear, deleted ones go).
    void CheckArchiveFolder();
    // Session files skipped as damaged at start-up.
    const QStringList &DamagedFiles() const;

signals:
    // The first show has run every step: the mode is decided and the
    // start-up pass has listed the archive.
    void StartupFinished();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void CreatePages();
    void ConnectActions();
    void ConnectTestingPage();
    void FirstShow();
    void LoadStimulusSets();
    void StartArchiveLoad();
    void FinishArchiveLoad();
    void StopArchiveLoad();
    void DecideMode();
    void AskForAdministratorMode();
    // Damaged session files and other start-up problems, once, to the administrator.
    void ReportStartupProblems();
    void UpdateAuthoriseAction();
    void PageChanged(int index);
    // Saves that failed while the tested person was at the screen.
    void ReportFailedSaves();
    void RetryNotStored();
    // Close asks first while a test runs or results are not stored.
    bool MayClose();

    // Preferences.
    void LoadPreferencesFromStore();
    void ApplyPreferences();
    void CollectPreferences();
    void SavePreferencesToStore();
    void PreferencesChanged(PreferencesChange what);

    QString rootFolder;
    StationContext context;
    std::unique_ptr<HelpLauncher> help;
    Preferences prefs;
    int filterGroupIndex = 0;
    bool preferencesReady = false;
    ThemeEngine theme;
    ArchiveList sessions;
    TCLTKnowledgeBase knowledgeBase;
    KnowledgeBaseStatus knowledgeBaseStatus;
    StimulusSets stimulusSets;
    std::unique_ptr<WindowPages> pages;
    std::unique_ptr<SessionFinisher> finisher;

    QTabWidget *pageControl = nullptr;
    TestingPage *testingPage = nullptr;
    PreferencesPage *prefsPage = nullptr;
    std::unique_ptr<WindowActions> actions;
    std::unique_ptr<WindowStatusBar> status;
    std::unique_ptr<StationMode> mode;

    int helpContext = 1000;
    bool firstShowDone = false;
    std::unique_ptr<StartupNotes> notes;
    std::size_t archiveBatchEntries = 2000;
    int archiveCheckMs = -1;
    ArchiveSync *archive = nullptr;
    bool modeDecided = false;
    QAction *actResultsSaveAgain = nullptr;
};
