#pragma once

#include "core/OneBased.h"
#include "core/TCLTSession.h"

#include <string>

// Checks on a session handed in for interpretation from outside the test
// procedure (the command line, a test harness), which guarantees none of
// what the procedure does.

// The eight tags 1..8, each once.
bool IsTagPermutation(const OneBased<int, 8> &choice);

// Four win counts that the six pair comparisons of a four-colour table can
// produce: each 0..3, six in all, and no k shades winning fewer than the
// k(k-1)/2 comparisons they hold among themselves.
bool IsPairWinTable(const OneBased<int, 4> &wins);

// The first fault found, as one line of text; empty when the session can be
// interpreted. For the single administration only choice 1 is checked, as
// choice 2 is copied from it.
std::string FindSessionInputFault(const TCLTSession &session);

// Brings a checked session to the state the procedure leaves it in before
// interpretation: the single administration gets choice 1 copied into
// choice 2, and every derived value (marks, weights, signs, groups, cube
// results, ranks, texts) is set back to its creation value, so the result
// depends only on the picks.
void PrepareForInterpretation(TCLTSession &session);
