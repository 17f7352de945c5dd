#pragma once

#include "core/FolderMount.h"
#include "core/SessionListIndex.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class QFileSystemWatcher;
class QTimer;

// Notices sessions that another station writes into, or deletes from, the
// shared session folder while the window runs. The folder is watched where
// the system can, and its listing is also compared at intervals, since
// changes made on a network folder by another machine are often not told.
// Listing and reading new files run on a worker thread.
class ArchiveWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultIntervalMs = 30000;

    // knownNames gives the files of the folder the list holds, in name
    // order; it is asked in the window's thread by the first check unless
    // SetKnown told them. Each check leaves the folder as it found it for the
    // next to compare with, on the worker thread: a check costs the window's
    // thread nothing but taking in what changed.
    ArchiveWatcher(QString dataFolder, std::function<std::vector<KnownFile>()> knownNames, QObject *parent = nullptr);
    // The files the list was read from (in name order), before the first check.
    void SetKnown(std::vector<KnownFile> known);
    // Tells, on the window's thread, the NamesFingerprint of the names the
    // list holds: when it is not that of the folder as last found (the
    // window saved or deleted a session of its own meanwhile), the next
    // check compares the folder with knownNames instead.
    void SetListFingerprint(std::function<std::uint64_t()> fingerprint);
    // The same for every order of the same names, different (but for a
    // 64-bit chance) for any other set.
    static std::uint64_t NameFingerprint(std::string_view name);
    ~ArchiveWatcher() override;

    void SetInterval(int ms);
    void Start();
    // Checks now unless a check is running (then one follows it).
    void CheckNow();
    // A seam for tests: how the device of the folder is found.
    void SetDeviceProbe(std::function<std::optional<std::uint64_t>(const std::string &)> probe);

    // How the worker compares the folder with the names known when the check
    // started (CheckSessionFolder by default). A seam for tests: theirs can
    // hold a check open while they change the folder or the list.
    using FolderCheck = std::function<std::optional<SessionFolderChanges>(const std::string &folder,
                                                                          const std::vector<KnownFile> &known)>;
    void SetFolderCheck(FolderCheck check);

signals:
    // Changes found by a check; a name may have been added or removed by the
    // window itself meanwhile, so the receiver checks again against its list.
    void Changed(const std::shared_ptr<SessionFolderChanges> &changes);

private:
    void checkFinished(const std::shared_ptr<SessionFolderChanges> &changes, std::vector<KnownFile> &seen,
                       std::uint64_t seenFingerprint);
    void join();

    std::string folder;
    std::function<std::vector<KnownFile>()> knownNames;
    // The folder as the last check found it; the worker has it while a check runs.
    std::optional<std::vector<KnownFile>> known;
    std::uint64_t knownFingerprint = 0;
    std::function<std::uint64_t()> listFingerprint;
    FolderCheck folderCheck;
    QFileSystemWatcher *watcher = nullptr;
    QTimer *interval = nullptr;
    QTimer *settle = nullptr; // a save touches the folder several times
    std::thread worker;
    bool checking = false;
    bool again = false;
    // Used by one check at a time; the folder is watched anew when a mount returns.
    FolderMount mount;
    std::function<std::optional<std::uint64_t>(const std::string &)> deviceOf = DeviceOf;
    bool watchAnew = false;
};
