#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QMenuBar;

// Runs an action when the user clicks the title of a menu in the menu bar;
// the menu still opens. Taken from the bar's own mouse presses: a menu's
// aboutToShow also fires when the keyboard opens it, which is no click. A
// click on the title of a menu already open only closes it (the open menu
// takes that press), so it does not run the action.
class MenuTitleClick : public QObject {
public:
    // Lives as long as the bar; the menu and the action may go first.
    MenuTitleClick(QMenuBar *bar, QMenu *menu, QAction *action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMenuBar *bar;
    QPointer<QMenu> menu;
    QPointer<QAction> action;
};
