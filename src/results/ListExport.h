#pragma once

#include "core/ArchiveList.h"
#include "core/ListedRow.h"
#include "core/TCLTSession.h"
#include "interpretation/ResearchCsv.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class QWidget;

// The research table of the results list written to a file the user named
// (see ExportResearchCsv): the session files are read by several threads
// while the window keeps painting and answering, rows go to the file as they
// come, and the file is put in place whole at the end. A list long enough to
// take a moment shows its progress and can be cancelled; a failure is told
// to the user in Russian with its reason, and the file is then left as it
// was.
class ListExport {
public:
    // Sessions from this many on show a progress dialog under the parent.
    static constexpr std::size_t ProgressFrom = 200;

    ListExport(QWidget *dialogParent, std::string decimalSeparator);

    // True when the file was written. Sessions holding only their list
    // fields are read from their files; sessions whose files cannot be read
    // are left out and named to the user afterwards. Only what each session
    // is read by is taken from it before the export starts, so the archive
    // may change while it runs.
    bool WriteListed(const ArchiveList &list, const std::vector<std::size_t> &positions, const QString &path);
    bool WriteListed(const std::vector<const TCLTSession *> &sessions, const QString &path);

    // Name-free: a person code instead of names and birth dates. Called
    // from the reading threads.
    void SetPersonCode(CsvPersonCode code) { personCode = std::move(code); }
    // A seam for tests: called on a reading thread before row i is read.
    void SetBeforeRead(std::function<void(std::size_t i)> hook) { beforeRead = std::move(hook); }

    // Why a file could not be written, in the user's words.
    static QString FailureReason(const QString &path, const QString &writerReason);

private:
    class Sources; // what each row is read from
    bool write(const Sources &sources, const QString &path);

    QWidget *dialogParent;
    std::string decimalSeparator;
    CsvPersonCode personCode;
    std::function<void(std::size_t)> beforeRead;
};
