#pragma once

#include "core/TCLTSession.h"

#include <string>

// Notice shown ahead of any conclusion on the testing page, and the same
// notice leading into the combined report.
extern const std::string ResultNotice;
extern const std::string ResultReportNotice;

// What the testing page shows of a finished session, by ShowResultType
// (0 nothing, 1 brief, 2 detailed, 3 combined report).
struct ResultDisplay {
    std::string Caption;      // caption of the header panel
    bool MemoVisible = false; // the result memo
    std::string Text;         // its text, CR LF line breaks
    bool HideTestArea = false;
};

// startedAtText: the session's start in the user's date and time formats.
ResultDisplay MakeResultDisplay(const TCLTSession &session, int showResultType, const std::string &startedAtText);
