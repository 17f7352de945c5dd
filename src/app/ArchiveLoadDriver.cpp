#include "ArchiveLoadDriver.h"

#include <QMetaObject>

ArchiveLoadDriver::ArchiveLoadDriver(QString dataFolder, QString indexPath, QObject *parent)
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
    // Queued to this object: a batch posted after Stop is dropped with it.
    options.OnBatch = [this](SessionListBatch &&batch) {
        auto held = std::make_shared<SessionListBatch>(std::move(batch));
        QMetaObject::invokeMethod(
            this,
            [this, held] {
                if (running)
                    emit BatchRead(held);
            },
            Qt::QueuedConnection);
    };
    worker = std::thread([this, options] {
        try {
            // An index that cannot be written costs the next start time, never a session.
            LoadSessionList(folder, indexPath, options);
        } catch (const std::exception &) {
            // A failure outside any one file ends the pass with what was handed on.
        }
        QMetaObject::invokeMethod(
            this, [this] { finish(); }, Qt::QueuedConnection);
    });
}

void ArchiveLoadDriver::Stop()
{
    stop = true;
    if (worker.joinable())
        worker.join();
    running = false;
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
