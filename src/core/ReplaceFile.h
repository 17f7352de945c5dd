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

// The same writer for a file made a piece at a time (a long export): the
// temporary file is made at Begin, so a folder that cannot take it is known
// before any work, and only Commit puts it in place. Every call returns an
// empty string or the reason in Russian; after a failure every later call
// returns the same reason, and the temporary file is gone. Destroyed before
// Commit (cancelled, failed), it leaves the old file as it was and no
// temporary file. Appends are written as given: callers buffer.
class FileReplacement {
public:
    FileReplacement() = default;
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;
    ~FileReplacement() { Abandon(); }

    std::string Begin(const std::string &path, const ReplaceFileOptions &options = {});
    std::string Append(std::string_view bytes);
    std::string Commit();
    // Removes the temporary file; the old file stays.
    void Abandon();

private:
    std::string fail(std::string reason);

    ReplaceFileOptions options;
    std::string target;
    std::string folder;
    std::string temporaryPath;
    int fd = -1;
    std::size_t written = 0;
    std::string problem;
};

// Returns an empty string when the file is in place, else the reason in
// Russian ("нет места на диске (No space left on device)" after what failed).
std::string ReplaceFile(const std::string &path, std::string_view bytes, const ReplaceFileOptions &options = {});

// The same, throwing StreamError that names the path and the reason.
void ReplaceFileAtomically(const std::string &path, std::string_view bytes, const ReplaceFileOptions &options = {});
