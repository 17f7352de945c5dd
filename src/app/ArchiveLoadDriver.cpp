#include "ArchiveLoadDriver.h"

#include <QFileInfo>
#include <QTimer>

#include <chrono>

ArchiveLoadDriver::ArchiveLoadDriver(QString dataFolder, TCLTArchive &archive, SessionContext context, QObject *parent)
    : QObject(parent), loader(dataFolder.toStdString(), archive, std::move(context), true)
{
}

ArchiveLoadDriver::~ArchiveLoadDriver() = default;

bool ArchiveLoadDriver::Start()
{
    try {
        loader.Start();
    } catch (const std::exception &) {
        return false;
    }
    if (loader.Done())
        return false;
    timer = new QTimer(this);
    timer->setInterval(0);
    connect(timer, &QTimer::timeout, this, &ArchiveLoadDriver::Turn);
    timer->start();
    return true;
}

void ArchiveLoadDriver::Stop()
{
    if (timer)
        timer->stop();
}

std::size_t ArchiveLoadDriver::Total() const { return loader.Total(); }

QStringList ArchiveLoadDriver::Damaged() const
{
    QStringList names;
    for (const std::string &path : loader.Skipped())
        names << QFileInfo(QString::fromStdString(path)).fileName();
    return names;
}

void ArchiveLoadDriver::Turn()
{
    // About 30 ms of reading per turn: short enough for input and repaints to
    // feel immediate, long enough that the event loop and the status bar do
    // not cost more than the files themselves.
    bool done = true;
    try {
        done = loader.LoadFor(std::chrono::milliseconds(sliceMs));
    } catch (const std::exception &) {
        // A failure outside any one file ends the pass with what was read.
    }
    emit Progress(loader.Read(), loader.Total());
    if (done) {
        timer->stop();
        emit Finished();
    }
}
