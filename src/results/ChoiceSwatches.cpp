#include "results/ChoiceSwatches.h"

#include "interpretation/FullTestGrid.h"
#include "qtkit/QtColour.h"
#include "results/SwatchPanel.h"
#include "testing/TestKinds.h"

#include <algorithm>

namespace {
// Row captions of the full-test grid end short of its first column.
constexpr int RowCaptionWidth = 87;

QColor colourOf(const ColourSet &colours, ColourTable table, int entry)
{
    return ToQColor(colours[static_cast<std::size_t>(ColourIndex(table, entry))]);
}

QString text(const std::string &utf8) { return QString::fromStdString(utf8); }
} // namespace

void DrawEightColourChoice(SwatchPanel &panel, const TCLTSession &session, int choice, const ColourSet &colours)
{
    panel.ClearDrawing();
    if (choice == 2 && session.TestKind == KindEightOnce)
        return;
    const int w = (panel.width() - 45) / 8;
    const int h = panel.height() - 55;
    const int top = 5;
    for (int k = 1; k <= 8; ++k) {
        const int tag = session.Choice[choice][k];
        // A position never picked (or a damaged record) draws nothing.
        if (tag < 1 || tag > 8)
            continue;
        const int left = (w + 5) * (k - 1) + 5;
        const int centre = left + w / 2;
        panel.AddSwatch(QRect(left, top, w, h), colourOf(colours, ColourTable::EightColour, tag));
        panel.AddCaption(centre - 2, top + h + 3, QString::number(tag - 1));
        const int mark = session.AcMark[choice][k];
        if (mark == 1 || mark == 2)
            panel.AddCaption(centre - 2, top + h + 18, mark == 1 ? QStringLiteral("A") : QStringLiteral("C"));
        const int weight = std::min(session.AcWeight[choice][k], 8);
        if (weight > 0)
            panel.AddCaption(centre - weight, top + h + 33, QString(weight, QLatin1Char('!')));
    }
}

void DrawFullTestGrid(SwatchPanel &panel, const TCLTSession &session, const ColourSet &colours)
{
    panel.ClearDrawing();
    const FullTestGridCaptions captions = FullTestGridCaptionsOf(session);
    const int w = (panel.width() - 117) / 4;
    const int swatchHeight = 15;
    auto columnLeft = [w](int c) { return (w + 5) * (c - 1) + 97; };
    auto centred = [w, &columnLeft](int c) { return columnLeft(c) + w / 2 - 2; };

    panel.AddCaption(4, 7, QStringLiteral("Серые цвета"), false, RowCaptionWidth);
    const int greyColumns[3] = {1, 2, 4};
    for (int i = 1; i <= 3; ++i) {
        const std::string &caption = captions.Greys[static_cast<std::size_t>(i - 1)];
        if (caption.empty())
            continue;
        const int left = columnLeft(greyColumns[i - 1]);
        panel.AddSwatch(QRect(left, 7, w, swatchHeight),
                        colourOf(colours, ColourTable::Achromatic, session.AchromaticChoice[i]));
        panel.AddCaption(left + w / 3, 7 + swatchHeight + 3, text(caption));
    }

    for (int c = 1; c <= 4; ++c)
        panel.AddCaption(centred(c), 43, text(ShadeLetters[static_cast<std::size_t>(c - 1)]));

    const QString tableCaptions[5] = {QStringLiteral("Основные цвета"), QStringLiteral("Синие цвета"),
                                      QStringLiteral("Зеленые цвета"), QStringLiteral("Желтые цвета"),
                                      QStringLiteral("Красные цвета")};
    for (int t = 1; t <= 5; ++t) {
        const int top = 62 + 35 * (t - 1);
        panel.AddCaption(4, top, tableCaptions[t - 1], false, RowCaptionWidth);
        for (int c = 1; c <= 4; ++c) {
            const int left = columnLeft(c);
            panel.AddSwatch(QRect(left, top, w, swatchHeight), colourOf(colours, FourColourTable(t), c));
            panel.AddCaption(left + w / 2 - 2, top + swatchHeight + 3, QString::number(session.PairWins[t][c]));
        }
    }

    const int scoreTop = 245;
    const int normTop = scoreTop + 23;
    const int cubeTop = normTop + 23;
    panel.AddCaption(4, scoreTop, QStringLiteral("Сумма С+З+Ж+К"), false, RowCaptionWidth);
    panel.AddCaption(4, normTop, QStringLiteral("Норма"), false, RowCaptionWidth);
    panel.AddCaption(4, cubeTop, QStringLiteral("Позиции куба"), false, RowCaptionWidth);
    for (int c = 1; c <= 4; ++c) {
        const auto at = static_cast<std::size_t>(c - 1);
        panel.AddCaption(centred(c), scoreTop, text(captions.Scores[at]));
        // The norms sit on their own, slightly narrower pitch.
        panel.AddCaption((w + 4) * (c - 1) + 97 + w / 2 - 4, normTop, text(captions.Norms[at]));
        panel.AddCaption(centred(c), cubeTop, text(captions.Positions[at]));
    }
}
