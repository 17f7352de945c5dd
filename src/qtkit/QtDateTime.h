#pragma once

#include "core/OleDate.h"

#include <QDateTime>

// Qt dates and times as the calendar fields the core converts to OLE dates,
// and back; a bare date is taken at midnight.
inline LocalDateTime ToLocalDateTime(const QDateTime &when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    return LocalDateTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
}

inline LocalDateTime ToLocalDateTime(const QDate &date) { return LocalDateTime{date.year(), date.month(), date.day()}; }

inline QDateTime ToQDateTime(const LocalDateTime &when)
{
    return QDateTime(QDate(when.Year, when.Month, when.Day),
                     QTime(when.Hour, when.Minute, when.Second, when.Millisecond));
}
