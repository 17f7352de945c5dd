#pragma once

#include "ColourTables.h"

#include <QString>

#include <optional>

// Stored text of a colour: a named identifier ("clWhite") when the value is
// one of them, otherwise "$" and eight upper-case hexadecimal digits
// (00BBGGRR).
QString ColourText(ColourValue colour);

// Reads an identifier (any case), "$" with hexadecimal digits or decimal
// digits. Empty for anything else, and for values that do not fit in 24 bits.
std::optional<ColourValue> ColourFromText(const QString &text);
