#pragma once

#include "statistics/GroupComparison.h"

#include <string>

// The test results in plain Russian for the statistics page and its PDF.
// The decimal separator is the caller's (the user's locale).

// Fixed decimals, the separator given; "—" for a figure that cannot be
// determined.
std::string FigureText(double value, int decimals, const std::string &decimalSeparator);

// "p < 0,001" below a thousandth, else "p = 0,032".
std::string PValueText(double p, const std::string &decimalSeparator);

// Significance level the sentences use.
constexpr double SignificanceLevel = 0.05;

// "группа согласована в предпочтениях: W = 0,41, p < 0,001" and its
// counterparts.
std::string AgreementSentence(const Agreement &agreement, const std::string &decimalSeparator);

// One colour of two groups compared, judged on Holm's p.
std::string ComparisonSentence(const ColourComparison &comparison, const std::string &decimalSeparator);

// One colour across the user groups.
std::string KruskalWallisSentence(const ColourKruskalWallis &result, const std::string &decimalSeparator);
