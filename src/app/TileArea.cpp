#include "TileArea.h"

#include "LightFrame.h"
#include "QtColour.h"
#include "TileLayout.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

ColourTile::ColourTile(int tagValue, ColourValue value, QWidget *parent)
    : QWidget(parent), tag(tagValue), colour(ToQColor(value))
{
    setObjectName(QStringLiteral("ColourTile"));
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ColourTile::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), colour);
    const QWidget *page = parentWidget() ? parentWidget() : this;
    DrawLightFrame(painter, rect(), colour, page->palette().color(page->backgroundRole()));
}

void ColourTile::mousePressEvent(QMouseEvent *event) { pressed = event->button() == Qt::LeftButton; }

void ColourTile::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed = false;
    if (click)
        emit clicked(tag); // may remove this very tile; it is only deleted later
}

TileArea::TileArea(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TePanel3"));
    started.start();
    clock = [this] { return started.elapsed(); };
}

void TileArea::SetClock(Clock value)
{
    clock = value ? std::move(value) : Clock([this] { return started.elapsed(); });
}

void TileArea::SetDoubleClickInterval(int ms) { doubleClickInterval = ms; }

void TileArea::TileClicked(int tag)
{
    const qint64 now = clock();
    const int interval = doubleClickInterval >= 0 ? doubleClickInterval : QApplication::doubleClickInterval();
    if (picked && laidOutSincePick && now - lastPick < interval)
        return;
    picked = true;
    lastPick = now;
    laidOutSincePick = false;
    emit tileClicked(tag);
}

void TileArea::ClearTiles()
{
    for (const auto &tile : tiles)
        if (tile) {
            tile->hide();
            tile->disconnect(this);
            // The click that removes the tiles is still being delivered to one of them.
            tile->deleteLater();
        }
    tiles.clear();
}

void TileArea::SetTiles(const std::vector<TileSpec> &specs)
{
    ClearTiles();
    for (const auto &spec : specs) {
        auto *tile = new ColourTile(spec.Tag, spec.Colour, this);
        connect(tile, &ColourTile::clicked, this, &TileArea::TileClicked);
        tiles.append(tile);
    }
    laidOutSincePick = true;
    LayOut();
    for (const auto &tile : tiles) {
        tile->show();
        tile->raise();
    }
}

QList<ColourTile *> TileArea::Tiles() const
{
    QList<ColourTile *> live;
    for (const auto &tile : tiles)
        if (tile)
            live.append(tile);
    return live;
}

void TileArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void TileArea::LayOut()
{
    const auto rects = LayOutTileRects(static_cast<int>(tiles.size()), width(), height());
    for (int i = 0; i < tiles.size(); ++i)
        if (tiles[i]) {
            const TileRect &r = rects[static_cast<size_t>(i)];
            tiles[i]->setGeometry(r.Left, r.Top, r.Width, r.Height);
        }
}
