#pragma once

#include "core/FileStamp.h"
#include "core/ListedRow.h"
#include "core/ListedTable.h"
#include "core/SessionArchive.h"
#include "core/SessionListFields.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct SessionListEntry;

// The file name of a row stored directly in the folder whose path with a
// trailing '/' is folderPrefix; empty for any other.
std::string_view NameInFolder(const ListedRow &row, std::string_view folderPrefix);

// Positions First..First+Count-1 of the list, as they were before a removal.
struct PositionRun {
    std::size_t First = 0;
    std::size_t Count = 0;
    bool operator==(const PositionRun &) const = default;
};

// Told of every change of an ArchiveList, once per change however many
// sessions it touches. Positions are the list's; a listener that keeps
// positions (the rows of the results list) stays right by these alone.
class ArchiveListObserver {
public:
    virtual ~ArchiveListObserver() = default;
    // count sessions now stand at first.. (the end of the list).
    virtual void Appended(std::size_t first, std::size_t count);
    // The sessions of runs (ascending, apart) are about to go; they are still
    // in place and alive.
    virtual void Removing(const std::vector<PositionRun> &runs);
    // They are gone; the later sessions moved down by the ones before them.
    // The removed sessions are destroyed only after every listener heard this.
    virtual void Removed(const std::vector<PositionRun> &runs);
    // The order changed or the list was emptied: positions known before mean nothing.
    virtual void Resetting();
    virtual void Reset();
    // Sessions at these positions (ascending) were replaced or read again in
    // place; their positions stay.
    virtual void Changed(const std::vector<std::size_t> &positions);
};

// The archive's list of sessions and its one owner: every append, removal
// and reorder goes through here and is told to the listeners as one change.
//
// A large archive is held as a compact table (fixed fields, texts in shared
// blocks, about 200 bytes a session), not as session objects: the list
// fills from the station's index without making one. A session object is
// made for a position only when one is asked for (operator[]: the selected,
// shown, exported or printed session) and is then kept while the session
// stays, so references to it stay good; a new session added as an object is
// held the same way.
class ArchiveList {
public:
    ArchiveList() = default;
    ArchiveList(const ArchiveList &) = delete;
    ArchiveList &operator=(const ArchiveList &) = delete;

    std::size_t Count() const { return rows.Count(); }
    bool Empty() const { return rows.Empty(); }
    // The session object at that position, made from its row when none is
    // held yet (it then has its list fields only, DetailsRead false).
    TCLTSession &operator[](std::size_t position) const;
    // The row at that position, without making a session object.
    ListedRow Row(std::size_t position) const;
    // The session object held for that position, or nullptr.
    const TCLTSession *HeldAt(std::size_t position) const { return held[position].get(); }
    std::size_t HeldCount() const;
    // The stamp of the session's file as its fields were last read (unknown
    // for a session added as an object).
    const FileStamp &Stamp(std::size_t position) const { return rows[position].Stamp; }
    void SetStamp(std::size_t position, const FileStamp &stamp) { rows[position].Stamp = stamp; }

    // Listeners are told in the order they were added, and of what is about
    // to change (Removing, Resetting) in the reverse order: one that relies
    // on an earlier one sees it before it changed and after it has finished.
    // Each must be removed before it is destroyed.
    void AddObserver(ArchiveListObserver *observer);
    void RemoveObserver(ArchiveListObserver *observer);

    void Reserve(std::size_t count);
    TCLTSession &Add(std::unique_ptr<TCLTSession> session);
    TCLTSession &AddNew() { return Add(std::make_unique<TCLTSession>()); }
    // Appends all, told as one change; empty pointers are passed over.
    void Add(std::vector<std::unique_ptr<TCLTSession>> many);
    // Appends every session of the other list (emptied), as one change.
    void AddAll(TCLTArchive &other);
    // Appends a row per entry of the folder (path: folderPrefix and the
    // entry's name), with no session object, as one change. Sessions made
    // from these rows take the context.
    void AddListed(const std::vector<SessionListEntry> &entries, std::string_view folderPrefix,
                   const SessionContext &context);
    // Puts new list fields and stamp into the row at that position (its file
    // in that folder was replaced); a session object held for it is read
    // again in place, so whoever points at it still may. Not told: the
    // caller marks the positions changed.
    void ReplaceListed(std::size_t position, const SessionListEntry &entry, std::string_view folderPrefix);
    // Appends the rows of the table (emptied), as one change.
    void AddRows(ListedTable &table, const SessionContext &context);

    // Removes the sessions at these positions (any order; repeated ones and
    // those outside the list are passed over), as one change. Returns how many went.
    std::size_t Remove(std::vector<std::size_t> positions);
    std::size_t Remove(std::size_t position) { return Remove(std::vector<std::size_t>{position}); }
    // Removes the folder's sessions stored under these file names, as one change.
    std::size_t RemoveNamed(std::string_view folderPrefix, const std::vector<std::string> &names)
    {
        return Remove(PositionsNamed(folderPrefix, names));
    }
    // Removes this very session; false when it is not in the list.
    bool Remove(const TCLTSession *session);
    void Clear();

    // The position of the session, searched from the end (a new one is
    // nearly always last); -1 when it is not in the list.
    long long PositionOf(const TCLTSession *session) const;
    // Positions (ascending) of the stored sessions of that folder whose file
    // names are among names: one pass with a hash lookup, however many.
    std::vector<std::size_t> PositionsNamed(std::string_view folderPrefix, const std::vector<std::string> &names) const;
    // The position of the folder's session stored under that name, or -1.
    long long Find(std::string_view folderPrefix, std::string_view name) const;

    // Puts the folder's stored sessions in name order, which is their order
    // of saving; the others keep their turn after them. Told as one reset,
    // and only when the order changed.
    void SortByName(std::string_view folderPrefix);

    // Tells the listeners that the sessions at these positions were changed
    // in place (positions outside the list passed over).
    void MarkChanged(std::vector<std::size_t> positions);

private:
    void told(std::size_t first);

    ListedTable rows;
    mutable std::vector<std::unique_ptr<TCLTSession>> held; // one per row, mostly empty
    SessionContext context;                                 // of the sessions made from rows
    std::vector<ArchiveListObserver *> observers;
};

// The file name of a session stored directly in the folder whose path with a
// trailing '/' is folderPrefix; empty for any other session.
std::string_view NameInFolder(const TCLTSession &session, std::string_view folderPrefix);

// Ascending positions (each once) as runs of neighbours.
std::vector<PositionRun> RunsOf(const std::vector<std::size_t> &ascending);
