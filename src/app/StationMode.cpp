#include "StationMode.h"

#include "PasswordDialogs.h"
#include "Preferences.h"
#include "WindowActions.h"

#include <QAction>
#include <QActionGroup>
#include <QTabWidget>

#include <algorithm>

StationMode::StationMode(QTabWidget &pages, WindowActions &actions)
    : pages(pages), actions(actions), resultsPage(pages.widget(ResultsPageIndex)),
      preferencesPage(pages.widget(PreferencesPageIndex)), resultsTitle(pages.tabText(ResultsPageIndex)),
      preferencesTitle(pages.tabText(PreferencesPageIndex)), administratorCommands(new QActionGroup(&pages))
{
    administratorCommands->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction *action : {actions.actResultsCopy, actions.actResultsExportMSWord, actions.actResultsSave,
                            actions.actResultsPreview, actions.actResultsPrint, actions.actResultsSendEMail,
                            actions.actResultsDelete, actions.actResultsFilter, actions.actResultsShowAll})
        LockWithAdministratorPages(action);
    for (QWidget *page : {resultsPage, preferencesPage})
        if (page)
            for (QAction *action : page->findChildren<QAction *>())
                LockWithAdministratorPages(action);
}

void StationMode::LockWithAdministratorPages(QAction *action)
{
    if (action && !action->actionGroup())
        administratorCommands->addAction(action);
}

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
    if (resultsPage && pages.indexOf(resultsPage) < 0)
        pages.insertTab(ResultsPageIndex, resultsPage, resultsTitle);
    if (preferencesPage && pages.indexOf(preferencesPage) < 0)
        pages.insertTab(PreferencesPageIndex, preferencesPage, preferencesTitle);
    for (QWidget *page : {resultsPage, preferencesPage})
        if (page)
            page->setEnabled(true);
    administratorCommands->setEnabled(true);
    actions.ShowResultsMenu(true);
    pages.setCurrentIndex(std::clamp(rememberedPage, 0, pages.count() - 1));
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
    administratorCommands->setEnabled(false);
    for (QWidget *page : {preferencesPage, resultsPage}) {
        if (!page)
            continue;
        const int index = pages.indexOf(page);
        if (index >= 0)
            pages.removeTab(index);
        // Out of the tab widget the page stays a hidden child; disabled, it
        // takes no focus and no shortcut either.
        page->hide();
        page->setEnabled(false);
    }
    actions.ShowResultsMenu(false);
}
