#include "statistics/Distributions.h"

#include <cmath>
#include <limits>

namespace {

constexpr double Epsilon = 1e-16;
constexpr int MaxTerms = 1000;

// log(x^a e^-x / Γ(a)), the factor both expansions share.
double logPrefactor(double a, double x) { return a * std::log(x) - x - std::lgamma(a); }

// P(a, x) by its power series; converges quickly for x < a + 1.
double lowerBySeries(double a, double x)
{
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n < MaxTerms; ++n) {
        term *= x / (a + n);
        sum += term;
        if (std::fabs(term) < std::fabs(sum) * Epsilon)
            break;
    }
    return sum * std::exp(logPrefactor(a, x));
}

// Q(a, x) by its continued fraction (modified Lentz); for x >= a + 1.
double upperByFraction(double a, double x)
{
    constexpr double tiny = 1e-300;
    double b = x + 1.0 - a;
    double c = 1.0 / tiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < MaxTerms; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::fabs(d) < tiny)
            d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny)
            c = tiny;
        d = 1.0 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1.0) < Epsilon)
            break;
    }
    return h * std::exp(logPrefactor(a, x));
}

} // namespace

double RegularizedGammaQ(double a, double x)
{
    if (!(a > 0) || !(x >= 0) || std::isinf(a))
        return std::numeric_limits<double>::quiet_NaN();
    if (x == 0)
        return 1.0;
    if (std::isinf(x))
        return 0.0;
    if (x < a + 1.0)
        return 1.0 - lowerBySeries(a, x);
    return upperByFraction(a, x);
}

double ChiSquareSurvival(double x, double degrees)
{
    if (std::isnan(x))
        return x;
    if (x <= 0)
        return 1.0;
    return RegularizedGammaQ(degrees / 2.0, x / 2.0);
}

double NormalTwoSidedP(double z) { return std::erfc(std::fabs(z) / std::sqrt(2.0)); }
