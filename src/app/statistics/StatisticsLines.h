#pragma once

#include "core/ResultsFilter.h"
#include "statistics/SelectionReader.h"

#include <QString>

#include <optional>
#include <string>

// The statistics page's words, apart from its widgets.

// The list's filter in words, for the page and its printed pages; with
// group, the same filter for that group.
QString SelectionText(const std::optional<ResultsFilter> &filter, const std::string *group,
                      const QString &decimalSeparator);

// The tests of the figures shown in plain Russian, a line each, with the
// files that could not be read and a caution on what group figures say.
QString StatisticsTestsText(const StatisticsResult &shown, const QString &decimalSeparator);
