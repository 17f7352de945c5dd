#pragma once

#include "core/OleDate.h"
#include "core/TCLTOutcome.h"
#include "core/TCLTSession.h"

#include <string_view>

// Closes a finished test: stamps the start time and the duration, then runs
// the interpretation in its fixed order (marks, findings, function groups,
// association ranks, the two conclusions by test kind). Showing the result,
// saving the session and listing it are the window's part. For the
// single administration the caller has already copied choice 1 into choice 2.
// The decimal separator also becomes the session's Context.DecimalSeparator,
// so every text of the session writes fractions alike.
void FinishTestSession(TCLTSession &session, const TCLTKnowledgeBase &base, OleDate testStart, OleDate testEnd,
                       std::string_view decimalSeparator);

// Whole seconds between two times, whichever comes first, fraction dropped.
int DurationSecondsBetween(OleDate testStart, OleDate testEnd);

// Whether a line of a detailed conclusion is one of the section headings the
// rules write (the five function sections, the full test's sections), so a
// printed report can set it apart. Line breaks and blanks around it are
// ignored.
bool IsConclusionHeading(std::string_view line);
