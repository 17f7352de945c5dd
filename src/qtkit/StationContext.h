#pragma once

#include "core/OleDate.h"
#include "core/TCLTSession.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <functional>
#include <memory>

class QSettings;

// What the user's locale and the clock give the program: built once by the
// window and handed down, so no page reads the system locale or the time
// itself and tests can fix both.
class StationContext {
public:
    using Clock = std::function<LocalDateTime()>;

    // The system clock and the given locale.
    explicit StationContext(const QLocale &locale = QLocale(QLocale::Russian, QLocale::Russia), Clock clock = {});

    // The locale a station formats with, from the system's: a system with
    // none set (the C locale) would put English dates and months into a
    // Russian program, so it formats as Russia does.
    static QLocale FormattingLocale(const QLocale &system);

    const QLocale &Locale() const { return locale; }
    LocalDateTime Now() const { return clock(); }
    OleDate NowOle() const;
    // Today's date at midnight and the decimal separator, for sessions.
    SessionContext ForSessions() const;
    std::string DecimalSeparator() const { return decimalSeparator; }

    // Short date, a blank, long time (without a time zone token).
    const QString &DateTimeFormat() const { return dateTimeFormat; }
    QString DateTimeText(OleDate when) const;
    QString DateText(OleDate when) const;

    // The secret of the person codes of name-free exports, asked for only
    // when one is made.
    using KeySource = std::function<QByteArray()>;
    void SetPersonCodeKeySource(KeySource source) { personCodeKey = std::move(source); }
    // The same kept in the settings the opener gives (read there, or made
    // and stored there at first use).
    void SetPersonCodeSettings(std::function<std::unique_ptr<QSettings>()> open);
    // A key made here for this run alone when no source was set.
    QByteArray PersonCodeKey() const;

private:
    KeySource personCodeKey;
    QLocale locale;
    Clock clock;
    std::string decimalSeparator;
    QString dateTimeFormat;
};
