#pragma once

#include "report/ReportDocument.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QTextDocument;

// A4, portrait, 15 mm margins: the report's page until the user picks another.
void SetReportPageLayout(QPagedPaintDevice &device);

// Lays the report out on the device's own pages and paints it, breaking long
// texts across pages.
void PrintReportDocument(QTextDocument &document, QPagedPaintDevice &device);

// A PDF in memory on the report's page (A4, 300 dpi), painted by paint.
QByteArray PdfBytes(const QString &title, const std::function<void(QPagedPaintDevice &)> &paint);

// The report as a PDF: A4, fonts embedded so every letter shows on any
// machine.
QByteArray ReportPdfBytes(const TCLTSession &session, const ReportLook &look);

// Writes the PDF through a temporary file renamed into place; false with the
// reason when it could not be written.
bool WriteReportPdf(const TCLTSession &session, const ReportLook &look, const QString &path, QString *error);
