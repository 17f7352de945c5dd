#pragma once

#include <optional>
#include <string>
#include <string_view>

// The program's folder for the executable at executablePath, taken as the
// bytes the system gives: the executable's folder with a trailing '/', or
// its parent when that folder is named "bin" in any case. Nothing when the
// path names no folder, or when it is not valid UTF-8: every path is text
// inside the program, and a folder it cannot hold exactly would be another
// folder.
std::optional<std::string> ProgramRootFolder(const std::string &executablePath);

// Well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);
