#include "StationMode.h"

#include "PasswordDialogs.h"
#include "Preferences.h"
#include "WindowActions.h"

#include <QAction>
#include <QTabWidget>

#include <algorithm>

StationMode::StationMode(QTabWidget &pages, WindowActions &actions) : pages(pages), actions(actions) {}

void StationMode::PageShown(int index)
{
    if (administrator && index >= 0)
        rememberedPage = index;
}

bool StationMode::Decide(QWidget *parent, const Preferences &prefs)
{
    if (!ProtectionInEffect(prefs) || AskPassword(parent, prefs.AdminPassword, AdminAccessNotice)) {
        EnterAdministrator();
        return true;
    }
    EnterTesting();
    return false;
}

void StationMode::EnterAdministrator()
{
    administrator = true;
    pages.setTabVisible(ResultsPageIndex, true);
    pages.setTabVisible(PreferencesPageIndex, true);
    actions.ShowResultsMenu(true);
    pages.setCurrentIndex(std::clamp(rememberedPage, 0, PreferencesPageIndex));
    actions.actFileAuthen->setEnabled(false);
}

void StationMode::EnterTesting()
{
    administrator = false;
    pages.setCurrentIndex(TestingPageIndex);
    HideAdministratorPages();
}

void StationMode::HideAdministratorPages()
{
    pages.setTabVisible(ResultsPageIndex, false);
    pages.setTabVisible(PreferencesPageIndex, false);
    actions.ShowResultsMenu(false);
}
