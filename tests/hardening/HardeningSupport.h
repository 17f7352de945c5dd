#pragma once

// Shared pieces of the storage hardening tests: scratch folders, a
// field-by-field session comparison and the folder audit every fault case
// ends with. Sessions come from the test kit (SessionBuilder::EveryField).

#include "core/SessionArchive.h"
#include "core/TCLTSession.h"
#include "core/TSimpleFileStream.h"
#include "support/SessionBuilder.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace hardening {

namespace fs = std::filesystem;

// A fresh folder per test, on /dev/shm when asked and available.
class ScratchFolder {
public:
    explicit ScratchFolder(bool inMemory = false);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    std::string str() const { return path.string(); }
    fs::path path;
};

extern const LocalDateTime SaveTime;

// Digits taken in turn, round and round.
DigitSource Digits(std::vector<int> digits);

std::string ReadFile(const fs::path &path);
void WriteFile(const fs::path &path, const std::string &bytes);

// Field by field, every field the record stores (pass fields only for the
// full test, which alone stores them) and SourceFile; empty when equal, else
// the names of the fields that differ.
std::string SessionDifferences(const TCLTSession &a, const TCLTSession &b);

// name -> bytes of every regular file, "<dir>" for folders.
using FolderSnapshot = std::map<std::string, std::string>;
FolderSnapshot Snapshot(const fs::path &folder);

// What a save was meant to produce.
struct ExpectedSave {
    std::string Name;      // file name the new session takes
    std::string Bytes;     // its complete contents
    std::string Temporary; // the save's temporary file; empty for Name + ".tmp"
    // Files another station stored while the save ran: if there, exactly as
    // that station wrote them.
    FolderSnapshot Appeared;
};

enum class SaveOutcome { Failed, Interrupted, Saved };

// Reads every file of the folder after a save and checks: no earlier session
// (nor one stored meanwhile) lost or changed, nothing moved to a backup, no "*.dat" that is a wrong or damaged session,
// the new session absent (Failed), complete (Saved) or either (Interrupted), and no temporary file left except, after
// an interruption, the save's own, which the archive ignores. Returns whether the new session is in place.
bool AuditFolder(const fs::path &folder, const FolderSnapshot &before, const ExpectedSave &expected,
                 SaveOutcome outcome);

// The complete bytes of the session as a save at SaveTime writes them.
std::string SavedBytes(const TCLTSession &session);

} // namespace hardening
