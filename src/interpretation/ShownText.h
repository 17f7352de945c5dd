#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The stored texts of a session as the report and the detail view lay them
// out. Line breaking costs time by the square of an unbroken run's length (a
// 400 KB word took 19 s to lay out), and an absurd session (thousands of
// stimuli, megabytes of text) would make a report of thousands of pages.

// Runs longer than this many characters, with no space or line break, get a
// break opportunity after every this many characters.
inline constexpr std::size_t LongestUnbrokenRun = 80;
// Characters of one text a report or the detail view shows at most.
inline constexpr std::size_t MostShownCharacters = 200000;

// The text (UTF-8) with a zero-width space (U+200B) put into every run of
// more than LongestUnbrokenRun characters, after each LongestUnbrokenRun of
// them. A Windows-1251 text never holds U+200B, so a plain-text output can
// take them out again.
std::string WithBreakOpportunities(std::string_view utf8);

// At most MostShownCharacters characters of the text, then, when it was cut,
// a paragraph saying so and how long it is; with break opportunities.
std::string ShownText(std::string_view utf8);
