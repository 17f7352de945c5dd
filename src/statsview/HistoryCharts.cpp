#include "statsview/HistoryCharts.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

void setFontHeight(QPainter &painter, double height)
{
    QFont font = painter.font();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(height))));
    painter.setFont(font);
}

// The plot's frame: the font fitted to a session's slot, a margin on the
// left for the scale and room below for two lines of session label; x of a
// session in the middle of its slot.
struct Frame {
    std::size_t count = 1;
    double font = 10;
    QRectF plot;

    Frame(const QRectF &area, std::size_t steps) : count(std::max<std::size_t>(steps, 1))
    {
        const double slot = area.width() * 0.92 / static_cast<double>(count);
        font = std::max(6.0, std::min({area.height() * 0.045, slot / 6, area.width() * 0.02}));
        const double left = font * 2.2;
        plot = QRectF(area.left() + left, area.top() + font * 0.8, area.width() - left - font * 0.5,
                      area.height() - font * 0.8 - font * 3.8);
    }
    double X(std::size_t step) const
    {
        return plot.left() + (static_cast<double>(step) + 0.5) * plot.width() / static_cast<double>(count);
    }
    double SlotWidth() const { return plot.width() / static_cast<double>(count); }
};

void paintLabels(QPainter &painter, const Frame &frame, const QRectF &area, const QStringList &labels)
{
    painter.setPen(Qt::black);
    // Clear of the dots at the last position.
    const double top = frame.plot.bottom() + frame.font * 0.9;
    const double height = area.bottom() - top;
    for (std::size_t i = 0; i < frame.count; ++i) {
        const QString number = QString::number(i + 1);
        const QString label = static_cast<qsizetype>(i) < labels.size()
            ? number + QLatin1Char('\n') + labels[static_cast<qsizetype>(i)]
            : number;
        painter.drawText(QRectF(frame.X(i) - frame.SlotWidth() / 2, top, frame.SlotWidth(), height),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, label);
    }
}

} // namespace

void PaintColourTrack(QPainter &painter, const QRectF &area, const PersonHistory &history,
                      const SwatchColours &swatches, const QStringList &labels)
{
    painter.save();
    const Frame frame(area, history.Steps.size());
    const double rowHeight = frame.plot.height() / (StatColours - 1);
    const auto yOf = [&](int position) { return frame.plot.top() + (position - 1) * rowHeight; };
    setFontHeight(painter, frame.font);
    for (int p = 1; p <= StatColours; ++p) {
        painter.setPen(QPen(QColor(225, 225, 225), 0));
        painter.drawLine(QPointF(frame.plot.left(), yOf(p)), QPointF(frame.plot.right(), yOf(p)));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), yOf(p) - rowHeight / 2, frame.plot.left() - area.left() - 4, rowHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(p));
    }
    paintLabels(painter, frame, area, labels);
    const double width = std::max(1.5, std::min(rowHeight, frame.SlotWidth()) * 0.07);
    for (int c = 0; c < StatColours; ++c) {
        const QColor colour = swatches[static_cast<std::size_t>(c)];
        // A path per unbroken run of sessions with a choice.
        QPainterPath path;
        bool open = false;
        std::vector<QPointF> dots;
        for (std::size_t i = 0; i < history.Steps.size(); ++i) {
            const auto &positions = history.Steps[i].Positions;
            if (!positions) {
                open = false;
                continue;
            }
            const QPointF at(frame.X(i), yOf((*positions)[static_cast<std::size_t>(c)]));
            if (open)
                path.lineTo(at);
            else
                path.moveTo(at);
            open = true;
            dots.push_back(at);
        }
        // A dark edge keeps light colours (yellow, grey) visible on white.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(60, 60, 60), width + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
        painter.setPen(QPen(QColor(60, 60, 60), 1));
        painter.setBrush(colour);
        for (const QPointF &dot : dots)
            painter.drawEllipse(dot, width * 1.8, width * 1.8);
    }
    painter.restore();
}

void PaintIntensityTrack(QPainter &painter, const QRectF &area, const PersonHistory &history, const QStringList &labels)
{
    painter.save();
    const Frame frame(area, history.Steps.size());
    constexpr int top = IntensitySummary::MaxIntensity;
    const auto yOf = [&](double value) { return frame.plot.bottom() - value / top * frame.plot.height(); };
    setFontHeight(painter, frame.font);
    for (int v = 0; v <= top; v += 3) {
        painter.setPen(QPen(QColor(225, 225, 225), 0));
        painter.drawLine(QPointF(frame.plot.left(), yOf(v)), QPointF(frame.plot.right(), yOf(v)));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), yOf(v) - frame.font, frame.plot.left() - area.left() - 4, frame.font * 2),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    paintLabels(painter, frame, area, labels);
    painter.setPen(QPen(QColor(60, 60, 60), 0));
    painter.setBrush(QColor(200, 90, 0));
    for (std::size_t i = 0; i < history.Steps.size(); ++i) {
        const auto &intensity = history.Steps[i].Intensity;
        if (!intensity)
            continue;
        const double barWidth = frame.SlotWidth() * 0.5;
        const double y = yOf(*intensity);
        painter.drawRect(QRectF(frame.X(i) - barWidth / 2, y, barWidth, std::max(1.0, frame.plot.bottom() - y)));
    }
    painter.restore();
}
