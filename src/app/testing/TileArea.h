#pragma once

#include "testing/ITestView.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

// The grey behind the tiles: fixed, so neither the theme's brightness and
// saturation nor its style sheet shift how the colours look.
inline const QColor TileBackground = QColor(128, 128, 128);

// A borderless colour tile without text: hand cursor, a tag, a click.
class ColourTile : public QWidget {
    Q_OBJECT
public:
    ColourTile(int tag, ColourValue colour, QWidget *parent);

    int Tag() const { return tag; }
    QColor Colour() const { return colour; }
    // The keyboard's frame: the tile Enter or Space would pick.
    bool FocusFrameShown() const { return focusFrame; }
    void ShowFocusFrame(bool shown);

signals:
    void clicked(int tag);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int tag;
    QColor colour;
    bool pressed = false;
    bool focusFrame = false;
};

// The test area (TePanel3): holds the registration, chooser and stimulus
// panels in its layout and the colour tiles on top, laid out side by side
// and laid out again whenever the area changes size.
//
// A click is a pick. The tiles are laid out anew after every pick, so the
// second click of a double-click would land on the tile that slid into
// place: a click within the double-click interval of the last pick, after
// the tiles were laid out again, is ignored.
//
// Without a mouse: while tiles are shown the area takes the keyboard, the
// arrow keys move a frame from tile to tile and Enter or Space picks the
// framed tile, under the same guard.
class TileArea : public QWidget {
    Q_OBJECT
public:
    // Milliseconds of a monotonic clock.
    using Clock = std::function<qint64()>;

    explicit TileArea(QWidget *parent = nullptr);

    // Tests fix the clock and the interval; by default the system's.
    void SetClock(Clock clock);
    // Negative: the platform's double-click interval.
    void SetDoubleClickInterval(int ms);

    void SetTiles(const std::vector<TileSpec> &tiles);
    void ClearTiles();
    QList<ColourTile *> Tiles() const;
    // The tile in the keyboard's frame, -1 when none.
    int FocusedTile() const;

signals:
    void tileClicked(int tag);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void LayOut();
    void TileClicked(int tag);
    void MoveFocusFrame(int index);

    QList<QPointer<ColourTile>> tiles;
    QElapsedTimer started;
    Clock clock;
    int doubleClickInterval = -1;
    qint64 lastPick = 0;
    bool picked = false;
    bool laidOutSincePick = false;
    int focusIndex = 0;
};
