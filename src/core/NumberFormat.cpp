#include "core/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace {

struct Rounded {
    std::string integerDigits;  // no sign, at least one digit
    std::string fractionDigits; // exactly the requested places
    bool negative = false;
};

// Rounds the exact decimal expansion of the double
// so ties go away from zero instead of to even or by binary noise.
Rounded RoundExact(double value, int places)
{
    Rounded result;
    result.negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    // Exact to sixty places like "%.60f", without printf's cost; the largest
    // double has 309 integer digits.
    char buffer[512];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 60);
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const std::size_t point = text.find('.');
    std::string digits(text.substr(0, point));
    digits += text.substr(point + 1, static_cast<std::size_t>(places));
    const char next = text[point + 1 + static_cast<std::size_t>(places)];
    if (next >= '5') {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
            digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[static_cast<std::size_t>(i)];
    }
    const std::size_t integerLength = digits.size() - static_cast<std::size_t>(places);
    result.integerDigits = digits.substr(0, integerLength);
    result.fractionDigits = digits.substr(integerLength);
    if (digits.find_first_not_of('0') == std::string::npos)
        result.negative = false; // a value rounding to zero carries no sign
    return result;
}

std::string Compose(const Rounded &r, bool leadingZero, std::size_t minPlaces, std::string_view separator)
{
    std::string fraction = r.fractionDigits;
    while (fraction.size() > minPlaces && fraction.back() == '0')
        fraction.pop_back();
    std::string integer = r.integerDigits;
    if (!leadingZero && integer == "0" && !fraction.empty())
        integer.clear();
    std::string out = r.negative ? "-" : "";
    out += integer;
    if (!fraction.empty()) {
        out += separator;
        out += fraction;
    }
    return out;
}

} // namespace

std::string FormatNumber(double value, std::string_view pattern, std::string_view decimalSeparator)
{
    // A value read from a damaged file may be anything; the digit rounding
    // below needs a decimal point to work from.
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
    if (pattern == "#.#")
        return Compose(RoundExact(value, 1), false, 0, decimalSeparator);
    if (pattern == "0.##")
        return Compose(RoundExact(value, 2), true, 0, decimalSeparator);
    if (pattern == "0.0")
        return Compose(RoundExact(value, 1), true, 1, decimalSeparator);
    if (pattern == "%5.2f") {
        std::string text = Compose(RoundExact(value, 2), true, 2, decimalSeparator);
        // Width counts characters; the separator may be a multi-byte UTF-8 sequence.
        std::size_t width = 0;
        for (unsigned char c : text)
            if ((c & 0xC0) != 0x80)
                ++width;
        if (width < 5)
            text.insert(0, 5 - width, ' ');
        return text;
    }
    // Unknown patterns fall back to the plain two-decimal form rather than nothing.
    return Compose(RoundExact(value, 2), true, 0, decimalSeparator);
}
