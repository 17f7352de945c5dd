#pragma once

#include "statistics/GroupComparison.h"
#include "statistics/PersonStatistics.h"

#include <optional>
#include <string>
#include <vector>

// Everything the statistics page and "palettor-cli stats" show for one
// selection of sessions and one choice, computed in one pass over it.
struct GroupStatistics {
    int Choice = 2;
    PositionTable Table;
    std::array<ColourSummary, StatColours> Colours{};
    Agreement Friedman;
    StabilitySummary Stability;
    IntensitySummary Intensity;
    std::vector<StimulusColours> Stimuli;
};

// Sessions without the choice are left out of the figures on positions.
GroupStatistics AnalyseGroup(const std::vector<StatisticsSession> &sessions, int choice);

// Kruskal-Wallis across the user groups found in a selection, in order of
// first appearance.
struct UserGroupsComparison {
    std::vector<std::string> Names;
    std::vector<std::size_t> Sizes;
    std::array<ColourKruskalWallis, StatColours> Colours{};
};

UserGroupsComparison CompareUserGroups(const std::vector<StatisticsSession> &sessions, int choice);

struct StatisticsOutput {
    GroupStatistics Group;
    std::optional<std::array<ColourComparison, StatColours>> Comparison; // against a second selection
    std::optional<GroupStatistics> Versus;
    std::optional<UserGroupsComparison> UserGroups; // with three or more groups and no second selection
};

// Computes what a selection and an optional second one call for.
StatisticsOutput AnalyseSelection(const std::vector<StatisticsSession> &sessions,
                                  const std::vector<StatisticsSession> *versus, int choice);
StatisticsOutput AnalyseSelection(const std::vector<const TCLTSession *> &sessions,
                                  const std::vector<const TCLTSession *> *versus, int choice);

// The figures as JSON (numbers to full precision, null where a figure cannot
// be determined) and as CSV (one row per colour, the given separators).
std::string StatisticsToJson(const StatisticsOutput &output);
std::string StatisticsToCsv(const StatisticsOutput &output, char separator, const std::string &decimalSeparator);
