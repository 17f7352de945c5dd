#include "core/ArchiveList.h"

#include "core/TakeMany.h"

#include <algorithm>
#include <unordered_set>

void ArchiveListObserver::Appended(std::size_t, std::size_t) {}
void ArchiveListObserver::Removing(const std::vector<PositionRun> &) {}
void ArchiveListObserver::Removed(const std::vector<PositionRun> &) {}
void ArchiveListObserver::Resetting() {}
void ArchiveListObserver::Reset() {}
void ArchiveListObserver::Changed(const std::vector<std::size_t> &) {}

std::string_view NameInFolder(const TCLTSession &session, std::string_view folderPrefix)
{
    // Asked of every session at each check: compared, not parsed as a path.
    const std::string_view path = session.SourceFile;
    if (path.size() <= folderPrefix.size() || path.substr(0, folderPrefix.size()) != folderPrefix)
        return {};
    const std::string_view name = path.substr(folderPrefix.size());
    return name.find('/') == std::string_view::npos ? name : std::string_view();
}

std::vector<PositionRun> RunsOf(const std::vector<std::size_t> &ascending)
{
    std::vector<PositionRun> runs;
    for (const std::size_t position : ascending) {
        if (!runs.empty() && runs.back().First + runs.back().Count == position)
            ++runs.back().Count;
        else
            runs.push_back({position, 1});
    }
    return runs;
}

void ArchiveList::AddObserver(ArchiveListObserver *observer)
{
    if (observer && std::find(observers.begin(), observers.end(), observer) == observers.end())
        observers.push_back(observer);
}

void ArchiveList::RemoveObserver(ArchiveListObserver *observer)
{
    observers.erase(std::remove(observers.begin(), observers.end(), observer), observers.end());
}

TCLTSession &ArchiveList::Add(std::unique_ptr<TCLTSession> session)
{
    TCLTSession &added = sessions.Add(std::move(session));
    const std::size_t first = sessions.Count() - 1;
    for (ArchiveListObserver *observer : observers)
        observer->Appended(first, 1);
    return added;
}

void ArchiveList::Add(std::vector<std::unique_ptr<TCLTSession>> many)
{
    const std::size_t first = sessions.Count();
    for (auto &session : many)
        if (session)
            sessions.Add(std::move(session));
    const std::size_t count = sessions.Count() - first;
    if (count == 0)
        return;
    for (ArchiveListObserver *observer : observers)
        observer->Appended(first, count);
}

void ArchiveList::AddAll(TCLTArchive &other)
{
    std::vector<std::size_t> all(other.Count());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    Add(TakeMany(other, all));
}

std::size_t ArchiveList::Remove(std::vector<std::size_t> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    positions.erase(std::lower_bound(positions.begin(), positions.end(), sessions.Count()), positions.end());
    if (positions.empty())
        return 0;
    const std::vector<PositionRun> runs = RunsOf(positions);
    for (auto observer = observers.rbegin(); observer != observers.rend(); ++observer)
        (*observer)->Removing(runs);
    // Alive until every listener has let go of them.
    const auto removed = TakeMany(sessions, positions);
    for (ArchiveListObserver *observer : observers)
        observer->Removed(runs);
    return removed.size();
}

bool ArchiveList::Remove(const TCLTSession *session)
{
    const long long position = PositionOf(session);
    return position >= 0 && Remove(static_cast<std::size_t>(position)) == 1;
}

void ArchiveList::Clear()
{
    if (sessions.Empty())
        return;
    for (auto observer = observers.rbegin(); observer != observers.rend(); ++observer)
        (*observer)->Resetting();
    TCLTArchive gone = std::move(sessions);
    sessions = TCLTArchive();
    for (ArchiveListObserver *observer : observers)
        observer->Reset();
}

long long ArchiveList::PositionOf(const TCLTSession *session) const
{
    for (std::size_t i = sessions.Count(); i-- > 0;)
        if (&sessions[i] == session)
            return static_cast<long long>(i);
    return -1;
}

std::vector<std::size_t> ArchiveList::PositionsNamed(std::string_view folderPrefix,
                                                     const std::vector<std::string> &names) const
{
    std::vector<std::size_t> positions;
    if (names.empty())
        return positions;
    const std::unordered_set<std::string_view> wanted(names.begin(), names.end());
    for (std::size_t i = 0; i < sessions.Count(); ++i) {
        const std::string_view name = NameInFolder(sessions[i], folderPrefix);
        if (!name.empty() && wanted.count(name))
            positions.push_back(i);
    }
    return positions;
}

long long ArchiveList::Find(std::string_view folderPrefix, std::string_view name) const
{
    if (name.empty())
        return -1;
    for (std::size_t i = sessions.Count(); i-- > 0;)
        if (NameInFolder(sessions[i], folderPrefix) == name)
            return static_cast<long long>(i);
    return -1;
}

void ArchiveList::SortByName(std::string_view folderPrefix)
{
    // Stored sessions by name, which is by time; the rest keep their turn after them.
    const auto before = [folderPrefix](const auto &a, const auto &b) {
        const std::string_view x = NameInFolder(*a, folderPrefix);
        const std::string_view y = NameInFolder(*b, folderPrefix);
        return !x.empty() && (y.empty() || x < y);
    };
    if (std::is_sorted(sessions.begin(), sessions.end(), before))
        return;
    for (auto observer = observers.rbegin(); observer != observers.rend(); ++observer)
        (*observer)->Resetting();
    std::stable_sort(sessions.begin(), sessions.end(), before);
    for (ArchiveListObserver *observer : observers)
        observer->Reset();
}

void ArchiveList::MarkChanged(std::vector<std::size_t> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    positions.erase(std::lower_bound(positions.begin(), positions.end(), sessions.Count()), positions.end());
    if (positions.empty())
        return;
    for (ArchiveListObserver *observer : observers)
        observer->Changed(positions);
}
