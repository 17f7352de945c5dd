#pragma once

#include "statsview/StatisticsCharts.h"

#include <QString>

class QTableWidget;

// The statistics page's table: a row per colour and group, the groups of a
// colour together so they read side by side. The group column shows only
// while two groups are compared.
void SetUpStatisticsTable(QTableWidget &table);
void FillStatisticsTable(QTableWidget &table, const StatisticsOutput &output, const QString &versusGroup,
                         const SwatchColours &swatches, const QString &decimalSeparator);
