#pragma once

#include "testing/ColourTables.h"

#include <optional>
#include <string>
#include <string_view>

// Stored text of a colour: a named identifier ("clWhite") when the value is
// one of them, otherwise "$" and eight upper-case hexadecimal digits
// (00BBGGRR).
std::string ColourText(ColourValue colour);

// Reads an identifier (any case), "$" with hexadecimal digits or decimal
// digits, blanks around it ignored. Empty for anything else, and for values
// that do not fit in 24 bits.
std::optional<ColourValue> ColourFromText(std::string_view text);
