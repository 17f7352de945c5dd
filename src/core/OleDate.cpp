#include "core/OleDate.h"

#include <cmath>

namespace {

constexpr long long MsPerDay = 86400000LL;

// Days since 1970-01-01 of a proleptic Gregorian date.
constexpr long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int &year, int &month, int &day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

// constexpr so dates built during other files' static initialisation are right.
constexpr long long OleEpoch = DaysFromCivil(1899, 12, 30);

// Calendar day (relative to 1899-12-30) and millisecond of that day. Below
// zero the fraction still counts forward from the day's midnight, as OLE does.
void Split(OleDate date, long long &day, long long &ms)
{
    const double whole = std::trunc(date);
    day = static_cast<long long>(whole);
    ms = std::llround(std::fabs(date - whole) * static_cast<double>(MsPerDay));
    if (ms >= MsPerDay) {
        ms -= MsPerDay;
        day += date < 0 ? -1 : 1;
    }
}

} // namespace

OleDate ToOleDate(const LocalDateTime &when)
{
    const long long day =
        DaysFromCivil(when.Year, static_cast<unsigned>(when.Month), static_cast<unsigned>(when.Day)) - OleEpoch;
    const long long ms = ((when.Hour * 60LL + when.Minute) * 60LL + when.Second) * 1000LL + when.Millisecond;
    const double fraction = static_cast<double>(ms) / static_cast<double>(MsPerDay);
    return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

LocalDateTime FromOleDate(OleDate date)
{
    long long day = 0;
    long long ms = 0;
    Split(date, day, ms);
    LocalDateTime result;
    CivilFromDays(day + OleEpoch, result.Year, result.Month, result.Day);
    result.Millisecond = static_cast<int>(ms % 1000);
    result.Second = static_cast<int>(ms / 1000 % 60);
    result.Minute = static_cast<int>(ms / 60000 % 60);
    result.Hour = static_cast<int>(ms / 3600000);
    return result;
}

long long MillisecondsBetween(OleDate earlier, OleDate later)
{
    long long d1 = 0, m1 = 0, d2 = 0, m2 = 0;
    Split(earlier, d1, m1);
    Split(later, d2, m2);
    return (d2 * MsPerDay + m2) - (d1 * MsPerDay + m1);
}

OleDate DatePart(OleDate date)
{
    long long day = 0;
    long long ms = 0;
    Split(date, day, ms);
    return static_cast<double>(day);
}
