#pragma once

#include <string>
#include <string_view>

// Puts bytes at path in one step: a temporary file in the same folder is
// written, synced and renamed over the name, so a reader sees the old file or
// the whole new one. Throws StreamError naming the path on any failure and
// then leaves no temporary file behind and the old file untouched.
void ReplaceFileAtomically(const std::string &path, std::string_view bytes);
