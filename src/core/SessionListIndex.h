#pragma once

#include "SessionListFields.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One session file of the folder as the list knows it.
struct SessionListEntry {
    std::string Name;       // file name in the session folder
    std::uint64_t Size = 0; // bytes of the file when its fields were read
    SessionListFields Fields;

    bool operator==(const SessionListEntry &) const = default;
};

// What became of the index a load looked for.
enum class ListIndexState {
    Used,    // read and checked against the folder
    Missing, // none there (first start, or the cache was cleared)
    Damaged, // cut short, changed or unreadable: ignored and rebuilt
    Foreign, // not an index of this format, or of another session folder: ignored and rebuilt
};

struct ListIndexRead {
    ListIndexState State = ListIndexState::Missing;
    std::vector<SessionListEntry> Entries; // in name order; empty unless Used
};

// A station's own cache of the list fields of one session folder, so a start
// opens only the files it has not seen. Files in the folder are written once
// and never changed, so an entry stays true for as long as its name is there;
// the folder's listing always decides which sessions exist.
ListIndexRead ReadListIndex(const std::string &indexPath, const std::string &dataFolder);
// Writes the index atomically (a temporary file beside it, synced, renamed
// over the old one), creating its folder; entries must be in name order.
// Throws StreamError naming the file and the reason; then nothing changed.
void WriteListIndex(const std::string &indexPath, const std::string &dataFolder,
                    const std::vector<SessionListEntry> &entries);
// A file name for the index of dataFolder, the same for every spelling of
// the folder's path, to be put in the station's cache folder.
std::string ListIndexFileName(const std::string &dataFolder);

struct SessionListLoad {
    std::vector<SessionListEntry> Entries; // every session of the folder, in name order
    std::vector<std::string> Skipped;      // paths of damaged files, not listed
    ListIndexState Index = ListIndexState::Missing;
    std::size_t FilesRead = 0; // files opened for their fields (the rest came from the index)
    bool IndexWritten = false;
    std::string IndexError; // why the index could not be written; the list is whole regardless
};

// Entries handed on while a list loads, in name order and each once.
struct SessionListBatch {
    std::vector<SessionListEntry> Entries;
    std::vector<std::string> Skipped; // damaged files met since the last batch
    std::size_t Done = 0;             // names of the listing dealt with so far
    std::size_t Total = 0;            // names in the listing
};

struct SessionListOptions {
    bool RemoveStaleTemporaries = false; // as for LoadArchive
    // Files read at once when the index does not know them: on a cold cache
    // or a network folder each open waits, and the waits overlap.
    unsigned Readers = 4;
    // Called on the loading thread; without it the entries are only in the
    // result. With it, the result's Entries are empty.
    std::function<void(SessionListBatch &&)> OnBatch;
    std::size_t BatchEntries = 2000;
    // Set from another thread to stop between files; a stopped load writes
    // no index.
    const std::atomic<bool> *Stop = nullptr;
};

// Lists the folder once, takes the fields of the names the index knows from
// it, reads the fields of new names from their files and drops vanished
// ones; writes the index back when anything changed. A missing folder lists
// nothing.
SessionListLoad LoadSessionList(const std::string &dataFolder, const std::string &indexPath,
                                const SessionListOptions &options);
SessionListLoad LoadSessionList(const std::string &dataFolder, const std::string &indexPath,
                                bool removeStaleTemporaries = false);

// What changed in the folder since a listing: names is a fresh listing,
// known the names already in the list (both in name order). The fields of
// the new names are read; damaged ones are reported, not listed.
struct SessionFolderChanges {
    std::vector<SessionListEntry> Added;
    std::vector<std::string> Vanished; // names no longer in the folder
    std::vector<std::string> Skipped;  // paths of damaged new files
};
SessionFolderChanges ReadFolderChanges(const std::string &dataFolder, const std::vector<std::string> &names,
                                       const std::vector<std::string> &known);
// Lists the folder and reads its changes against known (in name order).
// Nothing when the folder cannot be listed whole: a share that is out of
// reach must not make every session look deleted.
std::optional<SessionFolderChanges> CheckSessionFolder(const std::string &dataFolder,
                                                       const std::vector<std::string> &known);
