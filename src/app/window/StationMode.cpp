#include "app/window/StationMode.h"

#include "app/preferences/PasswordDialogs.h"
#include "app/preferences/Preferences.h"
#include "app/window/WindowActions.h"

#include <QAction>
#include <QActionGroup>
#include <QTabWidget>

#include <algorithm>

StationMode::StationMode(QTabWidget &pages, WindowActions &actions)
    : pages(pages), actions(actions), administratorCommands(new QActionGroup(&pages))
{
    for (int index = TestingPageIndex + 1; index < pages.count(); ++index)
        administratorPages.push_back({pages.widget(index), pages.tabText(index)});
    administratorCommands->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction *action : {actions.actResultsCopy, actions.actResultsExportMSWord, actions.actResultsSave,
                            actions.actResultsPreview, actions.actResultsPrint, actions.actResultsSendEMail,
                            actions.actResultsDelete, actions.actResultsFilter, actions.actResultsShowAll})
        LockWithAdministratorPages(action);
    for (const AdministratorPage &page : administratorPages)
        for (QAction *action : page.Page->findChildren<QAction *>())
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
    int index = TestingPageIndex;
    for (const AdministratorPage &page : administratorPages) {
        if (pages.indexOf(page.Page) < 0)
            pages.insertTab(index + 1, page.Page, page.Title);
        index = pages.indexOf(page.Page);
        page.Page->setEnabled(true);
    }
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
    for (auto page = administratorPages.rbegin(); page != administratorPages.rend(); ++page) {
        const int index = pages.indexOf(page->Page);
        if (index >= 0)
            pages.removeTab(index);
        // Out of the tab widget the page stays a hidden child; disabled, it
        // takes no focus and no shortcut either.
        page->Page->hide();
        page->Page->setEnabled(false);
    }
    actions.ShowResultsMenu(false);
}
