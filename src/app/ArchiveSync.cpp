#include "ArchiveSync.h"

#include "ArchiveLoadDriver.h"
#include "ArchiveWatcher.h"
#include "PageHooks.h"
#include "SessionListFields.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
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
    : QObject(parent), dataFolder(std::move(dataFolder)), folder(this->dataFolder.toStdString()),
      folderPrefix(PathInFolder(folder, {})), sessions(sessions), pages(pages)
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

std::string_view ArchiveSync::nameInFolder(const TCLTSession &session) const
{
    // Asked of every session at each check: compared, not parsed as a path.
    const std::string_view path = session.SourceFile;
    if (path.size() <= folderPrefix.size() || path.substr(0, folderPrefix.size()) != folderPrefix)
        return {};
    const std::string_view name = path.substr(folderPrefix.size());
    return name.find('/') == std::string_view::npos ? name : std::string_view();
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
        const std::string_view before = nameInFolder(sessions[first - 1]);
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
            const std::string_view x = nameInFolder(*a);
            const std::string_view y = nameInFolder(*b);
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
        const std::string_view name = nameInFolder(*session);
        if (!name.empty())
            names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void ArchiveSync::changed(const std::shared_ptr<SessionFolderChanges> &changes)
{
    for (const std::string &name : changes->Vanished) {
        for (std::size_t i = sessions.Count(); i-- > 0;) {
            if (nameInFolder(sessions[i]) == name) {
                pages.RemoveSession(static_cast<int>(i));
                break;
            }
        }
    }
    // Checked again: this window may have saved a session while the folder
    // was being listed. (Views into the sessions: taken after the removals.)
    std::unordered_set<std::string_view> known;
    known.reserve(sessions.Count());
    for (const auto &session : sessions)
        known.insert(nameInFolder(*session));
    std::vector<SessionListEntry> fresh;
    for (SessionListEntry &entry : changes->Added)
        if (!known.count(entry.Name))
            fresh.push_back(std::move(entry));
    appendListed(fresh);
}
