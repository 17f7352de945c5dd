#include "interpretation/ShownText.h"

#include <gtest/gtest.h>

namespace {

const std::string Zwsp = "\xE2\x80\x8B";

std::string repeated(const std::string &piece, std::size_t times)
{
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

// Long runs get a zero-width space after every LongestUnbrokenRun
// characters (not bytes); spaces, line breaks and a zero-width space already
// there end a run.
TEST(ShownText, LongRunsGetBreakOpportunitiesBetweenCharacters)
{
    const std::size_t n = LongestUnbrokenRun;
    const struct {
        const char *name;
        std::string text;
        std::string expected;
    } cases[] = {
        {"ordinary words", "Краткое заключение: без особенностей.\r\nВторая строка",
         "Краткое заключение: без особенностей.\r\nВторая строка"},
        {"a run of exactly the limit", std::string(n, 'a'), std::string(n, 'a')},
        {"one past the limit", std::string(n + 1, 'a'), std::string(n, 'a') + Zwsp + "a"},
        {"three times the limit", std::string(3 * n, 'a'),
         std::string(n, 'a') + Zwsp + std::string(n, 'a') + Zwsp + std::string(n, 'a')},
        {"two-byte letters", repeated("ж", n + 2), repeated("ж", n) + Zwsp + repeated("ж", 2)},
        {"a space resets", std::string(n, 'a') + " " + std::string(n, 'b'),
         std::string(n, 'a') + " " + std::string(n, 'b')},
        {"a line break resets", std::string(n, 'a') + "\r\n" + std::string(n, 'b'),
         std::string(n, 'a') + "\r\n" + std::string(n, 'b')},
        {"a zero-width space resets", std::string(n, 'a') + Zwsp + std::string(n, 'b'),
         std::string(n, 'a') + Zwsp + std::string(n, 'b')},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(WithBreakOpportunities(c.text), c.expected) << c.name;
        EXPECT_EQ(ShownText(c.text), c.expected) << c.name;
    }
}

TEST(ShownText, AnAbsurdTextIsCutAndSaysSo)
{
    static_assert(MostShownCharacters % 6 == 2);
    const std::string atLimit = repeated("слово ", MostShownCharacters / 6) + "жж"; // six characters a piece
    EXPECT_EQ(ShownText(atLimit), atLimit);

    const std::string longer = atLimit + "лишнее";
    const std::string shown = ShownText(longer);
    EXPECT_EQ(shown.substr(0, atLimit.size()), atLimit);
    EXPECT_NE(shown.find("показан не полностью: первые " + std::to_string(MostShownCharacters) + " знаков из "
                         + std::to_string(MostShownCharacters + 6)),
              std::string::npos)
        << shown.substr(atLimit.size());
    EXPECT_EQ(shown.find("лишнее"), std::string::npos);
}

} // namespace
