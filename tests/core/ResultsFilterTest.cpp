#include "core/ResultsFilter.h"

#include <gtest/gtest.h>

namespace {

struct FilterCase {
    const char *name;
    ResultsFilter filter;
    int kind;
    uint8_t sex;
    double age;
    std::string group;
    bool expected;
};

ResultsFilter ageLimit(double low, double high)
{
    ResultsFilter f;
    f.AgeLimited = true;
    f.AgeMin = low;
    f.AgeMax = high;
    return f;
}

ResultsFilter bySex(int index)
{
    ResultsFilter f;
    f.SexIndex = index;
    return f;
}

ResultsFilter byGroup(int index, std::string text)
{
    ResultsFilter f;
    f.GroupIndex = index;
    f.GroupText = std::move(text);
    return f;
}

ResultsFilter byTest(int index)
{
    ResultsFilter f;
    f.TestIndex = index;
    return f;
}

class MatchesFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(MatchesFilterTest, DecidesAsTheBarSays)
{
    const FilterCase &c = GetParam();
    TCLTSession session;
    session.TestKind = c.kind;
    session.Sex = c.sex;
    session.Age = c.age;
    session.Group = c.group;
    EXPECT_EQ(MatchesFilter(session, c.filter), c.expected) << c.name;
}

const std::string admin = "Администрация";

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchesFilterTest,
    ::testing::Values(
        FilterCase{"no filter passes everything", ResultsFilter{}, 3, 0, 0, "", true},
        FilterCase{"age at the upper limit passes", ageLimit(20, 30), 2, 1, 30, admin, true},
        FilterCase{"age at the lower limit passes", ageLimit(20, 30), 2, 1, 20, admin, true},
        FilterCase{"half a year over the limit fails", ageLimit(20, 30), 2, 1, 30.5, admin, false},
        FilterCase{"a twelfth under the limit fails", ageLimit(20, 30), 2, 1, 20 - 1.0 / 12, admin, false},
        FilterCase{"no birth date fails a raised lower limit", ageLimit(20, 30), 2, 1, 0, admin, false},
        FilterCase{"no birth date passes a lower limit of 0", ageLimit(0, 30), 2, 1, 0, admin, true},
        FilterCase{"limits are ignored while unchecked",
                   [] {
                       ResultsFilter f = ageLimit(20, 30);
                       f.AgeLimited = false;
                       return f;
                   }(),
                   2, 1, 75, admin, true},
        FilterCase{"men keeps sex 1", bySex(1), 2, 1, 30, admin, true},
        FilterCase{"men drops sex 2", bySex(1), 2, 2, 30, admin, false},
        FilterCase{"men drops sex not given", bySex(1), 2, 0, 30, admin, false},
        FilterCase{"women keeps sex 2", bySex(2), 2, 2, 30, admin, true},
        FilterCase{"women drops sex not given", bySex(2), 2, 0, 30, admin, false},
        FilterCase{"group matches exactly", byGroup(1, admin), 2, 1, 30, admin, true},
        FilterCase{"group in lower case does not match", byGroup(1, admin), 2, 1, 30, "администрация", false},
        FilterCase{"group with a trailing blank does not match", byGroup(1, admin), 2, 1, 30, admin + " ", false},
        FilterCase{"no group does not match a chosen one", byGroup(1, admin), 2, 1, 30, "", false},
        FilterCase{"group index 0 ignores the text", byGroup(0, admin), 2, 1, 30, "Другие", true},
        FilterCase{"test kind matches", byTest(4), 4, 1, 30, admin, true},
        FilterCase{"other test kind fails", byTest(3), 4, 1, 30, admin, false},
        FilterCase{"the first failing check decides",
                   [] {
                       ResultsFilter f = byTest(1);
                       f.SexIndex = 2;
                       return f;
                   }(),
                   1, 1, 30, admin, false}));

} // namespace
