#include "ArchiveLoadDriver.h"

#include "SessionListFields.h"

#include <QFileInfo>
#include <QMetaObject>

#include <memory>

ArchiveLoadDriver::ArchiveLoadDriver(QString dataFolder, QString indexPath, TCLTArchive &archive,
                                     SessionContext context, QObject *parent)
    : QObject(parent), folder(dataFolder.toStdString()), indexPath(indexPath.toStdString()), archive(archive),
      context(std::move(context))
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
            this, [this, held] { take(*held); }, Qt::QueuedConnection);
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

void ArchiveLoadDriver::take(SessionListBatch &batch)
{
    if (!running)
        return;
    for (const std::string &path : batch.Skipped)
        damaged << QFileInfo(QString::fromStdString(path)).fileName();
    const int first = static_cast<int>(archive.Count());
    if (!reserved) {
        archive.Reserve(archive.Count() + batch.Total);
        reserved = true;
    }
    for (SessionListEntry &entry : batch.Entries)
        archive.Add(ListedSession(std::move(entry.Fields), PathInFolder(folder, entry.Name), context));
    if (!batch.Entries.empty())
        emit SessionsAdded(first, static_cast<int>(batch.Entries.size()));
    emit Progress(batch.Done, batch.Total);
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
