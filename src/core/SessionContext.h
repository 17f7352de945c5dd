#pragma once

#include "core/OleDate.h"

#include <string>

// Formatting inputs that come from the user's locale or the clock; passed in
// so the record never reads global state.
struct SessionContext {
    OleDate Today = 0; // today's date (midnight), as an OLE date
    std::string DecimalSeparator = ",";
};
