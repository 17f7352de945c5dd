#include "app/archive/ArchiveWatcher.h"

#include <QFileSystemWatcher>
#include <QMetaObject>
#include <QTimer>

ArchiveWatcher::ArchiveWatcher(QString dataFolder, std::function<std::vector<KnownFile>()> knownNames, QObject *parent)
    : QObject(parent), folder(dataFolder.toStdString()), knownNames(std::move(knownNames)),
      folderCheck(CheckSessionFolder)
{
    interval = new QTimer(this);
    interval->setInterval(DefaultIntervalMs);
    connect(interval, &QTimer::timeout, this, &ArchiveWatcher::CheckNow);
    settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(500);
    connect(settle, &QTimer::timeout, this, &ArchiveWatcher::CheckNow);
    watcher = new QFileSystemWatcher(this);
    connect(watcher, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
}

ArchiveWatcher::~ArchiveWatcher() { join(); }

namespace {
std::uint64_t fingerprintOf(const std::vector<KnownFile> &files)
{
    std::uint64_t sum = 0;
    for (const KnownFile &file : files)
        sum += ArchiveWatcher::NameFingerprint(file.Name);
    return sum;
}
} // namespace

std::uint64_t ArchiveWatcher::NameFingerprint(std::string_view name)
{
    // Mixed again, so sums of the standard hash's values do not cancel.
    std::uint64_t h = std::hash<std::string_view>{}(name) + 0x9E3779B97F4A7C15ULL;
    h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ULL;
    h = (h ^ (h >> 27)) * 0x94D049BB133111EBULL;
    return h ^ (h >> 31);
}

void ArchiveWatcher::SetKnown(std::vector<KnownFile> files)
{
    join();
    knownFingerprint = fingerprintOf(files);
    known = std::move(files);
}

void ArchiveWatcher::SetListFingerprint(std::function<std::uint64_t()> fingerprint)
{
    listFingerprint = std::move(fingerprint);
}

void ArchiveWatcher::SetInterval(int ms) { interval->setInterval(ms); }

void ArchiveWatcher::SetFolderCheck(FolderCheck check)
{
    // A running check keeps the one it was started with.
    folderCheck = check ? std::move(check) : FolderCheck(CheckSessionFolder);
}

void ArchiveWatcher::SetDeviceProbe(std::function<std::optional<std::uint64_t>(const std::string &)> probe)
{
    join();
    deviceOf = std::move(probe);
}

void ArchiveWatcher::Start()
{
    // The list was read from the folder as it is now.
    if (const auto device = deviceOf(folder))
        mount.Listed(*device);
    // A folder that cannot be watched (or is missing now) is still listed at
    // each interval.
    watcher->addPath(QString::fromStdString(folder));
    interval->start();
}

void ArchiveWatcher::CheckNow()
{
    if (checking) {
        again = true;
        return;
    }
    join();
    checking = true;
    again = false;
    // The folder as last found, unless the list has become another (one
    // pass over its names, no copies); then the list's names, as the
    // window's own save may be gone from the folder by now.
    if (!known || (listFingerprint && listFingerprint() != knownFingerprint))
        known = knownNames();
    worker = std::thread([this, check = folderCheck, before = std::move(*known)]() mutable {
        auto changes = std::make_shared<SessionFolderChanges>();
        auto seen = std::make_shared<std::vector<KnownFile>>();
        std::uint64_t seenFingerprint = 0;
        try {
            // A folder out of reach now (or a share unmounted under it)
            // changes nothing; the next check tries again.
            const auto device = deviceOf(folder);
            const auto mounted = device ? mount.Check(*device, !before.empty()) : FolderMount::Seen::Same;
            watchAnew = mounted == FolderMount::Seen::Returned;
            auto found = mounted == FolderMount::Seen::Away ? std::nullopt : check(folder, before);
            if (found) {
                *changes = std::move(*found);
                *seen = FilesAfter(std::move(before), *changes);
            } else {
                *seen = std::move(before);
            }
        } catch (const std::exception &) {
            changes = std::make_shared<SessionFolderChanges>();
            *seen = std::move(before);
        }
        seenFingerprint = fingerprintOf(*seen);
        QMetaObject::invokeMethod(
            this, [this, changes, seen, seenFingerprint] { checkFinished(changes, *seen, seenFingerprint); },
            Qt::QueuedConnection);
    });
    known.reset(); // the worker's now
}

void ArchiveWatcher::checkFinished(const std::shared_ptr<SessionFolderChanges> &changes, std::vector<KnownFile> &seen,
                                   std::uint64_t seenFingerprint)
{
    join();
    checking = false;
    known = std::move(seen);
    knownFingerprint = seenFingerprint;
    // A folder removed and made again, or a share mounted again, is watched anew.
    if (watchAnew && !watcher->directories().isEmpty())
        watcher->removePaths(watcher->directories());
    if (watcher->directories().isEmpty())
        watcher->addPath(QString::fromStdString(folder));
    if (!changes->Added.empty() || !changes->Changed.empty() || !changes->Vanished.empty())
        emit Changed(changes);
    if (again)
        CheckNow();
}

void ArchiveWatcher::join()
{
    if (worker.joinable())
        worker.join();
}
