#pragma once

#include "OleDate.h"
#include "TCLTSession.h"

#include <functional>
#include <string>
#include <vector>

using TCLTArchive = TOrvantaCollection<TCLTSession>;

// Folder of the executable with a trailing '/', or its parent when that
// folder is named "bin" in any case.
std::string ProgramRootFolder(const std::string &executablePath);

// Two random digits per name; injected so tests are deterministic.
using DigitSource = std::function<int()>; // returns 0..9

// yyMMddhhmmss + milliseconds (2 or 3 digits) + two random digits.
std::string SessionFileName(const LocalDateTime &when, const DigitSource &digit);

// Moves an existing file to its ".~da" name, replacing an older backup.
void BackupExisting(const std::string &path);

// Writes the session into dataFolder under a fresh name, atomically (a
// temporary file renamed into place). Sets SourceFile and returns the path;
// throws StreamError on any failure and leaves no file behind.
std::string SaveSession(TCLTSession &session, const std::string &dataFolder, const LocalDateTime &now,
                        const DigitSource &digit);

// Appends the session read from path to the archive. False when the file is
// missing or not a session file; throws StreamError for a damaged file, in
// which case nothing is appended.
bool LoadSessionFile(const std::string &path, TCLTArchive &archive, const SessionContext &context);

// Names ("*.dat", files only) of the session folder, sorted so the archive is
// chronological whatever order the file system lists them in.
std::vector<std::string> ListSessionFiles(const std::string &dataFolder);

struct ArchiveLoadResult {
    int Loaded = 0;
    std::vector<std::string> Skipped; // damaged files, not loaded
};

// Loads every session file of the folder; a damaged file is skipped and
// reported, never ends the pass. progress(done, total) after each file.
ArchiveLoadResult LoadArchive(const std::string &dataFolder, TCLTArchive &archive, const SessionContext &context,
                              const std::function<void(int, int)> &progress = {});

// True when the file existed and is gone.
bool DeleteSessionFile(const std::string &path);

// "1 ч 2 мин 3 сек"
std::string DurationText(int seconds);
