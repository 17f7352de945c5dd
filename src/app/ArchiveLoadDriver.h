#pragma once

#include "SessionArchive.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <string>
#include <vector>

class QTimer;

// Reads the Data folder into the archive in slices of the event loop's
// turns, so the window stays responsive while a large archive loads.
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
    bool Running() const;
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

    QString dataFolder;
    TCLTArchive &archive;
    SessionContext context;
    int sliceMs = 30;
    QTimer *timer = nullptr;
    std::vector<std::string> files;
    std::size_t next = 0;
    QStringList damaged;
};
