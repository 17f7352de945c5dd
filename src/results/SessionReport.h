#pragma once

#include "OleDate.h"
#include "TCLTSession.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

// Date and time of the user's locale: short date, a blank, long time. The
// time zone token of the long time is dropped: stored times carry no zone.
QString DateTimeFormatOf(const QLocale &locale);

QString FormatOleDateTime(OleDate when, const QString &format);

// A Qt date and time as the calendar fields the core converts to OLE dates;
// a bare date is taken at midnight.
LocalDateTime ToLocalDateTime(const QDateTime &when);
LocalDateTime ToLocalDateTime(const QDate &date);

QString DurationQText(int seconds);

// The session as one plain text: when and how long, who, the three
// conclusions. Line breaks are CR LF.
QString SessionReportText(const TCLTSession &session, const QString &dateTimeFormat);

// Cuts the text at CR LF, CR or LF and puts CR LF after every line, so the
// text handed on always uses CR LF and ends with one (an empty text stays
// empty; a break at the very end makes no extra empty line).
QString WithCrLfLines(const QString &text);

// The text as single-byte Windows-1251 bytes, as it goes into files.
QByteArray ToCp1251Bytes(const QString &text);

// Writes the bytes through a temporary file in the target folder that is
// synced and renamed into place; an existing file is replaced only when all
// went well. On failure returns false with a reason and leaves no temporary.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);
