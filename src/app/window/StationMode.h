#pragma once

#include <QString>

#include <vector>

class QAction;
class QActionGroup;
class QTabWidget;
class QWidget;
struct Preferences;
struct WindowActions;

// The two modes of the station. In testing mode only the testing page is in
// the tab widget (the others are taken out, so no key, wheel or click can
// reach them) and every command of the administrator's is disabled;
// administrator mode puts the results, preferences and statistics pages back
// with the results menu, and comes back to the page last shown.
class StationMode {
public:
    static constexpr int TestingPageIndex = 0;
    static constexpr int ResultsPageIndex = 1;
    static constexpr int PreferencesPageIndex = 2;
    static constexpr int StatisticsPageIndex = 3;

    // pages holds the testing page first; every page after it is the
    // administrator's.
    StationMode(QTabWidget &pages, WindowActions &actions);

    bool Administrator() const { return administrator; }
    // The page administrator mode comes back to.
    void RememberPage(int index) { rememberedPage = index; }
    // Remembers the page shown, in administrator mode.
    void PageShown(int index);

    // Asks the password when the preferences protect administrator mode and
    // enters the mode decided. True for administrator mode.
    bool Decide(QWidget *parent, const Preferences &prefs);
    void EnterAdministrator();
    void EnterTesting();
    // Only the testing page, before any mode is decided.
    void HideAdministratorPages();
    // Puts an administrator's command among those locked in testing mode.
    void LockWithAdministratorPages(QAction *action);

private:
    QTabWidget &pages;
    WindowActions &actions;
    struct AdministratorPage {
        QWidget *Page;
        QString Title;
    };
    std::vector<AdministratorPage> administratorPages; // in tab order
    // Every results and preferences command; disabled as a whole in testing
    // mode, whatever a page sets on one of them meanwhile.
    QActionGroup *administratorCommands;
    bool administrator = false;
    int rememberedPage = 0;
};
