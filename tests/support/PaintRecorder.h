#pragma once

// A paint device that keeps the texts painted onto it, each with where it
// landed in device units, so a test reads a drawn chart or page as a user
// would: which words and figures stand where.
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

#include <algorithm>
#include <vector>

struct PaintedText {
    QString Text;
    QPointF At; // the baseline's start, in device units
    QPointF End;
};

class PaintRecorder : public QPaintDevice {
public:
    explicit PaintRecorder(QSize size) : size(size), engine(this) {}
    ~PaintRecorder() override = default;

    QPaintEngine *paintEngine() const override { return &engine; }
    const std::vector<PaintedText> &Texts() const { return texts; }

    // The first text painted that equals `text`, or nullptr.
    const PaintedText *Find(const QString &text) const
    {
        const auto found =
            std::find_if(texts.begin(), texts.end(), [&](const PaintedText &t) { return t.Text == text; });
        return found == texts.end() ? nullptr : &*found;
    }

    // The texts inside the rectangle, read row by row (top to bottom, then
    // left to right; texts less than `rowTolerance` apart share a row).
    QStringList Reading(const QRectF &within, double rowTolerance = 2) const
    {
        std::vector<PaintedText> inside;
        for (const PaintedText &t : texts)
            if (within.contains(t.At))
                inside.push_back(t);
        std::sort(inside.begin(), inside.end(), [&](const PaintedText &a, const PaintedText &b) {
            if (std::abs(a.At.y() - b.At.y()) > rowTolerance)
                return a.At.y() < b.At.y();
            return a.At.x() < b.At.x();
        });
        QStringList reading;
        for (const PaintedText &t : inside)
            reading << t.Text;
        return reading;
    }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return size.width();
        case PdmHeight:
            return size.height();
        case PdmWidthMM:
            return size.width() * 254 / 960;
        case PdmHeightMM:
            return size.height() * 254 / 960;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(PaintRecorder *recorder) : QPaintEngine(AllFeatures), recorder(recorder) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPath(const QPainterPath &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawRects(const QRectF *, int) override {}
        void drawLines(const QLineF *, int) override {}
        void drawEllipse(const QRectF &) override {}
        // One line of text comes as an item per script run ("7А", " — n = 24"):
        // a run that starts where the last one ended joins it.
        void drawTextItem(const QPointF &at, const QTextItem &item) override
        {
            const QTransform transform = painter()->combinedTransform();
            const QPointF start = transform.map(at);
            const QPointF end = transform.map(at + QPointF(item.width(), 0));
            auto &texts = recorder->texts;
            if (!texts.empty() && QLineF(texts.back().End, start).length() < 0.5) {
                texts.back().Text += item.text();
                texts.back().End = end;
                return;
            }
            texts.push_back({item.text(), start, end});
        }
        Type type() const override { return User; }

    private:
        PaintRecorder *recorder;
    };

    QSize size;
    mutable Engine engine;
    std::vector<PaintedText> texts;
};
