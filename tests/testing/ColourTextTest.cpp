#include "testing/ColourText.h"

#include <gtest/gtest.h>

namespace {

struct ColourCase {
    ColourValue value;
    const char *text;
};

TEST(ColourTextTest, NamedColoursAndHexDigitsBothWays)
{
    const ColourCase cases[] = {
        {MakeColour(0, 0, 0), "clBlack"},
        {MakeColour(255, 255, 255), "clWhite"},
        {MakeColour(128, 0, 0), "clMaroon"},
        {MakeColour(0, 0, 128), "clNavy"},
        {MakeColour(192, 220, 192), "clMoneyGreen"},
        {MakeColour(166, 202, 240), "clSkyBlue"},
        {MakeColour(255, 251, 240), "clCream"},
        {MakeColour(160, 160, 164), "clMedGray"},
        {MakeColour(255, 97, 0), "$000061FF"},
        {MakeColour(0, 80, 97), "$00615000"},
        {MakeColour(89, 89, 89), "$00595959"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ColourText(c.value), c.text);
        const auto back = ColourFromText(c.text);
        ASSERT_TRUE(back.has_value()) << c.text;
        EXPECT_EQ(*back, c.value) << c.text;
    }
}

TEST(ColourTextTest, ReadsOtherSpellingsAndRefusesGarbage)
{
    EXPECT_EQ(ColourFromText("clwhite"), MakeColour(255, 255, 255));
    EXPECT_EQ(ColourFromText(" $FF\t"), MakeColour(255, 0, 0));
    EXPECT_EQ(ColourFromText("255"), MakeColour(255, 0, 0));
    EXPECT_EQ(ColourFromText("65280"), MakeColour(0, 255, 0));
    for (const char *bad : {"", "$", "clPink", "12abc", "$GG", "$01000000", "-5", "16777216", "$000000001", " ", "$-1",
                            "+5", "99999999999"})
        EXPECT_FALSE(ColourFromText(bad).has_value()) << bad;
}

} // namespace
