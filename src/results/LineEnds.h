#pragma once

#include <QString>

// Cuts the text at CR LF, CR or LF and puts CR LF after every line, so the
// text handed on always uses CR LF and ends with one (an empty text stays
// empty; a break at the very end makes no extra empty line).
QString WithCrLfLines(const QString &text);
