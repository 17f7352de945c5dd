#pragma once

#include "SessionArchive.h"
#include "SessionListIndex.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <string_view>

class ArchiveLoadDriver;
class ArchiveWatcher;
class PageHooks;

// Lets the heap grow in large steps: the start-up pass makes one small
// allocation after another for every session of the archive, and growing by
// the default 128 KB costs hundreds of system calls on a large archive. Call
// once, before the window is made.
void PrepareHeapForArchive();

// Keeps the archive and the results list in step with the session folder:
// the start-up pass lists it (from the station's index where it can), then
// sessions that other stations write or delete are taken in while the
// window runs.
class ArchiveSync : public QObject {
    Q_OBJECT
public:
    ArchiveSync(QString dataFolder, TCLTArchive &sessions, PageHooks &pages, QObject *parent = nullptr);
    ~ArchiveSync() override;

    // Where this station keeps the index of that session folder.
    static QString IndexPath(const QString &dataFolder);

    // Seams for tests: entries per batch, milliseconds between listings.
    void SetBatchEntries(std::size_t entries) { batchEntries = entries; }
    void SetCheckInterval(int ms);

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

private:
    void batchRead(const std::shared_ptr<SessionListBatch> &batch);
    // Appends a listed session per entry (moved from) and lists them.
    void appendListed(std::vector<SessionListEntry> &entries);
    void loaded();
    void changed(const std::shared_ptr<SessionFolderChanges> &changes);
    // Names of the stored sessions of the folder the archive holds, sorted.
    std::vector<std::string> knownNames() const;
    // The stored session's name in the folder, or empty for any other.
    std::string_view nameInFolder(const TCLTSession &session) const;

    QString dataFolder;
    std::string folder;
    std::string folderPrefix; // a session file's path up to its name
    TCLTArchive &sessions;
    PageHooks &pages;
    SessionContext context;
    std::size_t batchEntries = 2000;
    int checkIntervalMs = -1;
    ArchiveLoadDriver *driver = nullptr;
    ArchiveWatcher *watcher = nullptr;
    bool outOfOrder = false; // a session was appended amid the pass
    QStringList damaged;
};
