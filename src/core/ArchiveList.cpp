#include "core/ArchiveList.h"

#include "core/SessionListIndex.h"
#include "core/TakeMany.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>
#include <utility>

void ArchiveListObserver::Appended(std::size_t, std::size_t) {}
void ArchiveListObserver::Removing(const std::vector<PositionRun> &) {}
void ArchiveListObserver::Removed(const std::vector<PositionRun> &) {}
void ArchiveListObserver::Resetting() {}
void ArchiveListObserver::Reset() {}
void ArchiveListObserver::Changed(const std::vector<std::size_t> &) {}

namespace {

std::string_view nameAfter(std::string_view path, std::string_view folderPrefix)
{
    // Asked of every session at each check: compared, not parsed as a path.
    if (path.size() <= folderPrefix.size() || path.substr(0, folderPrefix.size()) != folderPrefix)
        return {};
    const std::string_view name = path.substr(folderPrefix.size());
    return name.find('/') == std::string_view::npos ? name : std::string_view();
}

} // namespace

std::string_view NameInFolder(const TCLTSession &session, std::string_view folderPrefix)
{
    return nameAfter(session.SourceFile, folderPrefix);
}

std::string_view NameInFolder(const ListedRow &row, std::string_view folderPrefix)
{
    return nameAfter(row.Path, folderPrefix);
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

TCLTSession &ArchiveList::operator[](std::size_t position) const
{
    std::unique_ptr<TCLTSession> &session = held[position];
    if (!session) {
        const ListedTable::Row &row = rows[position];
        SessionListFields fields{row.StartedAt,
                                 row.DurationSeconds,
                                 row.TestKind,
                                 std::string(rows.TextOf(row, ListedTable::FirstName)),
                                 std::string(rows.TextOf(row, ListedTable::Surname)),
                                 std::string(rows.TextOf(row, ListedTable::Patronymic)),
                                 std::string(rows.TextOf(row, ListedTable::Group)),
                                 row.Sex,
                                 row.BirthDate,
                                 row.HasFigures ? std::optional(row.Figures) : std::nullopt};
        session = ListedSession(std::move(fields), std::string(rows.TextOf(row, ListedTable::Path)), context);
    }
    return *session;
}

ListedRow ArchiveList::Row(std::size_t position) const
{
    if (const TCLTSession *session = held[position].get())
        return RowOf(*session);
    const ListedTable::Row &c = rows[position];
    ListedRow row;
    row.StartedAt = c.StartedAt;
    row.DurationSeconds = c.DurationSeconds;
    row.TestKind = c.TestKind;
    row.FirstName = rows.TextOf(c, ListedTable::FirstName);
    row.Surname = rows.TextOf(c, ListedTable::Surname);
    row.Patronymic = rows.TextOf(c, ListedTable::Patronymic);
    row.Group = rows.TextOf(c, ListedTable::Group);
    row.Sex = c.Sex;
    row.BirthDate = c.BirthDate;
    row.Age = AgeOn(c.BirthDate, context.Today);
    if (c.HasFigures)
        row.Figures = c.Figures;
    row.Path = rows.TextOf(c, ListedTable::Path);
    row.Context = &context;
    return row;
}

std::size_t ArchiveList::HeldCount() const
{
    return static_cast<std::size_t>(
        std::count_if(held.begin(), held.end(), [](const auto &s) { return s != nullptr; }));
}

void ArchiveList::Reserve(std::size_t count)
{
    rows.Reserve(count);
    held.reserve(count);
}

void ArchiveList::told(std::size_t first)
{
    if (rows.Count() > first)
        for (ArchiveListObserver *observer : observers)
            observer->Appended(first, rows.Count() - first);
}

TCLTSession &ArchiveList::Add(std::unique_ptr<TCLTSession> session)
{
    const std::size_t first = rows.Count();
    rows.Append({});
    held.push_back(std::move(session));
    told(first);
    return *held[first];
}

void ArchiveList::Add(std::vector<std::unique_ptr<TCLTSession>> many)
{
    const std::size_t first = rows.Count();
    for (auto &session : many)
        if (session) {
            rows.Append({});
            held.push_back(std::move(session));
        }
    told(first);
}

void ArchiveList::AddAll(TCLTArchive &other)
{
    std::vector<std::size_t> all(other.Count());
    std::iota(all.begin(), all.end(), std::size_t{0});
    Add(TakeMany(other, all));
}

void ArchiveList::AddListed(const std::vector<SessionListEntry> &entries, std::string_view folderPrefix,
                            const SessionContext &sessionContext)
{
    context = sessionContext;
    const std::size_t first = rows.Count();
    for (const SessionListEntry &entry : entries) {
        ListedTable::Row row;
        if (ListedTable::Fits(entry.Fields, folderPrefix, entry.Name)) {
            row = rows.Make(entry.Fields, entry.Stamp, folderPrefix, entry.Name);
            held.emplace_back();
        } else {
            held.push_back(ListedSession(entry.Fields, std::string(folderPrefix) + entry.Name, context));
        }
        row.Stamp = entry.Stamp;
        rows.Append(row);
    }
    told(first);
}

void ArchiveList::AddRows(ListedTable &table, const SessionContext &sessionContext)
{
    context = sessionContext;
    const std::size_t first = rows.Count();
    held.resize(first + table.Count());
    rows.Take(table);
    told(first);
}

void ArchiveList::ReplaceListed(std::size_t position, const SessionListEntry &entry, std::string_view folderPrefix)
{
    if (position >= rows.Count())
        return;
    const bool fits = ListedTable::Fits(entry.Fields, folderPrefix, entry.Name);
    rows[position] = fits ? rows.Make(entry.Fields, entry.Stamp, folderPrefix, entry.Name) : ListedTable::Row{};
    rows[position].Stamp = entry.Stamp;
    auto listed = ListedSession(entry.Fields, std::string(folderPrefix) + entry.Name,
                                held[position] ? held[position]->Context : context);
    // A held object is read again in place: whoever points at it still may.
    if (held[position])
        *held[position] = std::move(*listed);
    else if (!fits)
        held[position] = std::move(listed);
}

std::size_t ArchiveList::Remove(std::vector<std::size_t> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    positions.erase(std::lower_bound(positions.begin(), positions.end(), rows.Count()), positions.end());
    if (positions.empty())
        return 0;
    const std::vector<PositionRun> runs = RunsOf(positions);
    for (auto observer = observers.rbegin(); observer != observers.rend(); ++observer)
        (*observer)->Removing(runs);
    // The removed session objects live until every listener has let go of them.
    std::vector<std::unique_ptr<TCLTSession>> gone;
    std::vector<bool> removed(rows.Count(), false);
    for (const std::size_t p : positions)
        removed[p] = true;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < held.size(); ++i) {
        if (removed[i]) {
            if (held[i])
                gone.push_back(std::move(held[i]));
            continue;
        }
        if (kept != i)
            held[kept] = std::move(held[i]);
        ++kept;
    }
    held.resize(kept);
    rows.KeepIf([&removed](std::size_t i) { return !removed[i]; });
    for (ArchiveListObserver *observer : observers)
        observer->Removed(runs);
    return positions.size();
}

