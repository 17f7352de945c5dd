#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

// The one way the program puts a whole file in place (exports, reports, the
// list index, the knowledge base): a temporary file in the same folder is
// written, every write checked, synced, and renamed over the name; the folder
// is synced after. A reader sees the old file or the whole new one. On any
// failure the temporary file is removed and the old file stays as it was.
// (Sessions are published apart, never replacing a file: see SaveSession.)

enum class ReplaceStep { Creating, Syncing, Closing, Renaming };

// Faults put in by tests. BeforeWrite sees each write before it is made
// (offset, bytes asked) and may fail it with an errno or shorten it;
// BeforeStep may fail the other steps with an errno.
struct ReplaceFileHooks {
    std::function<int(std::size_t offset, std::size_t &count)> BeforeWrite;
    std::function<int(ReplaceStep step)> BeforeStep;
};

struct ReplaceFileOptions {
    // Permissions of the new file before the umask; the list index, which
    // names people, is kept to its owner.
    mode_t Mode = 0666;
    ReplaceFileHooks Hooks;
};

// Returns an empty string when the file is in place, else the reason in
// Russian ("нет места на диске (No space left on device)" after what failed).
std::string ReplaceFile(const std::string &path, std::string_view bytes, const ReplaceFileOptions &options = {});

// The same, throwing StreamError that names the path and the reason.
void ReplaceFileAtomically(const std::string &path, std::string_view bytes, const ReplaceFileOptions &options = {});
