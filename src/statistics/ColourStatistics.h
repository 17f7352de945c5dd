#pragma once

#include "core/TCLTSession.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Group statistics on the eight-colour choices. A choice is taken as the
// position (1 = most pleasant .. 8) each colour 0..7 stands at.

constexpr int StatColours = 8;

using ColourPositions = std::array<std::uint8_t, StatColours>;

// One session as the statistics read it: its kind and user group, the
// figures of its choices, and for the associations of a Colour Relations
// Test the whole session (none where the figures suffice).
struct StatisticsSession {
    std::int32_t TestKind = 0;
    const std::string *Group = nullptr;
    SessionFigures Figures;
    const TCLTSession *Whole = nullptr;

    // Views the session, which must outlive it.
    static StatisticsSession Of(const TCLTSession &session);
};

std::vector<StatisticsSession> StatisticsSessionsOf(const std::vector<const TCLTSession *> &sessions);

// The positions of `choice` (1 or 2) of a session; nothing when the session
// has no such choice (the second of a single administration) or the stored
// tags are not a permutation of 1..8.
std::optional<ColourPositions> PositionsOfChoice(const StatisticsSession &session, int choice);
std::optional<ColourPositions> PositionsOfChoice(const TCLTSession &session, int choice);

// How often each colour stands at each position: Counts[colour][position-1].
struct PositionTable {
    std::size_t N = 0;
    std::array<std::array<std::size_t, StatColours>, StatColours> Counts{};

    void Add(const ColourPositions &positions);
    double Share(int colour, int position) const;
};

PositionTable TabulatePositions(const std::vector<ColourPositions> &choices);

// Quantile of the values 1..8 held as counts, interpolated linearly between
// order statistics (h = (n - 1) q), the most common default of statistics
// packages. NaN when the counts are all 0.
double QuantileOfCounts(const std::array<std::size_t, StatColours> &counts, double q);

// The same over plain values; `values` is sorted in place.
double QuantileOf(std::vector<double> &values, double q);

struct ColourSummary {
    int Colour = 0;
    std::size_t N = 0;
    double MeanPosition = 0;
    double MedianPosition = 0;
    double LowerQuartile = 0;
    double UpperQuartile = 0;
    double InterquartileRange = 0;
    double PlusShare = 0;  // share at positions 1-2
    double MinusShare = 0; // share at positions 7-8
};

std::array<ColourSummary, StatColours> SummariseColours(const PositionTable &table);

// Agreement of the group on one order of the colours: Friedman's chi-square
// over the 8 colours (7 degrees of freedom; a choice has no ties) and
// Kendall's W = chi2 / (n (k - 1)). NaN for an empty group.
struct Agreement {
    std::size_t N = 0;
    double Chi2 = 0;
    double P = 0;
    double KendallW = 0;
};

Agreement FriedmanAgreement(const PositionTable &table);
