#include "app/archive/ArchiveSync.h"

#include "app/archive/ArchiveLoadDriver.h"
#include "app/archive/ArchiveWatcher.h"
#include "app/archive/WholeFileCheck.h"
#include "core/SessionListFields.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// The list fields a row shows, to tell a file rewritten with the same
// fields (only its stamp is new) from one that changed.
SessionListFields listFieldsOf(const ListedRow &row)
{
    return {row.StartedAt,
            row.DurationSeconds,
            row.TestKind,
            std::string(row.FirstName),
            std::string(row.Surname),
            std::string(row.Patronymic),
            std::string(row.Group),
            row.Sex,
            row.BirthDate,
            row.Figures};
}

} // namespace

void PrepareHeapForArchive()
{
#ifdef __GLIBC__
    // Address space only: pages are still taken when first written.
    mallopt(M_TOP_PAD, 32 * 1024 * 1024);
#endif
}

ArchiveSync::ArchiveSync(QString dataFolder, ArchiveList &sessions, QObject *parent)
    : QObject(parent), dataFolder(std::move(dataFolder)), folder(this->dataFolder.toStdString()),
      folderPrefix(PathInFolder(folder, {})), sessions(sessions)
{
}

ArchiveSync::~ArchiveSync() { Stop(); }

QString ArchiveSync::IndexPath(const QString &dataFolder)
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QLatin1Char('/')
        + QString::fromStdString(ListIndexFileName(dataFolder.toStdString()));
}

void ArchiveSync::SetCheckInterval(int ms)
{
    checkIntervalMs = ms;
    if (watcher)
        watcher->SetInterval(ms);
}

void ArchiveSync::SetDeviceProbe(std::function<std::optional<std::uint64_t>(const std::string &)> probe)
{
    deviceProbe = std::move(probe);
    if (watcher)
        watcher->SetDeviceProbe(deviceProbe);
}

void ArchiveSync::Start(const SessionContext &sessionContext)
{
    context = sessionContext;
    driver = new ArchiveLoadDriver(dataFolder, IndexPath(dataFolder), this);
    driver->SetBatchEntries(batchEntries);
    // Batches made small (by tests) are shown one by one, as a long pass's are.
    if (batchEntries < 200)
        driver->SetSliceMs(0);
    connect(driver, &ArchiveLoadDriver::BatchRead, this, &ArchiveSync::batchRead);
    connect(driver, &ArchiveLoadDriver::BatchesTaken, this, &ArchiveSync::batchesTaken);
    connect(driver, &ArchiveLoadDriver::ChangesRead, this, &ArchiveSync::changesRead);
    connect(driver, &ArchiveLoadDriver::Finished, this, &ArchiveSync::loaded);
    driver->Start();
}

void ArchiveSync::Stop()
{
    if (driver)
        driver->Stop();
    delete watcher;
    watcher = nullptr;
    delete wholeCheck;
    wholeCheck = nullptr;
}

bool ArchiveSync::Loading() const { return driver && driver->Running(); }

void ArchiveSync::CheckNow()
{
    if (watcher)
        watcher->CheckNow();
}

void ArchiveSync::batchRead(const std::shared_ptr<SessionListBatch> &batch)
{
    for (const std::string &path : batch->Skipped)
        damaged << QFileInfo(QString::fromStdString(path)).fileName();
    for (const std::string &name : batch->FromFiles)
        toCheck.push_back(PathInFolder(folder, name));
    if (sessions.Empty())
        sessions.Reserve(batch->Total);
    // The pass appends in name order; a session finished or recovered
    // meanwhile lands between its batches and is put in its place at the end.
    const ListedTable &rows = batch->Rows;
    const std::size_t prefix = folderPrefix.size();
    const std::string_view first = !batch->Entries.empty() ? std::string_view(batch->Entries.front().Name)
        : !rows.Empty()                                    ? rows.NameOf(rows[0], prefix)
                                                           : std::string_view();
    const std::string_view before = !waitingRows.Empty()
        ? waitingRows.NameOf(waitingRows[waitingRows.Count() - 1], prefix)
        : !waiting.empty()  ? std::string_view(waiting.back().Name)
        : !sessions.Empty() ? nameInFolder(sessions.Row(sessions.Count() - 1))
                            : std::string_view();
    const bool listedBefore = !waiting.empty() || !waitingRows.Empty() || !sessions.Empty();
    if (!first.empty() && listedBefore && (before.empty() || before > first))
        outOfOrder = true;
    waitingRows.Take(batch->Rows);
    listLater(batch->Entries);
    progressDone = batch->Done;
    progressTotal = batch->Total;
}

void ArchiveSync::batchesTaken()
{
    listWaiting();
    if (!sinceProgress.isValid() || sinceProgress.elapsed() >= ProgressMs) {
        sinceProgress.start();
        emit Progress(progressDone, progressTotal);
    }
}

void ArchiveSync::changesRead(const std::shared_ptr<SessionFolderChanges> &changes)
{
    for (const std::string &path : changes->Skipped)
        damaged << QFileInfo(QString::fromStdString(path)).fileName();
    for (const auto *read : {&changes->Added, &changes->Changed})
        for (const SessionListEntry &entry : *read)
            toCheck.push_back(PathInFolder(folder, entry.Name));
    listWaiting();
    // New names land at the end; the pass's end puts them in their place.
    if (!changes->Added.empty() && sessions.Count() > 0) {
        const std::string_view last = nameInFolder(sessions.Row(sessions.Count() - 1));
        if (last.empty() || changes->Added.front().Name < last)
            outOfOrder = true;
    }
    applyChanges(*changes);
}

