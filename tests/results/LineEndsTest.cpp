#include "results/LineEnds.h"

#include <gtest/gtest.h>

namespace {

struct LineCase {
    const char *in;
    const char *out;
};

class WithCrLfLinesTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(WithCrLfLinesTest, EndsEveryLineWithCrLf)
{
    EXPECT_EQ(WithCrLfLines(QString::fromUtf8(GetParam().in)).toStdString(), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Cases, WithCrLfLinesTest,
                         ::testing::Values(LineCase{"", ""}, LineCase{"a", "a\r\n"}, LineCase{"a\nb", "a\r\nb\r\n"},
                                           LineCase{"a\rb\r\n", "a\r\nb\r\n"}, LineCase{"a\r\n\r\n", "a\r\n\r\n"},
                                           LineCase{"\n\n", "\r\n\r\n"}, LineCase{"a\n\rb", "a\r\n\r\nb\r\n"},
                                           LineCase{"я\r\nб", "я\r\nб\r\n"}));

} // namespace