bool ArchiveList::Remove(const TCLTSession *session)
{
    const long long position = PositionOf(session);
    return position >= 0 && Remove(static_cast<std::size_t>(position)) == 1;
}

void ArchiveList::Clear()
{
    if (rows.Empty())
        return;
    for (auto observer = observers.rbegin(); observer != observers.rend(); ++observer)
        (*observer)->Resetting();
    // The session objects live until every listener has let go of them.
    const auto gone = std::exchange(held, {});
    rows.Clear();
    for (ArchiveListObserver *observer : observers)
        observer->Reset();
}

long long ArchiveList::PositionOf(const TCLTSession *session) const
{
    if (!session)
        return -1;
    for (std::size_t i = held.size(); i-- > 0;)
        if (held[i].get() == session)
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
    for (std::size_t i = 0; i < rows.Count(); ++i) {
        const std::string_view name = NameInFolder(Row(i), folderPrefix);
        if (!name.empty() && wanted.count(name))
            positions.push_back(i);
    }
    return positions;
}

long long ArchiveList::Find(std::string_view folderPrefix, std::string_view name) const
{
    if (name.empty())
        return -1;
    for (std::size_t i = rows.Count(); i-- > 0;)
        if (NameInFolder(Row(i), folderPrefix) == name)
            return static_cast<long long>(i);
    return -1;
}

void ArchiveList::SortByName(std::string_view folderPrefix)
{
    // Stored sessions by name, which is by time; the rest keep their turn after them.
    std::vector<std::string_view> names(rows.Count());
    for (std::size_t i = 0; i < rows.Count(); ++i)
        names[i] = NameInFolder(Row(i), folderPrefix);
    const auto before = [&names](std::size_t a, std::size_t b) {
        return !names[a].empty() && (names[b].empty() || names[a] < names[b]);
    };
    std::vector<std::size_t> order(rows.Count());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (std::is_sorted(order.begin(), order.end(), before))
        return;
    for (auto observer = observers.rbegin(); observer != observers.rend(); ++observer)
        (*observer)->Resetting();
    std::stable_sort(order.begin(), order.end(), before);
    std::vector<std::unique_ptr<TCLTSession>> sortedHeld;
    sortedHeld.reserve(held.size());
    for (const std::size_t i : order)
        sortedHeld.push_back(std::move(held[i]));
    held = std::move(sortedHeld);
    rows.Reorder(order);
    for (ArchiveListObserver *observer : observers)
        observer->Reset();
}

void ArchiveList::MarkChanged(std::vector<std::size_t> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    positions.erase(std::lower_bound(positions.begin(), positions.end(), rows.Count()), positions.end());
    if (positions.empty())
        return;
    for (ArchiveListObserver *observer : observers)
        observer->Changed(positions);
}
