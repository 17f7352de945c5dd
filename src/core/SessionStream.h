#pragma once

// The session record as a session file holds it. SessionStream.cpp defines
// the stream methods of TCLTSession, TCLTFunctionGroup and TCTOChoiceItem
// (declared with the classes, as the collection calls them); this header
// names the layout facts a reader needs besides them.
#include "core/TCLTSession.h"

#include <cstddef>

// The fewest bytes one stored item takes (an item with an empty name): a
// count read from a damaged file is checked against the bytes left before
// anything is allocated.
constexpr std::size_t FunctionGroupRecordBytes = 3 * 4 + 1;
constexpr std::size_t ChoiceItemRecordBytes = 1 + 6 * 4 + 1;
