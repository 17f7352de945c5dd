#pragma once

#include "statistics/ColourStatistics.h"

#include <array>
#include <string>
#include <vector>

// Spearman's rho between two choices of one person: the eight colours ranked
// by their positions in each (a choice has no ties).
double SpearmanRho(const ColourPositions &first, const ColourPositions &second);

// Spearman's rho between the first and the second choice of every session
// that has both, summarised.
struct StabilitySummary {
    std::size_t N = 0;
    double Median = 0;
    double LowerQuartile = 0;
    double UpperQuartile = 0;
};

StabilitySummary SummariseStability(std::vector<double> rhos);

// Intensity of anxiety and compensation of one choice (0..12, the sum of the
// weights of its marks) over a group, with the counts of marks.
struct IntensitySummary {
    static constexpr int MaxIntensity = 12;
    std::size_t N = 0;
    double MeanIntensity = 0;
    double MeanAnxieties = 0;
    double MeanCompensations = 0;
    std::array<std::size_t, MaxIntensity + 1> Distribution{};
};

// Sessions without the choice (the second of a single administration) or
// with an intensity outside 0..12 are left out.
IntensitySummary SummariseIntensity(const std::vector<StatisticsSession> &sessions, int choice);
IntensitySummary SummariseIntensity(const std::vector<const TCLTSession *> &sessions, int choice);

// The Colour Relations Test: per stimulus, how often each colour was
// associated with it in each of the two passes. Stimuli in order of first
// appearance; names compared exactly.
struct StimulusColours {
    std::string Stimulus;
    std::size_t N = 0;
    std::array<std::array<std::size_t, StatColours>, 2> Counts{}; // [pass-1][colour]
};

std::vector<StimulusColours> CountStimulusColours(const std::vector<StatisticsSession> &sessions);
std::vector<StimulusColours> CountStimulusColours(const std::vector<const TCLTSession *> &sessions);
