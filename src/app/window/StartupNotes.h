#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Problems found while the program starts (settings, stimulus sets, damaged
// session files, recovered sessions): the administrator's to mend, so they
// are told once in administrator mode and never to a tested person.
class StartupNotes {
public:
    StartupNotes &operator<<(const QString &note);
    StartupNotes &operator<<(const QStringList &notes);
    void SetDamagedFiles(const QStringList &names, const QString &dataFolder);
    // Damaged files found later (read whole in the background, or written
    // meanwhile); the next ReportOnce tells those not told yet.
    void AddDamagedFiles(const QStringList &names);
    const QStringList &DamagedFiles() const { return damaged; }

    // False, with a note, when the stimulus-set file is too large to read.
    bool StimulusFileReadable(const QString &path);

    // Shows every note once; later calls show nothing new. The damaged
    // files are shown once they are known (the archive is listed meanwhile),
    // each once.
    void ReportOnce(QWidget *parent);

private:
    QStringList notes;
    QStringList damaged;
    QString folder;
    bool notesReported = false;
    bool damagedKnown = false;
    qsizetype damagedShown = 0;
};
