#include "RussianPlural.h"

QString CountWithNoun(std::size_t count, const QString &one, const QString &few, const QString &many)
{
    const std::size_t lastTwo = count % 100;
    const std::size_t last = count % 10;
    const QString &noun = (last == 1 && lastTwo != 11)               ? one
        : (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) ? few
                                                                     : many;
    return QStringLiteral("%1 %2").arg(count).arg(noun);
}
