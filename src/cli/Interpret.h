#pragma once

#include "cli/CliContext.h"

#include <iosfwd>
#include <optional>
#include <string>

struct InterpretOptions {
    std::optional<std::string> KnowledgeBase;    // --kb FILE; none: an empty base
    std::optional<std::string> DecimalSeparator; // --decimal-separator SEP; none: the locale's
    std::optional<std::string> SaveFolder;       // --save DIR
};

// Reads one session as JSON from in, finishes it as the end of a test does
// and writes it as JSON to out. Faults go to err; returns the exit status.
int RunInterpret(const InterpretOptions &options, const CliContext &context, std::istream &in, std::ostream &out,
                 std::ostream &err);
