#pragma once

#include "ArchiveLoader.h"
#include "SessionArchive.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstddef>

class QTimer;

// Drives the archive loader from the event loop: one slice of reading per
// turn, so the window stays responsive while a large archive loads. It is
// the program's start-up pass, so stale temporaries of interrupted saves
// are removed.
class ArchiveLoadDriver : public QObject {
    Q_OBJECT
public:
    ArchiveLoadDriver(QString dataFolder, TCLTArchive &archive, SessionContext context, QObject *parent = nullptr);
    ~ArchiveLoadDriver() override;

    // Milliseconds of reading per turn (at least one file a turn); 0 reads one file a turn.
    void SetSlice(int ms) { sliceMs = ms; }
    // Lists the folder and starts the turns. False when there is nothing to
    // read; then no signal follows.
    bool Start();
    // Stops between two files; what was read stays in the archive.
    void Stop();
    std::size_t Total() const;
    // Names of the damaged files that were not loaded.
    QStringList Damaged() const;

signals:
    void Progress(std::size_t read, std::size_t total);
    void Finished();

private:
    void Turn();

    ArchiveLoader loader;
    int sliceMs = 30;
    QTimer *timer = nullptr;
};
