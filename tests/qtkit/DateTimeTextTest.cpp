#include "qtkit/DateTimeText.h"

#include <gtest/gtest.h>

namespace {

TEST(DateTimeFormatOfTest, TakesShortDateAndLongTimeWithoutZone)
{
    const QString format = DateTimeFormatOf(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_FALSE(format.contains(QLatin1Char('t'))) << format.toStdString();
    EXPECT_EQ(FormatOleDateTime(ToOleDate({2025, 7, 4, 9, 5, 3, 0}), format).toStdString(), "04.07.2025 09:05:03");
}

} // namespace
