#include "qtkit/DateTimeText.h"

#include "core/DurationText.h"

#include <QDateTime>
#include <QRegularExpression>

QString DateTimeFormatOf(const QLocale &locale)
{
    QString time = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    time.remove(zone);
    return locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') + time.trimmed();
}

namespace {

QDateTime qtDateTime(OleDate when)
{
    const LocalDateTime t = FromOleDate(when);
    return QDateTime(QDate(t.Year, t.Month, t.Day), QTime(t.Hour, t.Minute, t.Second, t.Millisecond));
}

} // namespace

QString FormatOleDateTime(OleDate when, const QString &format) { return qtDateTime(when).toString(format); }

QString FormatOleDateTime(OleDate when, const QString &format, const QLocale &locale)
{
    return locale.toString(qtDateTime(when), format);
}

QString DurationQText(int seconds) { return QString::fromStdString(DurationText(seconds)); }
