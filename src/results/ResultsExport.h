#pragma once

#include "core/TCLTSession.h"
#include "interpretation/MailLink.h"
#include "report/ReportDocument.h"
#include "testing/ColourTables.h"

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;
class StationContext;

// A session's report handed on: to the clipboard, to the editor through a
// file in the temporary folder, or into a file the user names. The text has
// CR LF after every line; files are written in Windows-1251. Each returns
// whether it did its work, and does nothing without a session. A file the
// system cannot open is reported to the user with its path.
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
    // How a mailto: link is handed to the user's mail program.
    void SetUrlOpener(std::function<bool(const QUrl &)> opener) { openUrl = std::move(opener); }
    // Colours of the printed swatches, as last applied from the preferences.
    void SetColours(const ColourSet &value) { colours = value; }
    // Who signs the printed report and for which organisation, as last
    // applied from the preferences; empty ones are left out.
    void SetSigner(const QString &examinerName, const QString &organisationName)
    {
        examiner = examinerName;
        organisation = organisationName;
    }

    // The report as the session report gives it; empty without a session.
    QString ReportText(const TCLTSession *session) const;

    bool Copy(const TCLTSession *session) const;
    bool HandToEditor(const TCLTSession *session);
    bool SaveToFile(const TCLTSession *session);

    // The printed report (see ReportDocument) shown in a print preview, sent
    // to a printer the user picks, or saved as a PDF file the user names.
    bool Preview(const TCLTSession *session);
    bool Print(const TCLTSession *session);
    bool SaveAsPdf(const TCLTSession *session);

    // A new message in the user's mail program: the subject names the test
    // and the person, the body is the report. A report whose link would be
    // too long (see MailLink.h) goes as a PDF saved in the temporary folder
    // for the user to attach, and the body says so.
    static constexpr int MailLinkLimit = static_cast<int>(::MailLinkLimit);
    bool SendByMail(const TCLTSession *session);
    // The mailto: link of the message, with the PDF named when the report did
    // not fit (an empty pdfPath means it fitted).
    QUrl MailLink(const TCLTSession &session, QString *pdfPath);

private:
    QString reportForExport(const TCLTSession *session) const;
    // Warns about a file that could not be written.
    bool write(const QString &path, const QString &report);
    ReportLook look() const;
    // PalettorResults_ and the clock's stamp: two exports of one second
    // share it.
    QString temporaryFile(const QString &extension) const;

    QWidget *dialogParent;
    const StationContext *context;
    QString temporaryFolder;
    std::function<bool(const QString &)> openFile;
    std::function<bool(const QUrl &)> openUrl;
    ColourSet colours = DefaultColours;
    QString examiner;
    QString organisation;
};
