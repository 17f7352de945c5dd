#include "ReportPdf.h"

#include "AtomicFile.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>

void SetReportPageLayout(QPagedPaintDevice &device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                     QPageLayout::Millimeter));
}

void PrintReportDocument(QTextDocument &document, QPagedPaintDevice &device)
{
    // Without a page size of its own the document is laid out anew on the
    // device's pages at the device's resolution.
    document.setPageSize(QSizeF());
    document.print(&device);
    document.setPageSize(ReportPageSize());
}

QByteArray ReportPdfBytes(const TCLTSession &session, const ReportLook &look)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Palettor"));
        writer.setTitle(QStringLiteral("Результаты тестирования"));
        SetReportPageLayout(writer);
        const auto document = BuildReportDocument(session, look);
        PrintReportDocument(*document, writer);
    } // the writer finishes the file when it goes
    return bytes;
}

bool WriteReportPdf(const TCLTSession &session, const ReportLook &look, const QString &path, QString *error)
{
    const QByteArray bytes = ReportPdfBytes(session, look);
    if (!bytes.startsWith("%PDF")) {
        if (error)
            *error = QStringLiteral("не удалось построить документ PDF");
        return false;
    }
    return WriteFileAtomically(path, bytes, error);
}
