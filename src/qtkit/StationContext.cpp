#include "qtkit/StationContext.h"

#include "qtkit/DateTimeText.h"
#include "qtkit/PersonCode.h"
#include "qtkit/QtDateTime.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QRandomGenerator>
#include <QSettings>

StationContext::StationContext(const QLocale &locale, Clock clock)
    : locale(locale), clock(std::move(clock)), decimalSeparator(locale.decimalPoint().toStdString()),
      dateTimeFormat(DateTimeFormatOf(locale))
{
    if (!this->clock)
        this->clock = [] { return ToLocalDateTime(QDateTime::currentDateTime()); };
}

QLocale StationContext::FormattingLocale(const QLocale &system)
{
    if (system.language() == QLocale::C || system.language() == QLocale::AnyLanguage)
        return QLocale(QLocale::Russian, QLocale::Russia);
    return system;
}

OleDate StationContext::NowOle() const { return ToOleDate(clock()); }

SessionContext StationContext::ForSessions() const
{
    SessionContext context;
    context.Today = DatePart(NowOle());
    context.DecimalSeparator = decimalSeparator;
    return context;
}

// Month and day names, where the format has them, are the context's too.
QString StationContext::DateTimeText(OleDate when) const { return FormatOleDateTime(when, dateTimeFormat, locale); }

QString StationContext::DateText(OleDate when) const
{
    return FormatOleDateTime(when, locale.dateFormat(QLocale::ShortFormat), locale);
}

QByteArray StationContext::PersonCodeKey() const
{
    if (personCodeKey)
        return personCodeKey();
    static const QByteArray runKey = QCryptographicHash::hash(
        QByteArray::number(QRandomGenerator::system()->generate64()), QCryptographicHash::Sha256);
    return runKey;
}

void StationContext::SetPersonCodeSettings(std::function<std::unique_ptr<QSettings>()> open)
{
    personCodeKey = [open = std::move(open)] { return PersonCodeKeyFrom(*open()); };
}
