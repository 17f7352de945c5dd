#pragma once

struct CliContext;

// "palettor-cli history DIR --surname S --name N [--patronymic P]
// [--birth-date DD.MM.YYYY] [--choice 1|2] (--json | --pdf OUT)": one
// person's sessions in a folder, as «История тестируемого» shows them, with
// the same figures and the same printed pages. Makes its own application
// object (a PDF needs Qt Gui). Exit status: 0 done, 1 failed or no such
// person, 2 wrong usage (the names fit several people too) or damaged files
// skipped.
bool IsHistoryCommand(int argc, char **argv);
int RunHistoryCommand(int argc, char **argv, const CliContext &cli);
