#pragma once

#include "Preferences.h"
#include "SessionArchive.h"
#include "StationContext.h"
#include "StationMode.h"
#include "StimulusSets.h"
#include "TCLTOutcome.h"
#include "ThemeEngine.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>

class ArchiveLoadDriver;
class HelpLauncher;
class PageHooks;
class PreferencesPage;
class QAction;
class QTabWidget;
class SessionFinisher;
class StartupNotes;
class TestingPage;
class WindowStatusBar;
enum class PreferencesChange;
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
    TCLTArchive &Sessions() { return sessions; }
    const TCLTKnowledgeBase &KnowledgeBase() const { return knowledgeBase; }
    const StimulusSets &StimulusSetList() const { return stimulusSets; }
    TestingPage &Testing() const { return *testingPage; }
    // The route of every finished session.
    SessionFinisher &Finisher() const { return *finisher; }

    // The authorisation action: asks for administrator mode.
    void Authorise();

    // True while the archive is being read; no other file operation may start.
    bool ArchiveLoading() const { return archiveLoad != nullptr; }
    // Milliseconds of reading per turn of the event loop while the archive
    // loads (at least one file a turn); 0 reads one file a turn.
    void SetArchiveLoadSlice(int ms) { archiveSliceMs = ms; }
    // Session files skipped as damaged at start-up.
    const QStringList &DamagedFiles() const;

signals:
    // The first show has run every step, the mode decided.
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
    void ApplyUserGroups();

    QString rootFolder;
    StationContext context;
    std::unique_ptr<HelpLauncher> help;
    Preferences prefs;
    int filterGroupIndex = 0;
    bool preferencesReady = false;
    ThemeEngine theme;
    TCLTArchive sessions;
    TCLTKnowledgeBase knowledgeBase;
    StimulusSets stimulusSets;
    std::unique_ptr<PageHooks> pages;
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
    int archiveSliceMs = 30;
    ArchiveLoadDriver *archiveLoad = nullptr;
    QAction *actResultsSaveAgain = nullptr;
};
