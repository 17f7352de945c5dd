#pragma once

#include <string>
#include <string_view>

// Formats a number with one of the patterns the texts use: "#.#", "0.##",
// "0.0" (a "#" place optional, a "0" place always written; "#.#" writes no
// leading zero) and "%5.2f" (two decimals, right-aligned in five characters).
// The exact value of the double is rounded to the places shown with ties
// away from zero. The decimal separator is the caller's (the user's locale).
std::string FormatNumber(double value, std::string_view pattern, std::string_view decimalSeparator);
