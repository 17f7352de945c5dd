#pragma once

#include "core/TCLTOutcome.h"
#include "core/TCLTSession.h"

#include <string>
#include <string_view>

// Eight-colour rules read from the order of the colours: anxiety and
// compensation marks, function signs and groups, and the two texts built
// from the knowledge-base entries of the groups. Colour numbers are 0..7
// (tag - 1); choice 2 is the main choice.

// The colour number at a position of a choice (tags are number + 1).
int ColourAt(const TCLTSession &session, int choice, int position);

// Blue, green, red, yellow.
bool IsMainColour(int colourNumber);
// Grey, brown, black (violet is neither main nor achromatic).
bool IsAchromaticColour(int colourNumber);

// Sets AcMark, AcWeight and AcIntensity of both choices. Marks are only ever
// set, never cleared.
void MarkAnxietyCompensation(TCLTSession &session);

// True when the colours at positions i and j of the choice stand side by side
// in the other choice at the same place or shifted by one, in either order.
bool IsStablePair(const TCLTSession &session, int choice, int i, int j);

// Appends the group unless an equal one is already listed.
bool AddFunctionGroup(TCLTSession &session, int code, int first, int second);

// Sets FunctionSign of both choices and rebuilds FunctionGroups; returns true.
bool BuildFunctionGroups(TCLTSession &session);

// Index of the first entry whose Kind, Key1, Key2 equal the group's code and
// colours (in that order); -1 when none, or when there is no group.
int FindOutcomeForGroup(const TCLTKnowledgeBase &base, const TCLTFunctionGroup *group);
int FindOutcomeForGroup(const TCLTKnowledgeBase &base, const TCLTSession &session, int groupIndex);

// Heading of a function code 1..5 in the detailed text (ends with a line
// break); empty for any other code.
const std::string &FunctionHeading(int code);

// The opening text heads each result (the relations texts for the Colour
// Relations Test, empty otherwise).
std::string BuildBriefFunctionText(const TCLTSession &session, const TCLTKnowledgeBase &base, std::string_view opening);
std::string BuildDetailedFunctionText(const TCLTSession &session, const TCLTKnowledgeBase &base,
                                      std::string_view opening, std::string_view decimalSeparator);
