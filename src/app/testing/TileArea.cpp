#include "app/testing/TileArea.h"

#include "qtkit/LightFrame.h"
#include "qtkit/QtColour.h"
#include "testing/TileLayout.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

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
    DrawLightFrame(painter, rect(), colour, TileBackground);
    if (focusFrame) {
        // Black and white together stand out on every tile colour.
        const int width = std::max(3, std::min(rect().width(), rect().height()) / 40);
        painter.setPen(QPen(Qt::black, width * 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(width, width, -width, -width));
        painter.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(rect().adjusted(width * 2 + width / 2, width * 2 + width / 2, -(width * 2 + width / 2),
                                         -(width * 2 + width / 2)));
    }
}

void ColourTile::ShowFocusFrame(bool shown)
{
    if (focusFrame == shown)
        return;
    focusFrame = shown;
    update();
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
    setFocusPolicy(Qt::NoFocus);
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
    setFocusPolicy(Qt::NoFocus);
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
    if (tiles.isEmpty())
        return;
    // The keyboard picks too: the area takes it while tiles are shown, and the
    // frame stays at its place (the tiles close up after a pick).
    setFocusPolicy(Qt::StrongFocus);
    if (isVisible())
        setFocus(Qt::OtherFocusReason);
    MoveFocusFrame(std::min(focusIndex, static_cast<int>(tiles.size()) - 1));
}

int TileArea::FocusedTile() const
{
    for (int i = 0; i < tiles.size(); ++i)
        if (tiles[i] && tiles[i]->FocusFrameShown())
            return i;
    return -1;
}

void TileArea::MoveFocusFrame(int index)
{
    focusIndex = std::clamp(index, 0, std::max(static_cast<int>(tiles.size()) - 1, 0));
    for (int i = 0; i < tiles.size(); ++i)
        if (tiles[i])
            tiles[i]->ShowFocusFrame(hasFocus() && i == focusIndex);
}

void TileArea::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    MoveFocusFrame(focusIndex);
}

void TileArea::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    MoveFocusFrame(focusIndex);
}

void TileArea::keyPressEvent(QKeyEvent *event)
{
    if (tiles.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        MoveFocusFrame(focusIndex - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        MoveFocusFrame(focusIndex + 1);
        break;
    case Qt::Key_Home:
        MoveFocusFrame(0);
        break;
    case Qt::Key_End:
        MoveFocusFrame(static_cast<int>(tiles.size()) - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // A held key repeats; only the first press is a pick.
        if (!event->isAutoRepeat() && focusIndex < tiles.size() && tiles[focusIndex])
            TileClicked(tiles[focusIndex]->Tag());
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

QList<ColourTile *> TileArea::Tiles() const
{
    QList<ColourTile *> live;
    for (const auto &tile : tiles)
        if (tile)
            live.append(tile);
    return live;
}

void TileArea::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (tiles.isEmpty())
        return; // the panels of the area keep the theme's look
    QPainter painter(this);
    painter.fillRect(rect(), TileBackground);
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
