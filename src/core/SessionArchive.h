#pragma once

#include "core/OleDate.h"
#include "core/TCLTSession.h"
#include "core/TSimpleFileStream.h"

#include <functional>
#include <string>
#include <vector>

using TCLTArchive = TOrvantaCollection<TCLTSession>;

// Two random digits per name; injected so tests are deterministic.
using DigitSource = std::function<int()>; // returns 0..9

// yyMMddhhmmss + milliseconds (2 or 3 digits) + two random digits.
std::string SessionFileName(const LocalDateTime &when, const DigitSource &digit);

// The points of a save, each reached just before its operation.
enum class SaveStage {
    Creating, // the temporary file (the name plus ".tmp") is about to be created
    Writing,  // before each part: header, record, trailer
    Syncing,  // every byte written, before they are synced to the disk
    Closing,
    Renaming,      // the complete temporary file is about to take the name (again after each draw)
    SyncingFolder, // the name is in place; the folder entry is made durable
    Done,
};

// The ways a complete temporary file takes its name without replacing a file
// there, in the order they are tried; each later one only where the file
// system lacks the earlier.
enum class PublishStep {
    NoReplaceRename, // renameat2 with RENAME_NOREPLACE
    Link,            // a hard link at the name, then the temporary name removed
    CheckedRename,   // the name checked free, then a plain rename
};

// A seam for tests that prove a failed or interrupted save never leaves a
// damaged session or loses an earlier one. Each hook returns 0 to go on, or
// an errno value that the operation then fails with.
struct SaveHooks {
    std::function<int(SaveStage stage)> AtStage;
    // Before each write call: its offset in the file and the bytes asked for,
    // which the hook may lower to at least 1 (a short write).
    std::function<int(std::size_t offset, std::size_t &count)> BeforeWrite;
    // Before each way of giving the temporary file its final name path is
    // tried. The hook may create a file there (another station saving
    // meanwhile) or return an errno the step then fails with (EINVAL for a
    // missing no-replace rename, EPERM for missing hard links).
    std::function<int(PublishStep step, const std::string &path)> BeforePublish;
};

// Writes the session into dataFolder under a fresh name, atomically (a
// temporary file synced and renamed into place), never replacing a file: a
// name taken meanwhile makes it draw new digits. Sets SourceFile and returns
// the path; throws StreamError naming the folder and the reason (Russian,
// then the system's text) on any failure, and then leaves no file behind.
std::string SaveSession(TCLTSession &session, const std::string &dataFolder, const LocalDateTime &now,
                        const DigitSource &digit, const SaveHooks &hooks = {});

// The first bytes of every session file (stored scrambled).
inline const std::string SessionFileSignature = "Color Session Data";

// Appends the session read from path to the archive. False when the file is
// missing or not a session file; throws StreamError for a damaged file, in
// which case nothing is appended. A caller reading many files passes one
// stream for all, so its buffer is reused.
bool LoadSessionFile(const std::string &path, TCLTArchive &archive, const SessionContext &context);
bool LoadSessionFile(const std::string &path, TCLTArchive &archive, const SessionContext &context,
                     TSimpleFileStream &buffer);
// Reads the whole session file at path into session. False when the file is
// missing or not a session file; throws StreamError for a damaged file.
bool ReadSessionFile(const std::string &path, TCLTSession &session, TSimpleFileStream &buffer);

// The folder joined with a name, with one '/' between them.
std::string PathInFolder(const std::string &folder, const std::string &name);

// A save writes "<name>.dat" + this suffix first and renames it into place.
inline const std::string SaveTemporarySuffix = ".tmp";

// Names ("*.dat", files only) of the session folder, sorted so the archive is
// chronological whatever order the file system lists them in. With
// removeStaleTemporaries, the same pass removes the temporary files that an
// interrupted save left more than an hour ago: the folder is listed once.
std::vector<std::string> ListSessionFiles(const std::string &dataFolder, bool removeStaleTemporaries = false);
// The same; complete is false when the folder could not be opened or its
// listing broke off, so the names cannot tell which sessions are gone.
std::vector<std::string> ListSessionFiles(const std::string &dataFolder, bool removeStaleTemporaries, bool &complete);

struct ArchiveLoadResult {
    int Loaded = 0;
    std::vector<std::string> Skipped; // damaged files, not loaded
};

// Loads every session file of the folder through an ArchiveLoader; a damaged
// file is skipped and reported, never ends the pass, and a file gone since the
// folder was listed is passed over. progress(done, total) after each file.
// Temporary files that an interrupted save left behind more than an hour ago
// are removed only when removeStaleTemporaries is true.
ArchiveLoadResult LoadArchive(const std::string &dataFolder, TCLTArchive &archive, const SessionContext &context,
                              const std::function<void(int, int)> &progress = {}, bool removeStaleTemporaries = false);

// True when the file existed and is gone.
bool DeleteSessionFile(const std::string &path);
