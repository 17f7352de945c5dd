#pragma once

#include "core/OleDate.h"

#include <QLocale>
#include <QString>

// Date and time of the user's locale: short date, a blank, long time. The
// time zone token of the long time is dropped: stored times carry no zone.
QString DateTimeFormatOf(const QLocale &locale);

QString FormatOleDateTime(OleDate when, const QString &format);
// The same with the month and day names of the given locale.
QString FormatOleDateTime(OleDate when, const QString &format, const QLocale &locale);

// "1 ч 2 мин 5 сек", as the list and the detail view show a duration.
QString DurationQText(int seconds);
