#pragma once

#include "SessionListIndex.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstddef>
#include <memory>
#include <thread>

// Reads the session list on a worker thread (the station's index first, the
// files it does not know several at once) and hands its batches to the
// window's thread, so the window stays responsive whatever the archive's
// size. It is the program's start-up pass, so stale temporaries of
// interrupted saves are removed.
class ArchiveLoadDriver : public QObject {
    Q_OBJECT
public:
    ArchiveLoadDriver(QString dataFolder, QString indexPath, QObject *parent = nullptr);
    ~ArchiveLoadDriver() override;

    // Entries per batch after the first ones; tests make it small.
    void SetBatchEntries(std::size_t entries) { batchEntries = entries; }
    void Start();
    // Stops the worker and waits for it; no batch follows.
    void Stop();
    bool Running() const { return running; }

signals:
    // In name order, each entry once; the receiver may move from it.
    void BatchRead(const std::shared_ptr<SessionListBatch> &batch);
    void Finished();

private:
    void finish();

    std::string folder;
    std::string indexPath;
    std::size_t batchEntries = 2000;
    std::atomic<bool> stop{false};
    std::thread worker;
    bool running = false;
};
