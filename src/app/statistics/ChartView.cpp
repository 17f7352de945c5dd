#include "app/statistics/ChartView.h"

#include "qtkit/AtomicFile.h"
#include "qtkit/UserDialogs.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>

ChartView::ChartView(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(240, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *save = new QAction(QStringLiteral("Сохранить рисунок в PNG..."), this);
    save->setObjectName(QStringLiteral("actChartSavePng"));
    connect(save, &QAction::triggered, this, &ChartView::SavePng);
    addAction(save);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

QImage ChartView::Picture() const
{
    if (!paint)
        return {};
    constexpr int scale = 2;
    QImage image(size() * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.setFont(font());
    paint(painter, QRectF(rect()).adjusted(8, 8, -8, -8));
    return image;
}

bool ChartView::SavePng()
{
    const QImage image = Picture();
    if (image.isNull())
        return false;
    const QString path = AskSavePath(this, QStringLiteral("Сохранить рисунок"), QStringLiteral("Рисунки PNG (*.png)"),
                                     QStringLiteral(".png"));
    if (path.isEmpty())
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error = QStringLiteral("не удалось построить рисунок");
    if (image.save(&buffer, "PNG") && WriteFileAtomically(path, bytes, &error))
        return true;
    UserDialogs::Current().ShowWarning(this,
                                       QStringLiteral("Невозможно записать файл ") + QDir::toNativeSeparators(path)
                                           + QStringLiteral("\r\n") + error);
    return false;
}

void ChartView::SetPaint(Paint value)
{
    paint = std::move(value);
    update();
}

void ChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!paint)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    paint(painter, QRectF(rect()).adjusted(8, 8, -8, -8));
}

// A chart's title over it; the rest of the area is the chart's.
QRectF PaintChartTitle(QPainter &painter, const QRectF &area, const QString &title)
{
    const double height = painter.fontMetrics().height() * 1.5;
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), height), Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(title, Qt::ElideRight, static_cast<int>(area.width())));
    return area.adjusted(0, height, 0, 0);
}

// Which marker is which group, in one line over the chart.
QRectF PaintChartLegend(QPainter &painter, const QRectF &area, const std::vector<ChartGroup> &groups)
{
    const double height = painter.fontMetrics().height() * 1.4;
    double x = area.left();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const double radius = height * 0.22;
        painter.setPen(Qt::NoPen);
        painter.setBrush(GroupMarkerColour(g));
        painter.drawEllipse(QPointF(x + radius, area.top() + height / 2), radius, radius);
        x += radius * 2 + 6;
        painter.setPen(Qt::black);
        const double width = painter.fontMetrics().horizontalAdvance(groups[g].Label) + 18;
        painter.drawText(QRectF(x, area.top(), width, height), Qt::AlignLeft | Qt::AlignVCenter, groups[g].Label);
        x += width;
    }
    return area.adjusted(0, height, 0, 0);
}
