#include "app/window/MenuTitleClick.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

MenuTitleClick::MenuTitleClick(QMenuBar *bar, QMenu *menu, QAction *action)
    : QObject(bar), bar(bar), menu(menu), action(action)
{
    bar->installEventFilter(this);
}

bool MenuTitleClick::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == bar && event->type() == QEvent::MouseButtonPress && menu && action) {
        const auto *press = static_cast<QMouseEvent *>(event);
        QAction *title = menu->menuAction();
        if (press->button() == Qt::LeftButton && title->isVisible() && title->isEnabled()
            && bar->actionAt(press->position().toPoint()) == title)
            action->trigger();
    }
    return false; // the bar opens the menu as always
}
