#include "app/preferences/ScreenCheckPage.h"

#include "app/testing/TileArea.h"
#include "qtkit/QtColour.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Draws a row of swatches on the tiles' grey, each captioned below.
class SwatchRow : public QWidget {
public:
    SwatchRow(std::vector<QColor> colours, QStringList captions, QWidget *parent)
        : QWidget(parent), colours(std::move(colours)), captions(std::move(captions))
    {
        setMinimumHeight(110);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), TileBackground);
        const int n = static_cast<int>(colours.size());
        const int gap = 8;
        const int width = (this->width() - gap * (n + 1)) / std::max(n, 1);
        const int captionHeight = fontMetrics().height() + 4;
        painter.setPen(Qt::white);
        for (int i = 0; i < n; ++i) {
            const QRect swatch(gap + i * (width + gap), gap, width, height() - 2 * gap - captionHeight);
            painter.fillRect(swatch, colours[static_cast<std::size_t>(i)]);
            // A thin black edge: the middle grey is the background's own and
            // would otherwise not show at all.
            painter.setPen(Qt::black);
            painter.drawRect(swatch.adjusted(0, 0, -1, -1));
            painter.setPen(Qt::white);
            painter.drawText(QRect(swatch.left(), swatch.bottom() + 2, swatch.width(), captionHeight),
                             Qt::AlignHCenter | Qt::AlignTop, captions.value(i));
        }
    }

private:
    std::vector<QColor> colours;
    QStringList captions;
};

} // namespace

ScreenCheckPage::ScreenCheckPage(const ColourSet &colours, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ScreenCheckPage"));
    setWindowTitle(QStringLiteral("Проверка экрана"));
    auto *layout = new QVBoxLayout(this);

    std::vector<QColor> eight;
    QStringList eightNames;
    for (int colour = 0; colour < 8; ++colour) {
        eight.push_back(ToQColor(colours[static_cast<std::size_t>(ColourIndex(ColourTable::EightColour, colour + 1))]));
        eightNames << QString::fromStdString(ColourNames[static_cast<std::size_t>(colour)]);
    }
    layout->addWidget(new QLabel(QStringLiteral("Цвета теста"), this));
    auto *eightRow = new SwatchRow(eight, eightNames, this);
    eightRow->setObjectName(QStringLiteral("screenCheckColours"));
    layout->addWidget(eightRow, 2);

    std::vector<QColor> greys;
    QStringList greyCaptions;
    for (int value : GreySteps()) {
        greys.push_back(QColor(value, value, value));
        greyCaptions << QString::number(value);
    }
    layout->addWidget(new QLabel(QStringLiteral("Ступени серого"), this));
    auto *greyRow = new SwatchRow(greys, greyCaptions, this);
    greyRow->setObjectName(QStringLiteral("screenCheckGreys"));
    layout->addWidget(greyRow, 1);

    auto *advice = new QLabel(Advice(), this);
    advice->setObjectName(QStringLiteral("screenCheckAdvice"));
    advice->setWordWrap(true);
    advice->setTextFormat(Qt::PlainText);
    layout->addWidget(advice);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 560);
}

const std::vector<int> &ScreenCheckPage::GreySteps()
{
    static const std::vector<int> steps = {0, 16, 32, 64, 96, 128, 160, 192, 224, 240, 255};
    return steps;
}

QString ScreenCheckPage::Advice()
{
    return QStringLiteral(
        "Как проверить экран перед тестированием:\n"
        "• Все ступени серого должны различаться между собой, в том числе самые темные (0, 16, 32) и самые "
        "светлые (224, 240, 255). Если темные ступени сливаются, увеличьте яркость монитора; если сливаются "
        "светлые, уменьшите контрастность.\n"
        "• Серые ступени не должны иметь заметного цветного оттенка. Оттенок говорит о неверной цветовой "
        "температуре или настройке цвета монитора: выберите стандартный режим (sRGB) в меню монитора.\n"
        "• Цвета теста должны выглядеть чистыми и отчетливо отличаться друг от друга; синий не должен казаться "
        "фиолетовым, а коричневый — серым.\n"
        "• Отключите ночной режим, фильтр синего света и режимы энергосбережения, меняющие яркость. Избегайте "
        "бликов и прямого света на экране; освещение комнаты должно быть ровным.\n"
        "• Проверяйте экран при том же освещении, при котором будет проходить тестирование.");
}
