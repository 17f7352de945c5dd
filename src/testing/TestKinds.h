#pragma once

#include <string>

// The four test kinds by their code (the session's TestKind).
enum TestKindCode { KindEightOnce = 1, KindEightTwice = 2, KindFull = 3, KindRelations = 4 };

constexpr int TestKindCount = 4;

bool IsValidTestKind(int kind);

// Texts of a kind, code 1..4; an unknown code gives empty texts.
const std::string &TestKindChooserTitle(int kind); // title on the test chooser
const std::string &TestKindDescription(int kind);  // description under the title
const std::string &TestKindShortName(int kind);    // status bar ("8ЦТЛ1"...)
const std::string &TestKindListName(int kind);     // results list and filter
const std::string &TestKindTitle(int kind);        // step label

// Filter entry ahead of the four list names.
extern const std::string AnyTestListName; // "Любой тест"

// Number of steps, registration included; for the Colour Relations Test it
// depends on the number of stimuli (16 until the list is confirmed).
int TestKindStepCount(int kind, int stimulusCount = 0);
