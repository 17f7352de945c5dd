#include "core/RussianPlural.h"

#include <gtest/gtest.h>

namespace {

// The form follows the last two digits: 11 to 14 take "many" whatever the
// last digit says.
TEST(RussianPlural, TheNounTakesTheFormOfItsNumber)
{
    const struct {
        std::size_t count;
        const char *expected;
    } cases[] = {{0, "0 сеансов"},     {1, "1 сеанс"},        {2, "2 сеанса"},
                 {4, "4 сеанса"},      {5, "5 сеансов"},      {11, "11 сеансов"},
                 {12, "12 сеансов"},   {14, "14 сеансов"},    {21, "21 сеанс"},
                 {22, "22 сеанса"},    {101, "101 сеанс"},    {111, "111 сеансов"},
                 {112, "112 сеансов"}, {1004, "1004 сеанса"}, {1000000, "1000000 сеансов"}};
    for (const auto &c : cases)
        EXPECT_EQ(CountWithNoun(c.count, "сеанс", "сеанса", "сеансов"), c.expected) << c.count;
}

} // namespace
