#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

// A panel of plain filled rectangles and small captions placed at exact
// pixel positions. Everything drawn is kept as a list, so one paint pass
// shows it and a redraw replaces it completely.
class SwatchPanel : public QWidget {
    Q_OBJECT
public:
    struct Swatch {
        QRect Rect;
        QColor Colour;
    };
    struct Caption {
        QPoint TopLeft;
        QString Text;
        bool Bold = false;
        int MaxWidth = 0; // above 0: a wider text is drawn smaller to fit
    };

    explicit SwatchPanel(QWidget *parent = nullptr);

    void ClearDrawing();
    void AddSwatch(const QRect &rect, const QColor &colour);
    void AddCaption(int left, int top, const QString &text, bool bold = false, int maxWidth = 0);

    const std::vector<Swatch> &Swatches() const { return swatches; }
    const std::vector<Caption> &Captions() const { return captions; }
    bool IsEmpty() const { return swatches.empty() && captions.empty(); }
    // The caption found at that place, or nullptr.
    const Caption *CaptionAt(int left, int top) const;

signals:
    // The drawing follows the width, so its owner redraws on this.
    void widthChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    std::vector<Swatch> swatches;
    std::vector<Caption> captions;
};
