// The test results in words, with the caller's decimal separator.
#include "statistics/StatisticsText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(StatisticsText, AgreementAndComparisonSentences)
{
    struct Case {
        Agreement agreement;
        const char *separator;
        const char *expected;
    };
    const Case agreements[] = {
        {{30, 80.0, 0.0004, 0.4149}, ",", "группа согласована в предпочтениях: W = 0,41, p < 0,001"},
        {{30, 12.0, 0.0321, 0.057}, ".", "группа согласована в предпочтениях: W = 0.06, p = 0.032"},
        {{30, 5.0, 0.66, 0.02}, ",", "согласованность предпочтений в группе не подтверждается: W = 0,02, p = 0,660"},
        {{1, 0, std::nan(""), std::nan("")}, ",", "для оценки согласованности нужно не меньше двух сеансов"},
    };
    for (const Case &c : agreements)
        EXPECT_EQ(AgreementSentence(c.agreement, c.separator), c.expected);

    ColourComparison red{3, 20, 25, 150.5, 0.001, 0.008, -0.398};
    EXPECT_EQ(ComparisonSentence(red, ","),
              "Красный: группы различаются, первая группа ставит этот цвет ближе к "
              "началу ряда (U = 150,5, r = -0,40, p = 0,008 с поправкой Холма)");
    red.PHolm = 0.05;
    EXPECT_EQ(ComparisonSentence(red, ","),
              "Красный: различие между группами не подтверждается (U = 150,5, "
              "r = -0,40, p = 0,050 с поправкой Холма)");
    EXPECT_EQ(KruskalWallisSentence({7, 3, 9.6229, 0.00814}, ","),
              "Черный: положение цвета различается между группами (H = 9,62, p = 0,008)");
    EXPECT_EQ(FigureText(-0.0001, 2, ","), "0,00");
    EXPECT_EQ(FigureText(std::nan(""), 2, ","), "—");
}

} // namespace
