#pragma once

#include "core/TCLTSession.h"
#include "testing/ColourTables.h"

#include <QLocale>
#include <QSizeF>
#include <QString>

#include <memory>

class QTextDocument;

// What the printed report needs besides the session.
struct ReportLook {
    QString DateTimeFormat; // date and time of the heading and birth dates' date part
    QString DateFormat;
    ColourSet Colours = DefaultColours;
    // Month and day names in dates: Russian, whatever the system's locale.
    QLocale Locale = QLocale(QLocale::Russian, QLocale::Russia);
    // Who signs the report and for whom; each printed only when set.
    QString Examiner;
    QString Organisation;
    // The day the report is made, printed above the signature line; 0 leaves
    // the date out.
    OleDate ReportDate = 0;
};

// The printed report of a session: the heading (organisation, test, date,
// duration), the person, the choices as rows of swatches with their marks
// (and the full test's grid), the three conclusions under their titles with
// the conclusions' own section headings in bold, then the date of the report,
// the examiner and a line to sign on. Laying it out needs a Gui application;
// the plain text does not. Laid out for
// an A4 page with 15 mm margins (the printer's page when printed); the printer, the PDF writer and the text
// output all take this one document, so they cannot drift apart.
std::unique_ptr<QTextDocument> BuildReportDocument(const TCLTSession &session, const ReportLook &look);

// The same report as plain text, lines ending in LF.
QString ReportPlainText(const TCLTSession &session, const ReportLook &look);

// The test's full name ("Полный цветовой тест ..."), for headings and subjects.
QString ReportTestName(int kind);

// The A4 page of the report less its margins, in the layout's pixels: the
// document's page size until a printer lays it out on its own page.
QSizeF ReportPageSize();

// Moves every heading (a block with a heading level) whose following text
// starts on a later page to that page, so no heading stands alone at the foot
// of a page; breaks it set for an earlier page size are taken back first.
// Needs the document's page size; run after each change of it.
void KeepHeadingsWithTheirText(QTextDocument &document);
