#pragma once

#include "core/TCLTSession.h"

#include <QString>

// The session as one plain text: when and how long, who, the three
// conclusions. Line breaks are CR LF.
QString SessionReportText(const TCLTSession &session, const QString &dateTimeFormat);
