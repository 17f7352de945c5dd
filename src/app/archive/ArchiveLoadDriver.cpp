#include "app/archive/ArchiveLoadDriver.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>

#include <utility>

ArchiveLoadDriver::ArchiveLoadDriver(const QString &dataFolder, const QString &indexPath, QObject *parent)
    : QObject(parent), folder(dataFolder.toStdString()), indexPath(indexPath.toStdString())
{
}

ArchiveLoadDriver::~ArchiveLoadDriver() { Stop(); }

void ArchiveLoadDriver::Start()
{
    if (running || worker.joinable())
        return;
    running = true;
    SessionListOptions options;
    options.RemoveStaleTemporaries = true;
    options.BatchEntries = batchEntries;
    options.Stop = &stop;
    // Batches wait in a queue that one posted call empties: many batches
    // queued while the window was busy are not each a call of their own.
    // The index's rows come as tables, before the folder is listed.
    options.BatchRows = true;
    options.OnBatch = [this](SessionListBatch &&batch) {
        for (const SessionListEntry &entry : batch.Entries)
            listedFiles.push_back({entry.Name, entry.Stamp});
        auto held = std::make_shared<SessionListBatch>(std::move(batch));
        const std::lock_guard lock(queueMutex);
        queue.push_back({std::move(held), nullptr});
        post();
    };
    // The rows' files, once the rows are handed on.
    options.OnKnown = [this](std::vector<KnownFile> &&known) { listedFiles = std::move(known); };
    options.OnChanges = [this](SessionFolderChanges &&changes) {
        listedFiles = FilesAfter(std::move(listedFiles), changes);
        auto held = std::make_shared<SessionFolderChanges>(std::move(changes));
        const std::lock_guard lock(queueMutex);
        queue.push_back({nullptr, std::move(held)});
        post();
    };
    worker = std::thread([this, options] {
        try {
            // An index that cannot be written costs the next start time, never a session.
            LoadSessionList(folder, indexPath, options);
        } catch (const std::exception &) {
            // A failure outside any one file ends the pass with what was handed on.
        }
        const std::lock_guard lock(queueMutex);
        workerDone = true;
        post();
    });
}

void ArchiveLoadDriver::post()
{
    if (drainPosted)
        return;
    drainPosted = true;
    // Queued to this object: a call posted after Stop is dropped with it.
    QMetaObject::invokeMethod(
        this, [this] { drain(); }, Qt::QueuedConnection);
}

void ArchiveLoadDriver::drain()
{
    QElapsedTimer spent;
    spent.start();
    bool took = false;
    for (;;) {
        Item item;
        bool done = false;
        {
            const std::lock_guard lock(queueMutex);
            if (!running) {
                // Stopped by a receiver: what it took in is still shown.
                if (took)
                    emit BatchesTaken();
                return;
            }
            if (queue.empty()) {
                drainPosted = false;
                done = workerDone;
            } else {
                item = std::move(queue.front());
                queue.pop_front();
            }
        }
        if (item.Changes) {
            // The list is shown whole before the changes are laid over it.
            if (std::exchange(took, false))
                emit BatchesTaken();
            emit ChangesRead(item.Changes);
            continue;
        }
        if (!item.Batch) {
            if (took)
                emit BatchesTaken();
            if (done)
                finish();
            return;
        }
        emit BatchRead(item.Batch);
        took = true;
        if (spent.elapsed() >= sliceMs) {
            emit BatchesTaken();
            // After what waits (input, painting); drainPosted stays set.
            QTimer::singleShot(0, this, &ArchiveLoadDriver::drain);
            return;
        }
    }
}

void ArchiveLoadDriver::Stop()
{
    stop = true;
    if (worker.joinable())
        worker.join();
    const std::lock_guard lock(queueMutex);
    running = false;
    queue.clear();
}

void ArchiveLoadDriver::finish()
{
    if (!running)
        return;
    if (worker.joinable())
        worker.join();
    running = false;
    emit Finished();
}
