#pragma once

#include "core/ListedRow.h"
#include "core/TCLTSession.h"

#include <string>

// The choices of the filter bar, read from its controls when "Фильтровать"
// is chosen. Kept free of widgets so the rule can be checked on its own.
struct ResultsFilter {
    int TestIndex = 0;     // 0 any test, otherwise the TestKind wanted
    int GroupIndex = 0;    // 0 any group
    std::string GroupText; // the group shown at GroupIndex, compared exactly
    int SexIndex = 0;      // 0 any, 1 male, 2 female
    bool AgeLimited = false;
    double AgeMin = 0;   // inclusive
    double AgeMax = 150; // inclusive
};

// The first failing check decides. The age compared is the one last derived
// for the session (0 when it has no usable birth date).
bool MatchesFilter(const ListedRow &session, const ResultsFilter &filter);
bool MatchesFilter(const TCLTSession &session, const ResultsFilter &filter);
