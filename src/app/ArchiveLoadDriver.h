#pragma once

#include "SessionArchive.h"
#include "SessionListIndex.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstddef>
#include <thread>

// Reads the session list on a worker thread (the station's index first, the
// files it does not know several at once) and appends a listed session per
// entry to the archive in the window's thread, a batch at a time, so the
// window stays responsive whatever the archive's size. It is the program's
// start-up pass, so stale temporaries of interrupted saves are removed.
class ArchiveLoadDriver : public QObject {
    Q_OBJECT
public:
    ArchiveLoadDriver(QString dataFolder, QString indexPath, TCLTArchive &archive, SessionContext context,
                      QObject *parent = nullptr);
    ~ArchiveLoadDriver() override;

    // Entries per batch after the first ones; tests make it small.
    void SetBatchEntries(std::size_t entries) { batchEntries = entries; }
    void Start();
    // Stops the worker and waits for it; what was appended stays.
    void Stop();
    bool Running() const { return running; }
    // Names of the damaged files that were not listed.
    QStringList Damaged() const { return damaged; }

signals:
    // Sessions appended at these archive positions.
    void SessionsAdded(int firstPosition, int count);
    void Progress(std::size_t done, std::size_t total);
    void Finished();

private:
    void take(SessionListBatch &batch);
    void finish();

    std::string folder;
    std::string indexPath;
    TCLTArchive &archive;
    SessionContext context;
    std::size_t batchEntries = 2000;
    std::atomic<bool> stop{false};
    std::thread worker;
    bool running = false;
    bool reserved = false;
    QStringList damaged;
};
