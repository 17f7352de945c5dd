#pragma once

#include "statistics/ColourStatistics.h"

#include <array>
#include <vector>

// One colour compared between two groups by the Mann-Whitney test.
// U counts the pairs (first-group person, second-group person) in which the
// first group's position is the larger, ties counted half; p is two-sided
// by the normal approximation with the tie and continuity corrections;
// PHolm is p after Holm's correction over the 8 colours; the rank-biserial
// r = 2U / (n1 n2) - 1 is positive when the first group puts the colour
// further back.
struct ColourComparison {
    int Colour = 0;
    std::size_t N1 = 0;
    std::size_t N2 = 0;
    double U = 0;
    double P = 0;
    double PHolm = 0;
    double RankBiserial = 0;
};

std::array<ColourComparison, StatColours> CompareGroups(const PositionTable &first, const PositionTable &second);

// Holm's step-down adjustment: each p multiplied by the number of hypotheses
// not yet rejected before it, kept monotone and at most 1. NaN stays NaN and
// is not counted.
std::vector<double> HolmAdjust(const std::vector<double> &p);

// One colour across more than two groups: Kruskal-Wallis H with the tie
// correction and its chi-square p-value on (groups - 1) degrees of freedom.
// Empty groups are left out; NaN with fewer than two groups left.
struct ColourKruskalWallis {
    int Colour = 0;
    std::size_t Groups = 0;
    double H = 0;
    double P = 0;
};

std::array<ColourKruskalWallis, StatColours> KruskalWallis(const std::vector<PositionTable> &groups);
