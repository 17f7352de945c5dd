#pragma once

#include "statistics/PersonStatistics.h"

#include <optional>
#include <string>
#include <vector>

// One person's sessions in the order they were taken, and how the order of
// the colours moved from one to the next.

// Each session is followed by its last eight-colour choice unless one is
// asked for: the second where it has one (the first of two is partly a
// warm-up), else the first.
struct HistoryStep {
    const TCLTSession *Session = nullptr;
    int Choice = 0; // 1 or 2; 0 when the session has no eight-colour choice
    std::optional<ColourPositions> Positions;
    // Spearman's rho against the previous session that has a choice.
    std::optional<double> RhoToPrevious;
    // Spearman's rho between the session's own first and second choice.
    std::optional<double> OwnRho;
    // Anxiety and compensation of the followed choice, 0..12.
    std::optional<int> Intensity;
};

struct PersonHistory {
    std::vector<HistoryStep> Steps; // oldest first
    // The person's own first-to-second rho (the median over the sessions
    // with both): how much the order moves within one sitting, against which
    // a change between sessions is judged. Nothing without such a session.
    std::optional<double> Yardstick;
    std::size_t YardstickN = 0;
};

// The sessions among `sessions` of the same person as `person`
// (PersonIdentityKey), in their given order.
std::vector<const TCLTSession *> SessionsOfPerson(const std::vector<const TCLTSession *> &sessions,
                                                  const TCLTSession &person);

// The sessions must be whole (choices read); they are ordered by their start,
// equal starts keeping the given order. `choice` 1 or 2 follows that choice
// alone (a session without it has no positions); 0, each session's last.
PersonHistory TracePerson(std::vector<const TCLTSession *> sessions, int choice = 0);

// Whether the order moved between step `index` and the previous step with a
// choice more than it moves within one sitting, in plain Russian; empty for a
// step without a comparison.
std::string ChangeSentence(const PersonHistory &history, std::size_t index, const std::string &decimalSeparator);

// What the yardstick is, or that there is none.
std::string YardstickSentence(const PersonHistory &history, const std::string &decimalSeparator);
