#include "results/FlowLayout.h"

#include <QWidget>

#include <algorithm>

FlowLayout::FlowLayout(QWidget *parent, int spacing) : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(spacing);
}

FlowLayout::~FlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void FlowLayout::addItem(QLayoutItem *item) { items.append(item); }

int FlowLayout::count() const { return static_cast<int>(items.size()); }

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return index >= 0 && index < items.size() ? items.at(index) : nullptr;
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    return index >= 0 && index < items.size() ? items.takeAt(index) : nullptr;
}

Qt::Orientations FlowLayout::expandingDirections() const { return {}; }

bool FlowLayout::hasHeightForWidth() const { return true; }

int FlowLayout::heightForWidth(int width) const { return arrange(QRect(0, 0, width, 0), false); }

QSize FlowLayout::minimumSize() const
{
    // The widest single item: anything narrower could not show it whole.
    QSize size;
    for (const QLayoutItem *item : items)
        size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const
{
    // One row of everything.
    int width = 0;
    int height = 0;
    for (const QLayoutItem *item : items) {
        if (item->isEmpty())
            continue;
        width += item->sizeHint().width() + (width > 0 ? spacing() : 0);
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins m = contentsMargins();
    return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect &rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    // Items of one row share its height; each is centred vertically in it.
    QList<QPair<QLayoutItem *, QPoint>> row;
    auto flushRow = [&] {
        if (apply)
            for (const auto &[item, at] : row) {
                const QSize size = item->sizeHint();
                item->setGeometry(QRect(QPoint(at.x(), at.y() + (rowHeight - size.height()) / 2), size));
            }
        row.clear();
    };
    for (QLayoutItem *item : items) {
        if (item->isEmpty())
            continue;
        const QSize size = item->sizeHint();
        if (x > area.x() && x + size.width() > area.right() + 1) {
            flushRow();
            x = area.x();
            y += rowHeight + spacing();
            rowHeight = 0;
        }
        row.append({item, QPoint(x, y)});
        x += size.width() + spacing();
        rowHeight = std::max(rowHeight, size.height());
    }
    flushRow();
    const QMargins m = contentsMargins();
    return y + rowHeight - rect.y() + m.bottom();
}
