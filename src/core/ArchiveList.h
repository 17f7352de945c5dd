#pragma once

#include "core/SessionArchive.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
class ArchiveList {
public:
    ArchiveList() = default;
    ArchiveList(const ArchiveList &) = delete;
    ArchiveList &operator=(const ArchiveList &) = delete;

    std::size_t Count() const { return sessions.Count(); }
    bool Empty() const { return sessions.Empty(); }
    TCLTSession &operator[](std::size_t position) { return sessions[position]; }
    const TCLTSession &operator[](std::size_t position) const { return sessions[position]; }
    // Read-only view for those that only read (the rows, the exports).
    const TCLTArchive &Sessions() const { return sessions; }
    auto begin() const { return sessions.begin(); }
    auto end() const { return sessions.end(); }

    // Listeners are told in the order they were added, and of what is about
    // to change (Removing, Resetting) in the reverse order: one that relies
    // on an earlier one sees it before it changed and after it has finished.
    // Each must be removed before it is destroyed.
    void AddObserver(ArchiveListObserver *observer);
    void RemoveObserver(ArchiveListObserver *observer);

    void Reserve(std::size_t count) { sessions.Reserve(count); }
    TCLTSession &Add(std::unique_ptr<TCLTSession> session);
    TCLTSession &AddNew() { return Add(std::make_unique<TCLTSession>()); }
    // Appends all, told as one change; empty pointers are passed over.
    void Add(std::vector<std::unique_ptr<TCLTSession>> many);
    // Appends every session of the other list (emptied), as one change.
    void AddAll(TCLTArchive &other);

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
    TCLTArchive sessions;
    std::vector<ArchiveListObserver *> observers;
};

// The file name of a session stored directly in the folder whose path with a
// trailing '/' is folderPrefix; empty for any other session.
std::string_view NameInFolder(const TCLTSession &session, std::string_view folderPrefix);

// Ascending positions (each once) as runs of neighbours.
std::vector<PositionRun> RunsOf(const std::vector<std::size_t> &ascending);
