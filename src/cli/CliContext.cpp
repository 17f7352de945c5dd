#include "CliContext.h"

#include "DateTimeText.h"

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
    CliContext context;
    context.Now = LocalDateTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
    context.DecimalSeparator = locale.decimalPoint().toStdString();
    context.DateTimeFormat = DateTimeFormatOf(locale);
    context.DateFormat = locale.dateFormat(QLocale::ShortFormat);
    return context;
}
