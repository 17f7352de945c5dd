#include "cli/CliContext.h"

#include "qtkit/DateTimeText.h"

#include <QDateTime>
#include <QLocale>

SessionContext CliContext::ForSessions(const std::string &separator) const
{
    return SessionContext{ToOleDate(LocalDateTime{Now.Year, Now.Month, Now.Day}), separator};
}

CliContext ReadCliContext()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    const QLocale locale;
    // Reports are Russian documents: their dates are Russian whatever the
    // system's locale, as in the window.
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    CliContext context;
    context.Now = LocalDateTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
    context.DecimalSeparator = locale.decimalPoint().toStdString();
    context.DateTimeFormat = DateTimeFormatOf(russian);
    context.DateFormat = russian.dateFormat(QLocale::ShortFormat);
    return context;
}
