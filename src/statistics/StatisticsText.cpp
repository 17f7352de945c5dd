#include "statistics/StatisticsText.h"

#include "testing/ColourTables.h"

#include <cmath>
#include <cstdio>

std::string FigureText(double value, int decimals, const std::string &decimalSeparator)
{
    if (!std::isfinite(value))
        return "—";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string out = text;
    if (out.find_first_not_of("-0.") == std::string::npos && out[0] == '-')
        out.erase(0, 1); // no "-0,00"
    if (const auto point = out.find('.'); point != std::string::npos)
        out.replace(point, 1, decimalSeparator);
    return out;
}

std::string PValueText(double p, const std::string &decimalSeparator)
{
    if (!std::isfinite(p))
        return "p —";
    if (p < 0.001)
        return "p < " + FigureText(0.001, 3, decimalSeparator);
    return "p = " + FigureText(p, 3, decimalSeparator);
}

std::string AgreementSentence(const Agreement &agreement, const std::string &decimalSeparator)
{
    if (agreement.N < 2 || !std::isfinite(agreement.P))
        return "для оценки согласованности нужно не меньше двух сеансов";
    const std::string figures =
        "W = " + FigureText(agreement.KendallW, 2, decimalSeparator) + ", " + PValueText(agreement.P, decimalSeparator);
    if (agreement.P < SignificanceLevel)
        return "группа согласована в предпочтениях: " + figures;
    return "согласованность предпочтений в группе не подтверждается: " + figures;
}

std::string ComparisonSentence(const ColourComparison &c, const std::string &decimalSeparator)
{
    const std::string name = ColourName(c.Colour);
    if (!std::isfinite(c.PHolm))
        return name + ": для сравнения нужны сеансы в обеих группах";
    const std::string figures = "U = " + FigureText(c.U, 1, decimalSeparator)
        + ", r = " + FigureText(c.RankBiserial, 2, decimalSeparator) + ", " + PValueText(c.PHolm, decimalSeparator)
        + " с поправкой Холма";
    if (c.PHolm >= SignificanceLevel)
        return name + ": различие между группами не подтверждается (" + figures + ")";
    const char *side = c.RankBiserial > 0 ? "первая группа ставит этот цвет дальше от начала ряда"
                                          : "первая группа ставит этот цвет ближе к началу ряда";
    return name + ": группы различаются, " + side + " (" + figures + ")";
}

std::string KruskalWallisSentence(const ColourKruskalWallis &k, const std::string &decimalSeparator)
{
    const std::string name = ColourName(k.Colour);
    if (!std::isfinite(k.P))
        return name + ": для сравнения нужны хотя бы две группы с сеансами";
    const std::string figures =
        "H = " + FigureText(k.H, 2, decimalSeparator) + ", " + PValueText(k.P, decimalSeparator);
    if (k.P < SignificanceLevel)
        return name + ": положение цвета различается между группами (" + figures + ")";
    return name + ": различие между группами не подтверждается (" + figures + ")";
}
