#include "ArchiveWatcher.h"

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
    std::vector<KnownFile> known = knownNames();
    worker = std::thread([this, check = folderCheck, known = std::move(known)] {
        auto changes = std::make_shared<SessionFolderChanges>();
        try {
            // A folder out of reach now (or a share unmounted under it)
            // changes nothing; the next check tries again.
            const auto device = deviceOf(folder);
            const auto seen = device ? mount.Check(*device, !known.empty()) : FolderMount::Seen::Same;
            watchAnew = seen == FolderMount::Seen::Returned;
            auto found = seen == FolderMount::Seen::Away ? std::nullopt : check(folder, known);
            if (found)
                *changes = std::move(*found);
        } catch (const std::exception &) {
            changes = std::make_shared<SessionFolderChanges>();
        }
        QMetaObject::invokeMethod(
            this, [this, changes] { checkFinished(changes); }, Qt::QueuedConnection);
    });
}

void ArchiveWatcher::checkFinished(const std::shared_ptr<SessionFolderChanges> &changes)
{
    join();
    checking = false;
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
