#include "ColourText.h"

#include <array>
#include <utility>

namespace {
struct NamedColour {
    const char *name;
    ColourValue value;
};

constexpr std::array<NamedColour, 20> namedColours{{
    {"clBlack", MakeColour(0, 0, 0)},
    {"clMaroon", MakeColour(128, 0, 0)},
    {"clGreen", MakeColour(0, 128, 0)},
    {"clOlive", MakeColour(128, 128, 0)},
    {"clNavy", MakeColour(0, 0, 128)},
    {"clPurple", MakeColour(128, 0, 128)},
    {"clTeal", MakeColour(0, 128, 128)},
    {"clGray", MakeColour(128, 128, 128)},
    {"clSilver", MakeColour(192, 192, 192)},
    {"clRed", MakeColour(255, 0, 0)},
    {"clLime", MakeColour(0, 255, 0)},
    {"clYellow", MakeColour(255, 255, 0)},
    {"clBlue", MakeColour(0, 0, 255)},
    {"clFuchsia", MakeColour(255, 0, 255)},
    {"clAqua", MakeColour(0, 255, 255)},
    {"clWhite", MakeColour(255, 255, 255)},
    {"clMoneyGreen", MakeColour(192, 220, 192)},
    {"clSkyBlue", MakeColour(166, 202, 240)},
    {"clCream", MakeColour(255, 251, 240)},
    {"clMedGray", MakeColour(160, 160, 164)},
}};

constexpr ColourValue largestColour = 0xFFFFFF;
} // namespace

QString ColourText(ColourValue colour)
{
    for (const auto &named : namedColours)
        if (named.value == colour)
            return QString::fromLatin1(named.name);
    return QStringLiteral("$") + QStringLiteral("%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<ColourValue> ColourFromText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    for (const auto &named : namedColours)
        if (trimmed.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0)
            return named.value;

    bool ok = false;
    qulonglong value = 0;
    if (trimmed.startsWith(QLatin1Char('$'))) {
        const QString digits = trimmed.mid(1);
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        value = digits.toULongLong(&ok, 16);
    } else {
        for (QChar c : trimmed)
            if (!c.isDigit())
                return std::nullopt;
        if (trimmed.size() > 10)
            return std::nullopt;
        value = trimmed.toULongLong(&ok, 10);
    }
    if (!ok || value > largestColour)
        return std::nullopt;
    return static_cast<ColourValue>(value);
}
