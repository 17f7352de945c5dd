#pragma once

#include "core/FileStamp.h"
#include "core/ListedTable.h"
#include "core/ReplaceFile.h"
#include "core/SessionListFields.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One session file of the folder as the list knows it.
struct SessionListEntry {
    std::string Name; // file name in the session folder
    FileStamp Stamp;  // of the file, taken before its fields were read
    SessionListFields Fields;

    bool operator==(const SessionListEntry &) const = default;
};

// A file of the folder the list holds, with its stamp as last read (an
// unknown stamp counts as changed).
struct KnownFile {
    std::string Name;
    FileStamp Stamp;
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
    // Where a block can be appended: the bytes of the whole blocks read, the
    // checksum the next one chains to, and how large the index has grown.
    bool TornTail = false; // the last append was cut short; the blocks before it were read
    std::size_t WholeBytes = 0;
    std::size_t BaseBytes = 0; // the header and the first block, which holds the whole list
    std::size_t BaseEntries = 0;
    std::size_t Blocks = 0;
    std::uint64_t Link = 0;
};

// A station's own cache of the list fields of one session folder, so a start
// opens only the files it has not seen. Files in the folder are written once,
// but a file may still be replaced under its name (restored from a copy), so
// an entry is believed only while the file's stamp is the one it records; the
// folder's listing always decides which sessions exist. An index larger than
// maxBytes is not read (Damaged).
ListIndexRead ReadListIndex(const std::string &indexPath, const std::string &dataFolder,
                            std::size_t maxBytes = std::size_t{1} << 30);
// The index read straight into rows of the list (views into its bytes
// copied into the rows' text blocks, no object or text of its own per
// session), in tables of chunkRows rows in name order, the appended blocks
// laid over the first: what a start shows before it looks at the folder.
class ListIndexRows {
public:
    using LaterEntries = std::map<std::string, std::optional<SessionListEntry>>;

    ListIndexRead Read; // as ReadListIndex gives it, Entries empty
    std::vector<ListedTable> Tables;
    bool Fits = true; // false: a path too long for a row; read the entries instead

    // Each row's file and stamp, to check the folder against: read again
    // from the index's bytes once the rows are handed on; the bytes are let
    // go then (an empty list after that).
    std::vector<KnownFile> TakeKnown();

private:
    friend ListIndexRows ReadListIndexRows(const std::string &, const std::string &, std::size_t, std::size_t);
    std::shared_ptr<const void> mapped;
    std::string_view base;
    LaterEntries later;
};
ListIndexRows ReadListIndexRows(const std::string &indexPath, const std::string &dataFolder, std::size_t chunkRows,
                                std::size_t maxBytes = std::size_t{1} << 30);
// The most bytes an index of a folder of that many sessions can take; a
// larger file is not this folder's index and is never read whole.
std::size_t MaxListIndexBytes(std::size_t sessions);
// Writes the index atomically (a temporary file beside it, synced, renamed
// over the old one), creating its folder; entries must be in name order.
// Throws StreamError naming the file and the reason; then nothing changed.
// Tests put faults in through hooks.
void WriteListIndex(const std::string &indexPath, const std::string &dataFolder,
                    const std::vector<SessionListEntry> &entries, const ReplaceFileHooks &hooks = {});

// The same, with the entries serialised as they come (in name order), so a
// caller that hands them on need not keep a copy.
class ListIndexBuilder {
public:
    explicit ListIndexBuilder(const std::string &dataFolder);
    void Add(const SessionListEntry &entry);
    // Puts the index in place as WriteListIndex does; the builder is spent.
    void Write(const std::string &indexPath, const ReplaceFileHooks &hooks = {});

private:
    std::string bytes;
    std::size_t blockStart = 0;
    std::uint32_t count = 0;
};

// Whether a change of that many entries and removed names is appended to
// the index read (small beside the list, and the index whole), rather than
// the index rewritten.
bool ListIndexAppendFits(const ListIndexRead &read, std::size_t entries, std::size_t removed);
// Appends a block to the index read (entries new or read again, names gone,
// each in name order) and syncs it, without rewriting the rest. Throws
// StreamError when the file is no longer the one read or a write fails; a
// block cut short is dropped by the next read, which keeps what came before.
void AppendListIndex(const std::string &indexPath, const ListIndexRead &read,
                     const std::vector<SessionListEntry> &entries, const std::vector<std::string> &removed,
                     const ReplaceFileHooks &hooks = {});
// A file name for the index of dataFolder, the same for every spelling of
// the folder's path, to be put in the station's cache folder.
std::string ListIndexFileName(const std::string &dataFolder);

struct SessionListLoad {
    std::vector<SessionListEntry> Entries; // every session of the folder, in name order
    std::vector<std::string> Skipped;      // paths of damaged files, not listed
    ListIndexState Index = ListIndexState::Missing;
    std::size_t FilesRead = 0; // files opened for their fields (the rest came from the index)
    bool IndexWritten = false;
    bool IndexAppended = false; // written by appending the change only
    std::string IndexError;     // why the index could not be written; the list is whole regardless
};

// Entries handed on while a list loads, in name order and each once.
struct SessionListBatch {
    std::vector<SessionListEntry> Entries;
    std::vector<std::string> Skipped;   // damaged files met since the last batch
    std::vector<std::string> FromFiles; // names of Entries read from their files (new or changed)
    ListedTable Rows;                   // with BatchRows: the index's rows instead of Entries
    std::size_t Done = 0;               // names of the listing dealt with so far
    std::size_t Total = 0;              // names in the listing
};

// What changed in the folder since the list was read, each in name order.
struct SessionFolderChanges {
    std::vector<SessionListEntry> Added;
    std::vector<SessionListEntry> Changed; // known files replaced or rewritten, read again
    std::vector<std::string> Vanished;     // names no longer in the folder (or no longer sound)
    std::vector<std::string> Skipped;      // paths of damaged new or changed files
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
    // Faults put in by tests, for the index's rewrite and its append.
    ReplaceFileHooks IndexHooks;
    // With it (and OnBatch), a start that finds the index shows its list at
    // once: the entries go to OnBatch straight from the index, and what the
    // folder then shows different (files new, replaced, gone or damaged)
    // follows them as one set, before the index is brought up to date.
    // Without it, every entry is checked against the folder before it is
    // handed on.
    std::function<void(SessionFolderChanges &&)> OnChanges;
    // With OnChanges: the index's list comes as batches of Rows, read
    // before the folder is listed, rather than as Entries.
    bool BatchRows = false;
    // With OnChanges: the files of the list handed on, as they were checked
    // against the folder, before OnChanges tells what differs.
    std::function<void(std::vector<KnownFile> &&)> OnKnown;
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
// known the files already in the list (both in name order). The fields of
// the new names, and of known files whose stamp differs, are read; damaged
// ones are reported, not listed (a known one that became damaged vanishes).
SessionFolderChanges ReadFolderChanges(const std::string &dataFolder, const std::vector<std::string> &names,
                                       const std::vector<KnownFile> &known);
// The files of the folder once changes found against known are taken in,
// in name order (damaged files left out, as the list leaves them).
std::vector<KnownFile> FilesAfter(std::vector<KnownFile> known, const SessionFolderChanges &changes);
// Lists the folder and reads its changes against known (in name order).
// Nothing when the folder cannot be listed whole: a share that is out of
// reach must not make every session look deleted.
std::optional<SessionFolderChanges> CheckSessionFolder(const std::string &dataFolder,
                                                       const std::vector<KnownFile> &known);
