#include "ArchiveSync.h"

#include "ArchiveLoadDriver.h"
#include "ArchiveWatcher.h"
#include "PageHooks.h"
#include "SessionListFields.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#ifdef __GLIBC__
#include <malloc.h>
#endif

void PrepareHeapForArchive()
{
#ifdef __GLIBC__
    // Address space only: pages are still taken when first written.
    mallopt(M_TOP_PAD, 32 * 1024 * 1024);
#endif
}

ArchiveSync::ArchiveSync(QString dataFolder, TCLTArchive &sessions, PageHooks &pages, QObject *parent)
    : QObject(parent), dataFolder(std::move(dataFolder)), folder(this->dataFolder.toStdString()), sessions(sessions),
      pages(pages)
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

void ArchiveSync::Start(const SessionContext &sessionContext)
{
    context = sessionContext;
    driver = new ArchiveLoadDriver(dataFolder, IndexPath(dataFolder), this);
    driver->SetBatchEntries(batchEntries);
    connect(driver, &ArchiveLoadDriver::BatchRead, this, &ArchiveSync::batchRead);
    connect(driver, &ArchiveLoadDriver::Finished, this, &ArchiveSync::loaded);
    driver->Start();
}

void ArchiveSync::Stop()
{
    if (driver)
        driver->Stop();
    delete watcher;
    watcher = nullptr;
}

bool ArchiveSync::Loading() const { return driver && driver->Running(); }

void ArchiveSync::CheckNow()
{
    if (watcher)
        watcher->CheckNow();
}

std::string ArchiveSync::nameInFolder(const TCLTSession &session) const
{
    if (session.SourceFile.empty())
        return {};
    std::string name = std::filesystem::path(session.SourceFile).filename().string();
    return PathInFolder(folder, name) == session.SourceFile ? name : std::string();
}

void ArchiveSync::batchRead(const std::shared_ptr<SessionListBatch> &batch)
{
    for (const std::string &path : batch->Skipped)
        damaged << QFileInfo(QString::fromStdString(path)).fileName();
    if (sessions.Empty())
        sessions.Reserve(batch->Total);
    // The pass appends in name order; a session finished or recovered
    // meanwhile lands between its batches and is put in its place at the end.
    const std::size_t first = sessions.Count();
    if (first > 0 && !batch->Entries.empty()) {
        const std::string before = nameInFolder(sessions[first - 1]);
        if (before.empty() || before > batch->Entries.front().Name)
            outOfOrder = true;
    }
    appendListed(batch->Entries);
    emit Progress(batch->Done, batch->Total);
}

void ArchiveSync::appendListed(std::vector<SessionListEntry> &entries)
{
    const int first = static_cast<int>(sessions.Count());
    for (SessionListEntry &entry : entries)
        sessions.Add(ListedSession(std::move(entry.Fields), PathInFolder(folder, entry.Name), context));
    if (!entries.empty())
        pages.SessionsAppended(first, static_cast<int>(entries.size()));
}

void ArchiveSync::loaded()
{
    if (outOfOrder) {
        outOfOrder = false;
        std::vector<std::unique_ptr<TCLTSession>> all;
        all.reserve(sessions.Count());
        while (!sessions.Empty())
            all.push_back(sessions.Take(sessions.Count() - 1));
        std::reverse(all.begin(), all.end());
        // Stored sessions by name, which is by time; the rest keep their turn after them.
        std::stable_sort(all.begin(), all.end(), [this](const auto &a, const auto &b) {
            const std::string x = nameInFolder(*a);
            const std::string y = nameInFolder(*b);
            return !x.empty() && (y.empty() || x < y);
        });
        for (auto &session : all)
            sessions.Add(std::move(session));
        pages.RefillResultsAsBefore();
    }
    watcher = new ArchiveWatcher(
        dataFolder, [this] { return knownNames(); }, this);
    if (checkIntervalMs >= 0)
        watcher->SetInterval(checkIntervalMs);
    connect(watcher, &ArchiveWatcher::Changed, this, &ArchiveSync::changed);
    watcher->Start();
    emit Loaded();
}

std::vector<std::string> ArchiveSync::knownNames() const
{
    std::vector<std::string> names;
    names.reserve(sessions.Count());
    for (const auto &session : sessions) {
        std::string name = nameInFolder(*session);
        if (!name.empty())
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

void ArchiveSync::changed(const std::shared_ptr<SessionFolderChanges> &changes)
{
    // Checked again: this window may have saved or deleted a session while
    // the folder was being listed.
    std::unordered_set<std::string> known;
    known.reserve(sessions.Count());
    for (const auto &session : sessions)
        known.insert(nameInFolder(*session));
    for (const std::string &name : changes->Vanished) {
        for (std::size_t i = sessions.Count(); i-- > 0;) {
            if (nameInFolder(sessions[i]) == name) {
                pages.RemoveSession(static_cast<int>(i));
                break;
            }
        }
    }
    std::vector<SessionListEntry> fresh;
    for (SessionListEntry &entry : changes->Added)
        if (!known.count(entry.Name))
            fresh.push_back(std::move(entry));
    appendListed(fresh);
}
