#pragma once

struct CliContext;

// "palettor-cli stats DIR [--kind K] [--group G] [--versus-group G2]
// [--choice 1|2] [--pseudonymise] (--json | --csv | --pdf OUT)": group
// statistics of the sessions of a folder, as the statistics page shows them.
// Makes its own application object (a PDF needs Qt Gui), so main hands it the
// raw arguments. Exit status: 0 done, 1 failed, 2 wrong usage or damaged
// files skipped (the figures lack them).
bool IsStatsCommand(int argc, char **argv);
int RunStatsCommand(int argc, char **argv, const CliContext &cli);
