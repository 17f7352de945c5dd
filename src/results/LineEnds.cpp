#include "results/LineEnds.h"

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
