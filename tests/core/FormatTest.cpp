#include "core/NumberFormat.h"
#include "core/OleDate.h"
#include "core/SystemReason.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

struct NumberCase {
    double value;
    const char *pattern;
    const char *expected;
};

TEST(FormatNumber, PatternsRoundExactValueWithTiesAwayFromZero)
{
    const NumberCase cases[] = {
        {0.5, "#.#", ",5"},          {34.5, "#.#", "34,5"},       {30.0, "#.#", "30"},
        {34.0833333, "#.#", "34,1"}, {0.04, "#.#", "0"},          {-2.25, "#.#", "-2,3"},
        {12.25, "0.0", "12,3"},      {12.5, "0.0", "12,5"},       {7.0, "0.0", "7,0"},
        {0.35, "0.0", "0,3"},  // 0.35 is stored slightly below the tie
        {-0.04, "0.0", "0,0"}, // rounds to zero: no sign
        {0.125, "%5.2f", " 0,13"},   {3.14159, "%5.2f", " 3,14"}, {123.456, "%5.2f", "123,46"},
        {-1.005, "%5.2f", "-1,00"},  {9.995, "%5.2f", " 9,99"},   {99.995, "%5.2f", "100,00"},
        {0.5, "0.##", "0,5"},        {2.0, "0.##", "2"},          {1.255, "0.##", "1,25"},
        {0.125, "0.##", "0,13"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatNumber(c.value, c.pattern, ","), c.expected) << c.value << " " << c.pattern;
}

TEST(FormatNumber, NonFiniteValuesAreNamedNotRounded)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatNumber(inf, "#.#", ","), "inf");
    EXPECT_EQ(FormatNumber(-inf, "0.0", ","), "-inf");
    EXPECT_EQ(FormatNumber(std::nan(""), "%5.2f", ","), "nan");
    // The largest double needs all 309 integer digits.
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::max(), "0.##", ","),
              "17976931348623157081452742373170435679807056752584499659891747680315726078002853876058955863276687817154"
              "04589535143824642343213268894641827684675467035375169860499105765512820762454900903893289440758685084551"
              "33942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368");
}

TEST(FormatNumber, UsesTheCallersSeparator)
{
    EXPECT_EQ(FormatNumber(34.5, "#.#", "."), "34.5");
    EXPECT_EQ(FormatNumber(0.125, "%5.2f", "."), " 0.13");
}

TEST(OleDate, KnownDatesConvertBothWays)
{
    struct Case {
        LocalDateTime when;
        double ole;
    };
    const Case cases[] = {
        {{1899, 12, 30, 0, 0, 0, 0}, 0.0},      {{1899, 12, 30, 6, 0, 0, 0}, 0.25}, {{1899, 12, 29, 6, 0, 0, 0}, -1.25},
        {{1899, 12, 29, 0, 0, 0, 0}, -1.0},     {{1900, 1, 1, 12, 0, 0, 0}, 2.5},   {{2000, 1, 1, 0, 0, 0, 0}, 36526.0},
        {{2026, 12, 9, 18, 0, 0, 0}, 46365.75},
    };
    for (const auto &c : cases) {
        EXPECT_DOUBLE_EQ(ToOleDate(c.when), c.ole) << c.ole;
        EXPECT_EQ(FromOleDate(c.ole), c.when) << c.ole;
    }
}

TEST(OleDate, MillisecondsSurviveRoundTrips)
{
    const LocalDateTime cases[] = {
        {2024, 2, 29, 23, 59, 59, 999}, {1999, 12, 31, 0, 0, 0, 1}, {2026, 7, 15, 13, 45, 12, 345},
        {1899, 12, 28, 17, 3, 9, 7},    {1850, 3, 1, 0, 0, 0, 500},
    };
    for (const auto &when : cases) {
        EXPECT_EQ(FromOleDate(ToOleDate(when)), when) << when.Year << "-" << when.Month << "-" << when.Day;
        EXPECT_EQ(DatePart(ToOleDate(when)), ToOleDate({when.Year, when.Month, when.Day, 0, 0, 0, 0}));
    }
}

TEST(OleDate, MillisecondsBetweenCountsWholeUnits)
{
    const OleDate start = ToOleDate({2026, 3, 1, 10, 0, 0, 0});
    EXPECT_EQ(MillisecondsBetween(start, start + 65.0 / 86400.0), 65000);
    EXPECT_EQ(MillisecondsBetween(start, ToOleDate({2026, 3, 1, 10, 1, 5, 0})), 65000);
    EXPECT_EQ(MillisecondsBetween(start, ToOleDate({2026, 3, 2, 10, 0, 0, 1})), 86400001);
    EXPECT_EQ(MillisecondsBetween(ToOleDate({2026, 3, 2, 0, 0, 0, 0}), start), -50400000);
    // Across the epoch, where the fraction below zero still counts forward.
    EXPECT_EQ(MillisecondsBetween(-1.25, 0.25), 86400000);
}

TEST(OleDate, FractionRoundingUpCarriesIntoTheNextDay)
{
    const LocalDateTime next{2000, 1, 2, 0, 0, 0, 0};
    EXPECT_EQ(FromOleDate(36527.0 - 1e-10), next);
    EXPECT_EQ(DatePart(36527.0 - 1e-10), 36527.0);
}

} // namespace

TEST(SystemReasonText, CommonReasonsInRussianWithTheSystemTextAfter)
{
    const std::vector<std::pair<int, std::string>> cases{
        {ENOSPC, "нет места на диске"}, {EROFS, "файловая система доступна только для чтения"},
        {EACCES, "нет прав доступа"},   {ENOENT, "нет такой папки или файла"},
        {EIO, "ошибка ввода-вывода"},   {ENAMETOOLONG, "слишком длинное имя"},
    };
    for (const auto &[code, russian] : cases)
        EXPECT_EQ(SystemReasonText(code), russian + " (" + std::strerror(code) + ")") << code;
    // A rare reason keeps the system's text alone rather than a wrong translation.
    EXPECT_EQ(SystemReasonText(EXDEV), std::strerror(EXDEV));
}
