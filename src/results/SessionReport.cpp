#include "SessionReport.h"

#include "Cp1251.h"
#include "DurationText.h"
#include "ResultDisplay.h"
#include "SessionArchive.h"
#include "TSimpleFileStream.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSaveFile>

QString DateTimeFormatOf(const QLocale &locale)
{
    QString time = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    time.remove(zone);
    return locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') + time.trimmed();
}

QString FormatOleDateTime(OleDate when, const QString &format)
{
    const LocalDateTime t = FromOleDate(when);
    const QDateTime value(QDate(t.Year, t.Month, t.Day), QTime(t.Hour, t.Minute, t.Second, t.Millisecond));
    return value.toString(format);
}

LocalDateTime ToLocalDateTime(const QDateTime &when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    return LocalDateTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
}

LocalDateTime ToLocalDateTime(const QDate &date) { return LocalDateTime{date.year(), date.month(), date.day()}; }

QString DurationQText(int seconds) { return QString::fromStdString(DurationText(seconds)); }

QString SessionReportText(const TCLTSession &session, const QString &dateTimeFormat)
{
    // The testing page's combined report is this text after its notice; the
    // testing layer composes both, so the two cannot drift apart.
    constexpr int CombinedReport = 3;
    const std::string shown =
        MakeResultDisplay(session, CombinedReport, FormatOleDateTime(session.StartedAt, dateTimeFormat).toStdString())
            .Text;
    return QString::fromStdString(shown.substr(ResultNotice.size()));
}

QString WithCrLfLines(const QString &text)
{
    QString result;
    result.reserve(text.size() + text.size() / 16 + 2);
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        result += QStringView(text).mid(start, i - start);
        result += QStringLiteral("\r\n");
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n) {
        result += QStringView(text).mid(start);
        result += QStringLiteral("\r\n");
    }
    return result;
}

QByteArray ToCp1251Bytes(const QString &text)
{
    const std::string bytes = Utf8ToCp1251(text.toStdString());
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // Without this a folder we may not write into would silently get the
    // file written in place, losing the old one if the write breaks off.
    file.setDirectWriteFallback(false);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok)
        ok = file.write(bytes) == bytes.size();
    if (ok)
        ok = file.commit();
    if (!ok) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
    }
    return ok;
}
