#include "ArchiveWatcher.h"

#include <QFileSystemWatcher>
#include <QMetaObject>
#include <QTimer>

ArchiveWatcher::ArchiveWatcher(QString dataFolder, std::function<std::vector<std::string>()> knownNames,
                               QObject *parent)
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

void ArchiveWatcher::Start()
{
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
    std::vector<std::string> known = knownNames();
    worker = std::thread([this, check = folderCheck, known = std::move(known)] {
        auto changes = std::make_shared<SessionFolderChanges>();
        try {
            // A folder out of reach now changes nothing; the next check tries again.
            if (auto found = check(folder, known))
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
    // A folder removed and made again is watched anew.
    if (watcher->directories().isEmpty())
        watcher->addPath(QString::fromStdString(folder));
    if (!changes->Added.empty() || !changes->Vanished.empty())
        emit Changed(changes);
    if (again)
        CheckNow();
}

void ArchiveWatcher::join()
{
    if (worker.joinable())
        worker.join();
}
