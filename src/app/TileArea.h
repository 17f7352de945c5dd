#pragma once

#include "ITestView.h"

#include <QList>
#include <QPointer>
#include <QWidget>

// A borderless colour tile without text: hand cursor, a tag, a click.
class ColourTile : public QWidget {
    Q_OBJECT
public:
    ColourTile(int tag, ColourValue colour, QWidget *parent);

    int Tag() const { return tag; }
    QColor Colour() const { return colour; }

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
};

// The test area (TePanel3): holds the registration, chooser and stimulus
// panels in its layout and the colour tiles on top, laid out side by side
// and laid out again whenever the area changes size.
class TileArea : public QWidget {
    Q_OBJECT
public:
    explicit TileArea(QWidget *parent = nullptr);

    void SetTiles(const std::vector<TileSpec> &tiles);
    void ClearTiles();
    QList<ColourTile *> Tiles() const;

signals:
    void tileClicked(int tag);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void LayOut();

    QList<QPointer<ColourTile>> tiles;
};
