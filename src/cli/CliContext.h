#pragma once

#include "core/OleDate.h"
#include "core/TCLTSession.h"

#include <QString>

#include <string>

// The clock and the locale as one run of palettor-cli sees them: read once in
// main and passed to every command, so a run never mixes two moments or two
// locales.
struct CliContext {
    LocalDateTime Now;
    std::string DecimalSeparator; // the locale's, unless a command is told another
    QString DateTimeFormat;       // for printed reports, always Russian
    QString DateFormat;

    // What sessions read in this run take: today's date and the separator.
    SessionContext ForSessions(const std::string &separator) const;
    SessionContext ForSessions() const { return ForSessions(DecimalSeparator); }
};

// The one place palettor-cli reads the system clock and locale.
CliContext ReadCliContext();
