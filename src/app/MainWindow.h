#pragma once

#include "Preferences.h"
#include "SessionArchive.h"
#include "StimulusSets.h"
#include "TCLTOutcome.h"
#include "ThemeEngine.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;
class QTimer;
class QToolBar;
class PreferencesPage;
class PageHooks;

// The main window: the three pages, menus, toolbar and status bar, the
// start-up and shutdown steps, the two modes and the preferences.
class TformPalettorMain : public QMainWindow {
    Q_OBJECT
public:
    // rootFolder: the installation folder (ends in '/'); tests pass a
    // temporary one.
    explicit TformPalettorMain(const QString &rootFolder, QWidget *parent = nullptr);
    ~TformPalettorMain() override;

    static constexpr int TestingPageIndex = 0;
    static constexpr int ResultsPageIndex = 1;
    static constexpr int PreferencesPageIndex = 2;

    // Flags and remembered values.
    bool PreferencesReady = false;
    bool ResultsListReady = false;
    bool AdministratorMode = false;
    int FilterGroupIndex = 0;
    int ActiveDataPage = 0;

    Preferences Prefs;
    ColourSet ColourTablesInEffect = DefaultColours;
    ThemeEngine Theme;
    TCLTArchive Sessions;
    TCLTKnowledgeBase KnowledgeBase;
    StimulusSets StimulusSetList;

    const QString &RootFolder() const { return rootFolder; }
    QString DataFolder() const;
    QString HelpFile() const;
    QString HelpFolder() const;
    QString ThemesFolder() const;
    int HelpContext() const { return helpContext; }

    // Preferences.
    bool LoadPreferencesFromStore();
    void ApplyPreferences();
    void CollectPreferences();
    bool SavePreferencesToStore();

    // Modes.
    void EnterAdministratorMode();
    void EnterTestingMode();
    // The authorisation action.
    void Authorise();

    void ShowHelpTopic(int context, const QString &keyword = {});
    // Copies the selected text of the focused text control.
    void CopySelection();

    // True while the archive is being read; no other file operation may start.
    bool ArchiveLoading() const { return archiveTimer != nullptr; }
    // Milliseconds of reading per turn of the event loop while the archive
    // loads (at least one file a turn); 0 reads one file a turn.
    void SetArchiveLoadSlice(int ms) { archiveSliceMs = ms; }
    // Session files skipped as damaged at start-up.
    const QStringList &DamagedFiles() const { return damagedFiles; }

    // Saves a finished session, warns when it cannot be saved, and lists it
    // in administrator mode. The one place a finished test is stored.
    bool StoreFinishedSession(TCLTSession &session);

    // Opens a web address, a mail link or a file; replaceable by tests.
    std::function<bool(const QUrl &)> OpenUrl;

    QTabWidget *PageControl = nullptr;
    QWidget *TeTabSheet1 = nullptr;
    QWidget *TeTabSheet2 = nullptr;
    QWidget *TeTabSheet3 = nullptr;
    PreferencesPage *PrefsPage = nullptr;
    QMenu *submenuFile = nullptr;
    QMenu *submenuTesting = nullptr;
    QMenu *submenuResults = nullptr;
    QMenu *submenuHelp = nullptr;
    QToolBar *TestingToolBar = nullptr;
    std::array<QLabel *, 3> StatusPanel{}; // start time, elapsed time, test and step
    QProgressBar *ProgressBar1 = nullptr;
    QLabel *StatusLastPanel = nullptr;

    QAction *actStartTesting = nullptr;
    QAction *actFileAuthen = nullptr;
    QAction *actFileExit = nullptr;
    QAction *actResultsCopy = nullptr;
    QAction *actResultsExportMSWord = nullptr;
    QAction *actResultsSave = nullptr;
    QAction *actResultsPreview = nullptr;
    QAction *actResultsPrint = nullptr;
    QAction *actResultsSendEMail = nullptr;
    QAction *actResultsDelete = nullptr;
    QAction *actResultsFilter = nullptr;
    QAction *actResultsShowAll = nullptr;
    QAction *actHelpContents = nullptr;
    QAction *actHelpAbout = nullptr;
    QAction *actHelpLicenseAgreement = nullptr;
    QAction *actHelpWWW = nullptr;
    QAction *actHelpEMail = nullptr;
    QAction *EditCopy1 = nullptr;

signals:
    // The first show has run every step, the mode decided.
    void StartupFinished();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateActions();
    void CreateMenusAndToolBar();
    void CreateStatusBar();
    void ConnectPreferencesPage();
    void FirstShow();
    void StartArchiveLoad();
    void LoadNextSessionFiles();
    void FinishArchiveLoad();
    void DecideMode();
    // Damaged session files and other start-up problems, once, to the administrator.
    void ReportStartupProblems();
    void SetFileActionsEnabled(bool enabled);
    void UpdateAuthoriseAction();
    void PageChanged(int index);
    void ApplyUserGroups();
    void EditColour(ColourTable table, int entry);
    void ThemeChosen(int item);
    void SetAdminPassword();
    SessionContext CurrentContext() const;

    QString rootFolder;
    int helpContext = 1000;
    bool firstShowDone = false;
    bool problemsReported = false;
    QStringList startupNotes;
    QStringList damagedFiles;
    std::vector<std::string> pendingFiles;
    std::size_t nextFile = 0;
    int archiveSliceMs = 30;
    std::string loadFolder;     // with a trailing '/'
    SessionContext loadContext; // one day and locale for the whole pass
    QTimer *archiveTimer = nullptr;
    std::unique_ptr<PageHooks> pages;
};
