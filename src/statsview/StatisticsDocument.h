#pragma once

#include "statsview/StatisticsCharts.h"

#include <QByteArray>
#include <QPagedPaintDevice>
#include <QString>

class QPainter;

// The statistics as printed pages: figures, tests in words, heat map and
// position chart. The same pages go to the printer, to a PDF and, one by
// one, to PNG images.
struct StatisticsDocumentText {
    QString Selection;        // what the first group is ("Группа: 7А")
    QString VersusSelection;  // the second group, empty without one
    QString DecimalSeparator; // the user's
};

int StatisticsPageCount(const StatisticsOutput &output);

// Paints page `index` (from 0) into `page`; logical units, any device.
void PaintStatisticsPage(QPainter &painter, const QRectF &page, int index, const StatisticsOutput &output,
                         const StatisticsDocumentText &text, const SwatchColours &swatches);

// Every page onto a paged device (printer, PDF writer), A4 portrait.
void PrintStatistics(QPagedPaintDevice &device, const StatisticsOutput &output, const StatisticsDocumentText &text,
                     const SwatchColours &swatches);

QByteArray StatisticsPdfBytes(const StatisticsOutput &output, const StatisticsDocumentText &text,
                              const SwatchColours &swatches);

// Written whole or not at all.
bool WriteStatisticsPdf(const StatisticsOutput &output, const StatisticsDocumentText &text,
                        const SwatchColours &swatches, const QString &path, QString *error = nullptr);
