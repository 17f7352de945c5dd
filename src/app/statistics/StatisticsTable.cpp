#include "app/statistics/StatisticsTable.h"

#include "statistics/StatisticsText.h"
#include "testing/ColourTables.h"

#include <QHeaderView>
#include <QIcon>
#include <QPixmap>
#include <QTableWidget>

namespace {

QString qs(const std::string &utf8) { return QString::fromStdString(utf8); }

enum Column {
    ColourColumn,
    GroupColumn,
    NColumn,
    MeanColumn,
    MedianColumn,
    QuartilesColumn,
    IqrColumn,
    PlusColumn,
    MinusColumn,
    ColumnCount
};

} // namespace

void SetUpStatisticsTable(QTableWidget &table)
{
    table.setColumnCount(ColumnCount);
    table.setObjectName(QStringLiteral("gridStatistics"));
    table.setHorizontalHeaderLabels({QStringLiteral("Цвет"), QStringLiteral("Группа"), QStringLiteral("n"),
                                     QStringLiteral("Среднее"), QStringLiteral("Медиана"), QStringLiteral("Квартили"),
                                     QStringLiteral("МКР"), QStringLiteral("1–2, %"), QStringLiteral("7–8, %")});
    table.horizontalHeaderItem(MeanColumn)->setToolTip(QStringLiteral("Средняя позиция цвета (1 — самый приятный)"));
    table.horizontalHeaderItem(IqrColumn)->setToolTip(QStringLiteral("Межквартильный размах позиции"));
    table.horizontalHeaderItem(PlusColumn)->setToolTip(QStringLiteral("Доля поставивших цвет на позиции 1–2"));
    table.horizontalHeaderItem(MinusColumn)->setToolTip(QStringLiteral("Доля поставивших цвет на позиции 7–8"));
    table.verticalHeader()->setVisible(false);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setWordWrap(false);
}

void FillStatisticsTable(QTableWidget &table, const StatisticsOutput &output, const QString &versusGroup,
                         const SwatchColours &swatches, const QString &decimalSeparator)
{
    const std::string separator = decimalSeparator.toStdString();
    std::vector<std::pair<const GroupStatistics *, QString>> groups{{&output.Group, QStringLiteral("список")}};
    if (output.Versus)
        groups.emplace_back(&*output.Versus, versusGroup);
    table.setColumnHidden(GroupColumn, groups.size() < 2);
    table.setRowCount(static_cast<int>(StatColours * groups.size()));
    int row = 0;
    for (int c = 0; c < StatColours; ++c) {
        for (std::size_t g = 0; g < groups.size(); ++g, ++row) {
            const ColourSummary &s = groups[g].first->Colours[static_cast<std::size_t>(c)];
            const auto set = [&](int column, const QString &text) {
                auto *item = new QTableWidgetItem(text);
                item->setTextAlignment(column <= GroupColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                             : Qt::AlignRight | Qt::AlignVCenter);
                table.setItem(row, column, item);
                return item;
            };
            QTableWidgetItem *colour = set(ColourColumn, QStringLiteral("%1 %2").arg(c).arg(qs(ColourName(c))));
            QPixmap swatch(14, 14);
            swatch.fill(swatches[static_cast<std::size_t>(c)]);
            colour->setIcon(QIcon(swatch));
            set(GroupColumn, groups[g].second)->setForeground(GroupMarkerColour(g));
            set(NColumn, QString::number(s.N));
            set(MeanColumn, qs(FigureText(s.MeanPosition, 2, separator)));
            set(MedianColumn, qs(FigureText(s.MedianPosition, 1, separator)));
            set(QuartilesColumn,
                qs(FigureText(s.LowerQuartile, 1, separator) + "–" + FigureText(s.UpperQuartile, 1, separator)));
            set(IqrColumn, qs(FigureText(s.InterquartileRange, 1, separator)));
            set(PlusColumn, qs(FigureText(s.PlusShare * 100, 1, separator)));
            set(MinusColumn, qs(FigureText(s.MinusShare * 100, 1, separator)));
        }
    }
    table.resizeColumnsToContents();
}
