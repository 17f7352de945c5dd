#pragma once

#include "core/TCLTSession.h"

#include <array>
#include <string>
#include <string_view>

// Population shares by intensity 0..12: row 0 the share with exactly that
// intensity (tenths of a percent), row 1 the share with a lower intensity
// ("лучше") and row 2 the share with a higher one ("хуже"), both in
// hundredths of a percent.
extern const std::array<std::array<int, 13>, 3> IntensityStatistics;

// The three shares of an intensity as shown, e.g. "25,9", "0", "74,1";
// an intensity outside 0..12 gives empty texts.
std::array<std::string, 3> IntensityShares(int intensity, std::string_view decimalSeparator);

// The findings computed by rule from the marks (MarkAnxietyCompensation must
// have run). Reads the session only.
std::string BuildAdditionalFindings(const TCLTSession &session, std::string_view decimalSeparator);
