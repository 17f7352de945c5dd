#pragma once

#include "core/TCLTOutcome.h"
#include "core/TCLTSession.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Interpretation of the full test: the cube model over the four chromatic
// four-colour tables and the two conclusions built from knowledge-base
// entries (achromatic table, eight-colour function groups, the five
// four-colour tables, the cube pairs, the recommendations).
//
// Order of calls at the end of a full-test session, after the eight-colour
// marks (AcMark, AcWeight, AcIntensity) and the function groups are set:
//   1. ComputeCube(session)                         sets ShadeScore, ShadeTendency
//   2. BuildFullTestBrief(session, base)            -> BriefConclusion
//   3. BuildFullTestDetailed(session, base, sep)    -> DetailedConclusion
// Both texts read the cube results, so ComputeCube must come first.

// A score or tendency that cannot be determined; printed as " ±".
constexpr int UndeterminedScore = 1000;

// Normal range of the score of a shade position 1..4, both ends included.
struct ShadeRange {
    int Lowest = 0;
    int Highest = 0;
};
ShadeRange ShadeNorm(int shade);

// Index of the first entry of that kind whose first keys equal the given
// ones in order (two, three or four keys); -1 when none does.
int FindOutcome(const TCLTKnowledgeBase &base, int kind, std::initializer_list<int> keys);

// Score of one shade position from its counts in the blue, green, yellow and
// red tables (in that order): 0..12, or UndeterminedScore.
int ShadeScoreFromCounts(const int (&counts)[4]);

// Tendency of shade position s for a score: UndeterminedScore, 0 inside the
// normal range, -s below it, s above it.
int ShadeTendencyFor(int shade, int score);

// Sets ShadeScore and ShadeTendency of all four shade positions from
// PairWins[2..5]. Running it again gives the same result.
void ComputeCube(TCLTSession &session);

// Knowledge-base indices of the cube-pair entries (kind 14), in the order
// they are written; pairs with a tendency of 0 or UndeterminedScore are left
// out.
std::vector<int> CubePairEntries(const TCLTSession &session, const TCLTKnowledgeBase &base);

// The section headings of the detailed conclusion, I to XII and the
// recommendations, each as the one line it stands on (no line break, no
// trailing blank).
std::vector<std::string> FullTestSectionHeadings();

// Brief conclusion: the entry texts strung together.
std::string BuildFullTestBrief(const TCLTSession &session, const TCLTKnowledgeBase &base);

// Detailed conclusion: sections I to XII and the therapeutic recommendations.
// The decimal separator is the user's (used by the entries' statistics).
std::string BuildFullTestDetailed(const TCLTSession &session, const TCLTKnowledgeBase &base,
                                  std::string_view decimalSeparator);
