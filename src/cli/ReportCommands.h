#pragma once

// "palettor-cli export DATA-FOLDER -o OUT.csv [--decimal-separator SEP]": the
// research table of a whole session folder, as the results page exports a
// list. "palettor-cli report SESSION.dat [--pdf OUT.pdf | --text]": the
// printed report of one session, as a PDF or as text on standard output.
// Both make their own application object (a report in PDF needs Qt Gui, on
// the offscreen platform unless another one is asked for), so main hands
// them the raw arguments before it makes one. Exit status: 0 done, 1 failed,
// 2 for an export that skipped damaged files (the table lacks them).
#include "cli/CliContext.h"

bool IsReportCommand(int argc, char **argv);
int RunReportCommand(int argc, char **argv, const CliContext &context);
