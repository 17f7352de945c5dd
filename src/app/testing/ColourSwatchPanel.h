#pragma once

#include "testing/ColourTables.h"

#include <QWidget>

#include <vector>

class QFrame;
class QLabel;

// One row of colour swatches for a colour table, laid out by fixed rules so
// the swatches keep their proportions whatever the panel's size.
class ColourSwatchPanel : public QWidget {
    Q_OBJECT
public:
    ColourSwatchPanel(ColourTable table, QWidget *parent = nullptr);
    ColourTable Table() const { return table; }
    // Paints the swatches from the colours in effect.
    void ShowColours(const ColourSet &colours);
    QWidget *Swatch(int entry) const; // entry 1..size
    QColor SwatchColour(int entry) const;

    // Left, width, top and height of swatch k (0-based) in a panel of the given size.
    static QRect SwatchRect(int swatchCount, int k, int panelWidth, int panelHeight);
    // Object name of the panel of a table.
    static QString PanelName(ColourTable table);

    // Never narrower than the table's caption, so the caption is whole.
    QSize minimumSizeHint() const override;

signals:
    void SwatchClicked(ColourTable table, int entry);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void LayOut();

    ColourTable table;
    QLabel *caption;
    std::vector<QFrame *> swatches;
    std::vector<QLabel *> labels;
};
