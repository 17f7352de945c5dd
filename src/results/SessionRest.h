#pragma once

#include "core/SessionDetails.h"

#include <QString>

// Reads the rest of a listed session through the cache. Empty when the
// session is whole; else why its file could not be read, in the user's
// words and naming the file.
QString ReadRestOf(SessionDetailCache &details, TCLTSession &session);
