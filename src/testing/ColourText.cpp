#include "testing/ColourText.h"

#include <array>
#include <cstdint>
#include <cstdio>

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

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The value of one digit in that base; -1 when it is none.
int digitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value;
}

std::optional<std::uint64_t> digitsValue(std::string_view digits, int base)
{
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    return value;
}
} // namespace

std::string ColourText(ColourValue colour)
{
    for (const auto &named : namedColours)
        if (named.value == colour)
            return named.name;
    char digits[16];
    std::snprintf(digits, sizeof digits, "$%08X", static_cast<unsigned>(colour));
    return digits;
}

std::optional<ColourValue> ColourFromText(std::string_view text)
{
    const std::string_view blanks = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::string_view trimmed = text.substr(first, text.find_last_not_of(blanks) - first + 1);
    for (const auto &named : namedColours)
        if (sameIgnoringCase(trimmed, named.name))
            return named.value;

    std::optional<std::uint64_t> value;
    if (trimmed.front() == '$') {
        const std::string_view digits = trimmed.substr(1);
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        value = digitsValue(digits, 16);
    } else if (trimmed.size() <= 10) {
        value = digitsValue(trimmed, 10);
    }
    if (!value || *value > largestColour)
        return std::nullopt;
    return static_cast<ColourValue>(*value);
}
