#pragma once

#include "cli/CliContext.h"

#include <iosfwd>
#include <string>
#include <vector>

// "palettor-cli kb export|build|check ...": the arguments after "kb".
// Returns the exit status: 0 done, 1 failed (or, for check, errors found),
// 2 the command line was wrong.
int RunKnowledgeBaseCommand(const std::vector<std::string> &arguments, const CliContext &context, std::ostream &out,
                            std::ostream &err);
