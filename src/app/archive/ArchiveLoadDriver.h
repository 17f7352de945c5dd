#pragma once

#include "core/SessionListIndex.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Reads the session list on a worker thread (shown from the station's index
// first, then checked against the folder; without an index the files are
// read several at once) and hands its batches to the
// window's thread, so the window stays responsive whatever the archive's
// size. It is the program's start-up pass, so stale temporaries of
// interrupted saves are removed.
class ArchiveLoadDriver : public QObject {
    Q_OBJECT
public:
    // The longest the window's thread spends taking in batches before it
    // lets input and painting in.
    static constexpr int SliceMs = 8;

    ArchiveLoadDriver(const QString &dataFolder, const QString &indexPath, QObject *parent = nullptr);
    ~ArchiveLoadDriver() override;

    // Entries per batch after the first ones; tests make it small.
    void SetBatchEntries(std::size_t entries) { batchEntries = entries; }
    // The budget of one go of taking in batches (0: one batch a go).
    void SetSliceMs(int ms) { sliceMs = ms; }
    void Start();
    // Stops the worker and waits for it; no batch follows.
    void Stop();
    bool Running() const { return running; }
    // The files listed, with their stamps, in name order; whole once Finished.
    std::vector<KnownFile> TakeListedFiles() { return std::move(listedFiles); }

signals:
    // In name order, each entry once; the receiver may move from it.
    void BatchRead(const std::shared_ptr<SessionListBatch> &batch);
    // After the batches taken in at one go, before the window's thread
    // turns to other events: the time to show them.
    void BatchesTaken();
    // After every batch, when the list came from the station's index: what
    // the folder showed different from it, as one set (the receiver may
    // move from it).
    void ChangesRead(const std::shared_ptr<SessionFolderChanges> &changes);
    void Finished();

private:
    void post();
    void drain();
    void finish();

    std::string folder;
    std::string indexPath;
    std::size_t batchEntries = 2000;
    int sliceMs = SliceMs;
    std::atomic<bool> stop{false};
    std::thread worker;
    bool running = false;
    std::mutex queueMutex; // guards the three below
    struct Item {
        std::shared_ptr<SessionListBatch> Batch;
        std::shared_ptr<SessionFolderChanges> Changes;
    };
    std::deque<Item> queue;
    bool drainPosted = false;
    bool workerDone = false;
    std::vector<KnownFile> listedFiles; // the worker's until it is done
};
