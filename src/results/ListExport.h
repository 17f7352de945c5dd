#pragma once

#include "ResearchCsv.h"
#include "TCLTSession.h"

#include <QString>

#include <string>
#include <vector>

class QWidget;

// The research table of a list of sessions (see ResearchCsv) written to a
// file the user named: all or nothing, through a temporary file renamed into
// place. A list long enough to take a moment shows its progress and can be
// cancelled; a failure is told to the user in Russian with its reason, and
// the file is then left as it was.
class ListExport {
public:
    // Sessions from this many on show a progress dialog under the parent.
    static constexpr std::size_t ProgressFrom = 200;

    ListExport(QWidget *dialogParent, std::string decimalSeparator);

    // True when the file was written.
    bool Write(const std::vector<const TCLTSession *> &sessions, const QString &path);
    // The same from sessions taken one at a time (see WriteResearchCsv).
    bool Write(std::size_t count, const CsvSessionSource &sessionAt, const QString &path);
    // Sessions of the results list, some holding only their list fields: the
    // rest of each is read from its file in turn, so a large list is never
    // whole in memory at once. Sessions whose files cannot be read are left
    // out and named to the user afterwards.
    bool WriteListed(const std::vector<const TCLTSession *> &sessions, const QString &path);

    // Name-free: a person code instead of names and birth dates.
    void SetPersonCode(CsvPersonCode code) { personCode = std::move(code); }

    // Why a file could not be written, in the user's words.
    static QString FailureReason(const QString &path, const QString &writerReason);

private:
    QWidget *dialogParent;
    std::string decimalSeparator;
    CsvPersonCode personCode;
};
