#include "app/testing/ColourSwatchPanel.h"

#include "qtkit/QtColour.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

QString ColourSwatchPanel::PanelName(ColourTable table)
{
    switch (table) {
    case ColourTable::EightColour:
        return QStringLiteral("panelUsedColors");
    case ColourTable::Achromatic:
        return QStringLiteral("panelUsedBWColors");
    case ColourTable::Main:
        return QStringLiteral("panelUsedColors1");
    case ColourTable::Blue:
        return QStringLiteral("panelUsedColors2");
    case ColourTable::Green:
        return QStringLiteral("panelUsedColors3");
    case ColourTable::Yellow:
        return QStringLiteral("panelUsedColors4");
    case ColourTable::Red:
        return QStringLiteral("panelUsedColors5");
    }
    return {};
}

ColourSwatchPanel::ColourSwatchPanel(ColourTable table, QWidget *parent) : QWidget(parent), table(table)
{
    setObjectName(PanelName(table));
    setMinimumHeight(78);
    caption = new QLabel(QString::fromStdString(TableCaption(table)), this);
    caption->move(5, 3);
    for (int entry = 1; entry <= TableSize(table); ++entry) {
        auto *swatch = new QFrame(this);
        swatch->setObjectName(QStringLiteral("swatch%1").arg(entry));
        swatch->setFrameShape(QFrame::NoFrame);
        swatch->setAutoFillBackground(true);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->installEventFilter(this);
        swatch->setToolTip(QStringLiteral("Щелкните, чтобы выбрать другой цвет"));
        swatches.push_back(swatch);
        auto *label = new QLabel(QString::fromStdString(SwatchLabel(table, entry)), this);
        labels.push_back(label);
    }
}

QRect ColourSwatchPanel::SwatchRect(int swatchCount, int k, int panelWidth, int panelHeight)
{
    int width = 0;
    if (swatchCount == 8)
        width = (panelWidth - 45) / 8;
    else if (swatchCount == 5)
        width = (panelWidth - 30) / 5;
    else
        width = (panelWidth - 25) / 4;
    return QRect(5 + k * (width + 5), 22, std::max(width, 1), std::max(panelHeight - 42, 1));
}

QSize ColourSwatchPanel::minimumSizeHint() const
{
    // The caption stands 5 pixels in from the left; as much room on the right.
    return {caption->sizeHint().width() + 10, minimumHeight()};
}

void ColourSwatchPanel::LayOut()
{
    caption->adjustSize();
    const int count = static_cast<int>(swatches.size());
    for (int k = 0; k < count; ++k) {
        const QRect rect = SwatchRect(count, k, width(), height());
        swatches[static_cast<std::size_t>(k)]->setGeometry(rect);
        QLabel *label = labels[static_cast<std::size_t>(k)];
        label->adjustSize();
        label->move(rect.center().x() + 1 - 2, rect.bottom() + 1 + 3);
    }
}

void ColourSwatchPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

bool ColourSwatchPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        for (std::size_t i = 0; i < swatches.size(); ++i) {
            if (watched == swatches[i] && mouse->button() == Qt::LeftButton) {
                emit SwatchClicked(table, static_cast<int>(i) + 1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ColourSwatchPanel::ShowColours(const ColourSet &colours)
{
    for (std::size_t i = 0; i < swatches.size(); ++i) {
        const ColourValue value = colours[static_cast<std::size_t>(ColourIndex(table, static_cast<int>(i) + 1))];
        QPalette palette = swatches[i]->palette();
        palette.setColor(QPalette::Window, ToQColor(value));
        swatches[i]->setPalette(palette);
        swatches[i]->update();
    }
}

QWidget *ColourSwatchPanel::Swatch(int entry) const
{
    if (entry < 1 || entry > static_cast<int>(swatches.size()))
        return nullptr;
    return swatches[static_cast<std::size_t>(entry - 1)];
}

QColor ColourSwatchPanel::SwatchColour(int entry) const
{
    const QWidget *swatch = Swatch(entry);
    return swatch ? swatch->palette().color(QPalette::Window) : QColor();
}
