#pragma once

#include "core/TCLTSession.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The sessions of a list as one CSV table for a statistics package or a
// spreadsheet: a header row, then one row per session, UTF-8 with a byte
// order mark, CR LF after every row, fields quoted as RFC 4180 asks (a field
// holding the separator, a quote, CR or LF is put in quotes, quotes doubled).
//
// Columns, by their header names:
//   Number                 running number in the export, from 1
//   File                   file name of the session (no folder)
//   Start                  start of the test, ISO 8601 local time
//                          (2025-07-04T09:05:03)
//   DurationSeconds        whole seconds
//   TestKind, Test         kind 1..4 and its list name
//   Surname, FirstName, Patronymic, Group
//   Sex                    1 male, 2 female, empty when not given
//   BirthDate              ISO 8601 date, empty when not given
//   Age                    years, two decimals with the locale's decimal
//                          separator, empty when unknown
//   Choice1_1..Choice1_8   colour numbers 0..7 of the first choice by position
//   Choice2_1..Choice2_8   the same of the second (main) choice
//   Grey1..Grey3           full test: achromatic tiles picked, numbered from 0
//                          (two most pleasant, then the most unpleasant)
//   WinsMain1..WinsRed4    full test: pair wins of each four-colour table
//                          (main, blue, green, yellow, red) by shade 1..4
//   Mark1_1..Mark2_8       0 none, 1 anxiety, 2 compensation, by choice and
//                          position
//   Weight1_1..Weight2_8   number of "!" of the mark
//   Intensity1, Intensity2 sum of the weights of each choice
//   FunctionGroups         the groups as signs and colour numbers, blank
//                          between groups ("+3+4 x2x5 =1=6 -0-7"); the sign
//                          stands before every colour of its group; as a
//                          text field it has an apostrophe before it
//                          ("'+3+4 x2x5 ...") whenever it begins with a sign
//   ShadeScore1..4, ShadeTendency1..4
//                          full test: score and cube tendency per shade;
//                          empty where the value cannot be determined
//   then, for the Colour Relations Test, per stimulus k from 1 to the longest
//   stimulus list of the export:
//   StimulusK, StimulusKColour1, StimulusKColour2 (colour numbers of the two
//   association passes), StimulusKRank1_1, StimulusKRank1_2,
//   StimulusKRank2_1, StimulusKRank2_2 (position of pass p's colour in
//   choice c, as [p][c]).
// A value that does not apply to the session's test (the second choice of a
// single administration, the full test's values of other kinds, stimuli
// beyond a session's list) is an empty field, never a zero that could be
// counted.
//
// Name-free: with a PersonCode, the columns Surname, FirstName, Patronymic
// and BirthDate give way to one column PersonCode, where Surname stood.
using CsvPersonCode = std::function<std::string(const TCLTSession &)>;

struct ResearchCsvOptions {
    char Separator = ',';
    std::string DecimalSeparator = ".";
    CsvPersonCode PersonCode; // empty: names and birth dates as stored
    // The header row in Russian ("Фамилия", "Выбор1_1"...), for people
    // reading the table; the names above for scripts.
    bool RussianHeaders = false;
};

// ";" where numbers are written with a decimal comma (spreadsheets there
// expect it), else ",".
ResearchCsvOptions ResearchCsvOptionsFor(std::string_view decimalSeparator);

// One field as it stands in the file.
std::string CsvField(std::string_view text, char separator);

// A text field (a name, a group, a file or stimulus name, the function
// groups) as it stands in the file: one that begins with =, +, -, @, a tab or
// a CR gets a leading apostrophe and quotes, so a spreadsheet shows it as
// text and never runs it as a formula; NUL bytes are left out. Numbers are
// written as they are.
std::string CsvTextField(std::string_view text, char separator);

// Told how many rows are done out of how many; false stops the export.
using CsvProgress = std::function<bool(std::size_t done, std::size_t total)>;

// The whole file in `out`. False, with `out` emptied, when progress stopped it.
bool WriteResearchCsv(const std::vector<const TCLTSession *> &sessions, const ResearchCsvOptions &options,
                      std::string &out, const CsvProgress &progress = {});

// The session of row i, or nullptr to leave it out; the pointer need only
// stay good until the next call.
using CsvSessionSource = std::function<const TCLTSession *(std::size_t i)>;
// The same from sessions taken one at a time, so they need not all be in
// memory at once; rows are numbered by what was written.
bool WriteResearchCsv(std::size_t count, const CsvSessionSource &sessionAt, const ResearchCsvOptions &options,
                      std::string &out, const CsvProgress &progress = {});

// The same table in pieces, for a writer that streams rows to a file as their
// sessions are read and puts the header in front once the widest stimulus
// list is known: the byte order mark and the header row; one session's
// fields after the running number, with its own stimuli only; the row with
// its number; the row padded to the widest list.
std::string ResearchCsvHead(const ResearchCsvOptions &options, std::size_t stimuli);
struct ResearchCsvRow {
    std::string Fields; // ends with "\r\n"
    std::size_t Stimuli = 0;
};
ResearchCsvRow ResearchCsvRowOf(const TCLTSession &session, const ResearchCsvOptions &options);
std::string ResearchCsvNumbered(std::size_t number, char separator, std::string_view fields);
void PadResearchCsvRow(std::string &line, std::size_t own, std::size_t stimuli, char separator);

// The function groups of a session as the column shows them.
std::string FunctionGroupsText(const TCLTSession &session);
