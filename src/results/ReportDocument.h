#pragma once

#include "ColourTables.h"
#include "TCLTSession.h"

#include <QSizeF>
#include <QString>

#include <memory>

class QTextDocument;

// What the printed report needs besides the session.
struct ReportLook {
    QString DateTimeFormat; // date and time of the heading and birth dates' date part
    QString DateFormat;
    ColourSet Colours = DefaultColours;
};

// The printed report of a session: the heading (test, date, duration), the
// person, the choices as rows of swatches with their marks (and the full
// test's grid), then the three conclusions under their titles. Laid out for
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
