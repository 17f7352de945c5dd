#pragma once

#include "core/ArchiveList.h"
#include "core/SessionListIndex.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>

class ArchiveLoadDriver;
class ArchiveWatcher;
class WholeFileCheck;

// Lets the heap grow in large steps: the start-up pass makes one small
// allocation after another for every session of the archive, and growing by
// the default 128 KB costs hundreds of system calls on a large archive. Call
// once, before the window is made.
void PrepareHeapForArchive();

// Keeps the archive's list in step with the session folder: the start-up
// pass lists it (from the station's index where it can), then sessions that
// other stations write or delete are taken in while the window runs. Each
// batch and each set of changes reaches the list as one change; the list
// tells its listeners (the results list, the testing page's count).
class ArchiveSync : public QObject {
    Q_OBJECT
public:
    ArchiveSync(QString dataFolder, ArchiveList &sessions, QObject *parent = nullptr);
    ~ArchiveSync() override;

    // Where this station keeps the index of that session folder.
    static QString IndexPath(const QString &dataFolder);

    // The least time between two progress reports while the list fills: a
    // repaint per batch is what made filling the list slow.
    static constexpr int ProgressMs = 100;

    // Seams for tests: entries per batch, milliseconds between listings.
    void SetBatchEntries(std::size_t entries) { batchEntries = entries; }
    void SetCheckInterval(int ms);
    // How the device of the folder is found (a share unmounted under it).
    void SetDeviceProbe(std::function<std::optional<std::uint64_t>(const std::string &)> probe);

    // Starts the start-up pass; the folder is watched once it ends.
    void Start(const SessionContext &context);
    // Ends the pass and the watching; what was read stays.
    void Stop();
    bool Loading() const;
    // Names of damaged files the start-up pass did not list.
    QStringList Damaged() const { return damaged; }
    // Compares the folder with the list now.
    void CheckNow();

signals:
    void Progress(std::size_t done, std::size_t total);
    void Loaded();
    // Damaged files found after the pass: new or changed files read whole
    // in the background, and damaged files another station wrote.
    void DamageFound(const QStringList &names);

private:
    void batchRead(const std::shared_ptr<SessionListBatch> &batch);
    // Lists the sessions of the batches taken at one go as one change, and
    // tells the progress at most every ProgressMs.
    void batchesTaken();
    // What the folder showed different from the index the list came from.
    void changesRead(const std::shared_ptr<SessionFolderChanges> &changes);
    // Lists a row per entry.
    void appendListed(const std::vector<SessionListEntry> &entries);
    // Batches read meanwhile wait here (moved from) and reach the list as one change.
    void listLater(std::vector<SessionListEntry> &entries);
    void listWaiting();
    void loaded();
    void changed(const std::shared_ptr<SessionFolderChanges> &changes);
    // The session list takes in the changes as one set (moved from).
    void applyChanges(SessionFolderChanges &changes);
    // The stored sessions of the folder the archive holds, by name.
    std::vector<KnownFile> knownNames() const;
    // The stored session's name in the folder, or empty for any other.
    std::string_view nameInFolder(const ListedRow &row) const { return NameInFolder(row, folderPrefix); }

    QString dataFolder;
    std::string folder;
    std::string folderPrefix; // a session file's path up to its name
    ArchiveList &sessions;
    SessionContext context;
    std::size_t batchEntries = 2000;
    int checkIntervalMs = -1;
    std::function<std::optional<std::uint64_t>(const std::string &)> deviceProbe;
    ArchiveLoadDriver *driver = nullptr;
    ArchiveWatcher *watcher = nullptr;
    WholeFileCheck *wholeCheck = nullptr;
    std::vector<std::string> toCheck; // paths read by the pass from their files
    bool outOfOrder = false;          // a session was appended amid the pass
    // Entries and rows the pass read that the list has not taken yet.
    std::vector<SessionListEntry> waiting;
    ListedTable waitingRows;
    std::size_t progressDone = 0;
    std::size_t progressTotal = 0;
    QElapsedTimer sinceProgress;
    QStringList damaged;
};
