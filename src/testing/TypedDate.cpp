#include "testing/TypedDate.h"

#include <string>
#include <vector>

namespace {

bool isSeparator(char c) { return c == '.' || c == '/' || c == '-' || c == ',' || c == ' '; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int daysIn(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// A day or month group: too large a number, or "00", can never be one.
bool partPossible(const std::string &digits, int largest)
{
    if (digits.empty() || digits == "0")
        return true;
    return std::stoi(digits) >= 1 && std::stoi(digits) <= largest;
}

TypedDate fromParts(const std::string &day, const std::string &month, const std::string &year, int currentYear,
                    bool finishing)
{
    TypedDate date;
    if (day.size() > 2 || month.size() > 2 || year.size() > 4 || !partPossible(day, 31) || !partPossible(month, 12))
        return date;
    date.State = TypedDateState::Intermediate;
    const bool wholeYear = year.size() == 4 || (finishing && year.size() == 2);
    if (day.empty() || month.empty() || day == "0" || month == "0" || !wholeYear)
        return date;
    date.Day = std::stoi(day);
    date.Month = std::stoi(month);
    date.Year = std::stoi(year);
    if (year.size() == 2)
        date.Year += date.Year <= currentYear % 100 ? currentYear / 100 * 100 : currentYear / 100 * 100 - 100;
    if (date.Year < 1 || date.Day > daysIn(date.Year, date.Month)) {
        date.State = TypedDateState::Invalid;
        return date;
    }
    date.State = TypedDateState::Complete;
    return date;
}

} // namespace

TypedDate ReadTypedDate(std::string_view text, int currentYear, bool finishing)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::vector<std::string> parts(1);
    bool separated = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            parts.back() += c;
        } else if (isSeparator(c)) {
            // One separator between parts, and none before the first digit.
            if (parts.back().empty())
                return {};
            separated = true;
            parts.emplace_back();
        } else {
            return {};
        }
    }
    if (parts.size() > 3)
        return {};
    if (separated) {
        parts.resize(3);
        return fromParts(parts[0], parts[1], parts[2], currentYear, finishing);
    }
    const std::string &digits = parts[0];
    if (digits.size() > 8)
        return {};
    return fromParts(digits.substr(0, 2), digits.size() > 2 ? digits.substr(2, 2) : std::string(),
                     digits.size() > 4 ? digits.substr(4) : std::string(), currentYear,
                     finishing && digits.size() == 6);
}
