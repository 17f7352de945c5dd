#pragma once

#include "core/TCLTSession.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Predefined stimulus sets of the Colour Relations Test and the forming of
// the stimulus list. Pure: the window layer lists the names, fills its list
// editor with StimulusSetText and hands the typed text to SplitStimulusLines;
// the step machine confirms those lines and builds the stimuli from them.
// The step labels, the length limits and the warnings are the step machine's.

// File name of the predefined sets in the program root folder.
extern const char *const StimulusSetFileName; // "StimulSet.ini"

// The sets in file order: display names and the raw "Values" strings, in
// UTF-8, as two parallel lists of the same length.
struct StimulusSets {
    std::vector<std::string> Names;
    std::vector<std::string> Values;

    std::size_t Count() const { return Names.size(); }
    bool Empty() const { return Names.empty(); }
};

// Reads the sets from the bytes of a Windows-1251 profile file: every section
// with a non-empty "Name" and a non-empty "Values" is one set, in file order;
// other sections are skipped. A section name seen before is skipped too
// (Windows would read the first section of that name again and show its set
// twice). Broken, binary or oversized input gives fewer or no sets, never an
// error.
StimulusSets ReadStimulusSets(std::string_view fileBytes);

// Reads the sets from a file; a missing or unreadable file gives no sets.
StimulusSets LoadStimulusSets(const std::string &path);

// Words of a set's "Values": maximal runs of characters other than ";", in
// order; runs of ";" yield no empty words, blanks are kept.
std::vector<std::string> SplitStimulusSet(std::string_view values);

// The text of a set as the list editor shows it: its words, one per line,
// joined by CR LF (no break after the last).
std::string StimulusSetText(std::string_view values);

// Lines of a typed stimulus list, each unchanged. Lines end at CR LF, LF or
// CR; a break after the last line opens no further line, so "" has no lines
// and "A\r\n\r\nB" has three (the middle one blank). Other characters,
// including tabs, form feeds and Unicode line separators, stay in the line.
std::vector<std::string> SplitStimulusLines(std::string_view text);

// At least MinimumStimulusCount lines.
bool StimulusListAccepted(const std::vector<std::string> &lines);