void ArchiveSync::listLater(std::vector<SessionListEntry> &entries)
{
    if (waiting.empty())
        waiting = std::move(entries);
    else
        std::move(entries.begin(), entries.end(), std::back_inserter(waiting));
}

void ArchiveSync::listWaiting()
{
    if (!waitingRows.Empty())
        sessions.AddRows(waitingRows, context);
    if (!waiting.empty())
        sessions.AddListed(std::exchange(waiting, {}), folderPrefix, context);
}

void ArchiveSync::appendListed(const std::vector<SessionListEntry> &entries)
{
    sessions.AddListed(entries, folderPrefix, context);
}

void ArchiveSync::loaded()
{
#ifdef __GLIBC__
    // The pass's transient lists (the index's files, the folder's names, what
    // the loading thread made) are freed by now; their pages go back rather
    // than stay with the window for the rest of the day.
    malloc_trim(0);
#endif
    listWaiting();
    if (outOfOrder) {
        outOfOrder = false;
        sessions.SortByName(folderPrefix);
    }
    watcher = new ArchiveWatcher(
        dataFolder, [this] { return knownNames(); }, this);
    // What the pass listed, gathered on its thread: the first check needs no
    // list of names made here.
    watcher->SetKnown(driver->TakeListedFiles());
    watcher->SetListFingerprint([this] {
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < sessions.Count(); ++i)
            if (const std::string_view name = nameInFolder(sessions.Row(i)); !name.empty())
                sum += ArchiveWatcher::NameFingerprint(name);
        return sum;
    });
    if (checkIntervalMs >= 0)
        watcher->SetInterval(checkIntervalMs);
    if (deviceProbe)
        watcher->SetDeviceProbe(deviceProbe);
    connect(watcher, &ArchiveWatcher::Changed, this, &ArchiveSync::changed);
    watcher->Start();
    // Only the head of a file read for the list was looked at; the rest is
    // read in the background, once the list is there.
    wholeCheck = new WholeFileCheck(this);
    connect(wholeCheck, &WholeFileCheck::Damaged, this, &ArchiveSync::DamageFound);
    wholeCheck->Add(toCheck);
    toCheck = {};
    emit Loaded();
}

std::vector<KnownFile> ArchiveSync::knownNames() const
{
    std::vector<KnownFile> files;
    files.reserve(sessions.Count());
    for (std::size_t i = 0; i < sessions.Count(); ++i)
        if (const std::string_view name = nameInFolder(sessions.Row(i)); !name.empty())
            files.push_back({std::string(name), sessions.Stamp(i)});
    const auto byName = [](const KnownFile &a, const KnownFile &b) { return a.Name < b.Name; };
    // Mostly in order already (the archive is kept by name).
    if (!std::is_sorted(files.begin(), files.end(), byName))
        std::sort(files.begin(), files.end(), byName);
    return files;
}

void ArchiveSync::changed(const std::shared_ptr<SessionFolderChanges> &changes)
{
    std::vector<std::string> read;
    for (const SessionListEntry &entry : changes->Changed)
        read.push_back(PathInFolder(folder, entry.Name));
    for (const SessionListEntry &entry : changes->Added)
        read.push_back(PathInFolder(folder, entry.Name));
    if (wholeCheck)
        wholeCheck->Add(read);
    applyChanges(*changes);
    // Told once the list is in step: the notice waits for an answer.
    if (!changes->Skipped.empty()) {
        QStringList names;
        for (const std::string &path : changes->Skipped)
            names << QFileInfo(QString::fromStdString(path)).fileName();
        emit DamageFound(names);
    }
}

void ArchiveSync::applyChanges(SessionFolderChanges &changes)
{
    // One pass over the archive for the whole set, one change of the list.
    if (!changes.Vanished.empty() || !changes.Changed.empty()) {
        const std::unordered_set<std::string_view> vanished(changes.Vanished.begin(), changes.Vanished.end());
        std::unordered_map<std::string_view, SessionListEntry *> replaced;
        for (SessionListEntry &entry : changes.Changed)
            replaced.emplace(entry.Name, &entry);
        std::vector<std::size_t> positions;
        std::vector<std::size_t> reread;
        for (std::size_t i = 0; i < sessions.Count(); ++i) {
            const ListedRow row = sessions.Row(i);
            const std::string_view name = nameInFolder(row);
            if (name.empty())
                continue;
            if (vanished.count(name)) {
                positions.push_back(i);
                continue;
            }
            const auto found = replaced.find(name);
            if (found == replaced.end())
                continue;
            const SessionListEntry &entry = *found->second;
            // Only the stamp is new (a file this station saved, or touched):
            // the row stays as it is.
            if (entry.Fields == listFieldsOf(row)) {
                sessions.SetStamp(i, entry.Stamp);
            } else {
                sessions.ReplaceListed(i, entry, folderPrefix);
                reread.push_back(i);
            }
        }
        sessions.MarkChanged(std::move(reread));
        sessions.Remove(std::move(positions));
    }
    if (changes.Added.empty())
        return;
    // Checked again: this window may have saved a session while the folder
    // was being listed. (Views into the sessions: taken after the removals.)
    std::unordered_set<std::string_view> known;
    known.reserve(sessions.Count());
    for (std::size_t i = 0; i < sessions.Count(); ++i)
        known.insert(nameInFolder(sessions.Row(i)));
    std::vector<SessionListEntry> fresh;
    for (SessionListEntry &entry : changes.Added)
        if (!known.count(entry.Name))
            fresh.push_back(std::move(entry));
    appendListed(fresh);
}
