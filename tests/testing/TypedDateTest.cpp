#include "testing/TypedDate.h"

#include <gtest/gtest.h>

namespace {

TEST(TypedDateTest, ReadsWhatPeopleTypeWithOrWithoutSeparators)
{
    using S = TypedDateState;
    const struct {
        const char *text;
        bool finishing;
        S state;
        int year, month, day;
    } cases[] = {
        {"15.03.1985", false, S::Complete, 1985, 3, 15},
        {"15031985", false, S::Complete, 1985, 3, 15},
        {" 5/3/1985 ", false, S::Complete, 1985, 3, 5},
        {"15-03-1985", false, S::Complete, 1985, 3, 15},
        {"29.02.2000", false, S::Complete, 2000, 2, 29},
        // Typed on, each of these can still become a date.
        {"", false, S::Intermediate, 0, 0, 0},
        {"1", false, S::Intermediate, 0, 0, 0},
        {"15", false, S::Intermediate, 0, 0, 0},
        {"15.", false, S::Intermediate, 0, 0, 0},
        {"15.0", false, S::Intermediate, 0, 0, 0},
        {"15.03.19", false, S::Intermediate, 0, 0, 0},
        {"150319", false, S::Intermediate, 0, 0, 0},
        // Leaving the field, a two-digit year is read in the last hundred years.
        {"15.03.85", true, S::Complete, 1985, 3, 15},
        {"150385", true, S::Complete, 1985, 3, 15},
        {"01.01.26", true, S::Complete, 2026, 1, 1},
        {"01.01.27", true, S::Complete, 1927, 1, 1},
        {"1503198", true, S::Intermediate, 0, 0, 0},
        // Never a date.
        {"32", false, S::Invalid, 0, 0, 0},
        {"15.13", false, S::Invalid, 0, 0, 0},
        {"00", false, S::Invalid, 0, 0, 0},
        {"30.02.1985", false, S::Invalid, 0, 0, 0},
        {"15..03", false, S::Invalid, 0, 0, 0},
        {".15", false, S::Invalid, 0, 0, 0},
        {"15.03.1985.1", false, S::Invalid, 0, 0, 0},
        {"150319851", false, S::Invalid, 0, 0, 0},
        {"15.03.0000", false, S::Invalid, 0, 0, 0},
        {"15 марта", false, S::Invalid, 0, 0, 0},
    };
    for (const auto &c : cases) {
        const TypedDate date = ReadTypedDate(c.text, 2026, c.finishing);
        EXPECT_EQ(date.State, c.state) << c.text;
        if (c.state == S::Complete) {
            EXPECT_EQ(date.Year, c.year) << c.text;
            EXPECT_EQ(date.Month, c.month) << c.text;
            EXPECT_EQ(date.Day, c.day) << c.text;
        }
    }
}

} // namespace
