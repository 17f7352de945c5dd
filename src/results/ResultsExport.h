#pragma once

#include "TCLTSession.h"

#include <QString>

#include <functional>

class QWidget;
class StationContext;

// A session's report handed on: to the clipboard, to the editor through a
// file in the temporary folder, or into a file the user names. The text has
// CR LF after every line; files are written in Windows-1251. Each returns
// whether it did its work, and does nothing without a session.
class ResultsExport {
public:
    // The context gives the date format of the report and the clock of the
    // editor file's name; it and the parent must outlive the export.
    ResultsExport(QWidget *dialogParent, const StationContext &context);

    void SetContext(const StationContext &value) { context = &value; }
    // Seams: the folder of the editor file and how a file is opened with its
    // associated program.
    void SetTemporaryFolder(const QString &folder) { temporaryFolder = folder; }
    void SetFileOpener(std::function<bool(const QString &)> opener) { openFile = std::move(opener); }

    // The report as the session report gives it; empty without a session.
    QString ReportText(const TCLTSession *session) const;

    bool Copy(const TCLTSession *session) const;
    bool HandToEditor(const TCLTSession *session);
    bool SaveToFile(const TCLTSession *session);

private:
    QString reportForExport(const TCLTSession *session) const;
    // Warns about a file that could not be written.
    bool write(const QString &path, const QString &report);

    QWidget *dialogParent;
    const StationContext *context;
    QString temporaryFolder;
    std::function<bool(const QString &)> openFile;
};
