#include "results/ResultsSplitter.h"

ResultsSplitter::ResultsSplitter(QWidget *listArea, QWidget *tabs, QWidget *parent)
    : QSplitter(Qt::Vertical, parent), tabs(tabs)
{
    setObjectName(QStringLiteral("listSplitter"));
    setChildrenCollapsible(false);
    addWidget(listArea);
    addWidget(tabs);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);
}

void ResultsSplitter::SetTabHeight(int height)
{
    pendingTabHeight = height;
    applyPendingTabHeight();
}

int ResultsSplitter::TabHeight() const { return pendingTabHeight > 0 ? pendingTabHeight : tabs->height(); }

void ResultsSplitter::applyPendingTabHeight()
{
    // An exact height can be given only once the splitter has its own size.
    const int total = height();
    if (pendingTabHeight <= 0 || !isVisible() || total <= pendingTabHeight)
        return;
    setSizes({total - pendingTabHeight - handleWidth(), pendingTabHeight});
    pendingTabHeight = -1;
}

void ResultsSplitter::resizeEvent(QResizeEvent *event)
{
    QSplitter::resizeEvent(event);
    applyPendingTabHeight();
}
