#pragma once

class QTabWidget;
class QWidget;
struct Preferences;
struct WindowActions;

// The two modes of the station. In testing mode only the testing page is
// there; administrator mode adds the results and preferences pages and the
// results menu, and comes back to the page last shown.
class StationMode {
public:
    static constexpr int TestingPageIndex = 0;
    static constexpr int ResultsPageIndex = 1;
    static constexpr int PreferencesPageIndex = 2;

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

private:
    QTabWidget &pages;
    WindowActions &actions;
    bool administrator = false;
    int rememberedPage = 0;
};
