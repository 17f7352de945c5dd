#include "ArchiveLoadDriver.h"

#include <QElapsedTimer>
#include <QTimer>

ArchiveLoadDriver::ArchiveLoadDriver(QString dataFolder, TCLTArchive &archive, SessionContext context,
                                     QObject *parent)
    : QObject(parent), dataFolder(std::move(dataFolder)), archive(archive), context(std::move(context))
{
}

ArchiveLoadDriver::~ArchiveLoadDriver() = default;

bool ArchiveLoadDriver::Start()
{
    files.clear();
    next = 0;
    try {
        files = ListSessionFiles(dataFolder.toStdString());
    } catch (const std::exception &) {
    }
    if (files.empty())
        return false;
    archive.Reserve(archive.Count() + files.size());
    timer = new QTimer(this);
    timer->setInterval(0);
    connect(timer, &QTimer::timeout, this, &ArchiveLoadDriver::Turn);
    timer->start();
    return true;
}

bool ArchiveLoadDriver::Running() const { return timer && timer->isActive(); }

void ArchiveLoadDriver::Stop()
{
    if (timer)
        timer->stop();
}

std::size_t ArchiveLoadDriver::Total() const { return files.size(); }

QStringList ArchiveLoadDriver::Damaged() const { return damaged; }

void ArchiveLoadDriver::Turn()
{
    // About 30 ms of reading per turn: short enough for input and repaints to
    // feel immediate, long enough that the event loop and the status bar do
    // not cost more than the files themselves.
    QElapsedTimer slice;
    slice.start();
    const std::string folder = (dataFolder + QLatin1Char('/')).toStdString();
    std::string path;
    while (next < files.size()) {
        path.assign(folder).append(files[next++]);
        try {
            LoadSessionFile(path, archive, context);
        } catch (const std::exception &) {
            damaged << QString::fromStdString(files[next - 1]);
        }
        if (slice.elapsed() >= sliceMs)
            break;
    }
    emit Progress(next, files.size());
    if (next >= files.size()) {
        timer->stop();
        emit Finished();
    }
}
