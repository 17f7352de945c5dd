#pragma once

#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class ResultsPage;

// The main window's commands with their menus and toolbar. The results
// commands are the results page's own actions, so a menu item and the page's
// buttons are one command with one shortcut. The window connects them.
struct WindowActions {
    // The results commands are taken from the page, which outlives them.
    WindowActions(QMainWindow &window, const ResultsPage &results);

    // The table of the whole list is off until the start-up pass has listed
    // every session; every other command works meanwhile.
    void SetListComplete(bool complete);
    // Caption, hint and icon of actStartTesting for a running or idle test.
    void ShowTestRunning(bool running, const QString &caption);
    void ShowResultsMenu(bool visible);
    // The result memo's pop-up menu holds the single copy command.
    static void AddCopyMenu(QPlainTextEdit *memo);
    // Copies the selected text of the focused text control (never a password).
    static void CopyFocusedSelection();

    QAction *actStartTesting = nullptr;
    QAction *actFileAuthen = nullptr;
    QAction *actFileExit = nullptr;
    QAction *actResultsCopy = nullptr;
    QAction *actResultsExportMSWord = nullptr;
    QAction *actResultsSave = nullptr;
    QAction *actResultsPreview = nullptr;
    QAction *actResultsPrint = nullptr;
    QAction *actResultsSendEMail = nullptr;
    QAction *actResultsExportList = nullptr;
    QAction *actResultsSavePdf = nullptr;
    QAction *actResultsDelete = nullptr;
    QAction *actResultsFilter = nullptr;
    QAction *actResultsShowAll = nullptr;
    QAction *actHelpContents = nullptr;
    QAction *actHelpAbout = nullptr;
    QAction *actHelpLicenseAgreement = nullptr;
    QAction *actHelpWWW = nullptr;
    QAction *actHelpEMail = nullptr;
    QAction *EditCopy1 = nullptr;
    QMenu *submenuFile = nullptr;
    QMenu *submenuTesting = nullptr;
    QMenu *submenuResults = nullptr;
    QMenu *submenuHelp = nullptr;
    QToolBar *TestingToolBar = nullptr;

private:
    void CreateActions(QMainWindow &window, const ResultsPage &results);
    void CreateMenusAndToolBar(QMainWindow &window);
    QMainWindow &window;
};
