#pragma once

#include <string>

// Folder of the executable with a trailing '/', or its parent when that
// folder is named "bin" in any case.
std::string ProgramRootFolder(const std::string &executablePath);
