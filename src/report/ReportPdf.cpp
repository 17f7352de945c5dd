#include "report/ReportPdf.h"

#include "qtkit/AtomicFile.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

void SetReportPageLayout(QPagedPaintDevice &device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                     QPageLayout::Millimeter));
}

void PrintReportDocument(QTextDocument &document, QPagedPaintDevice &device)
{
    // Laid out on the device's own page (less a strip for the page number)
    // in the layout's pixels, and painted page by page at scale: the pages
    // printed are the pages whose headings were kept with their text.
    constexpr double PixelsPerMillimetre = 96 / 25.4;
    constexpr double NumberStrip = 7 * PixelsPerMillimetre;
    const QRectF paint = device.pageLayout().paintRect(QPageLayout::Millimeter);
    const QSizeF page(paint.width() * PixelsPerMillimetre, paint.height() * PixelsPerMillimetre - NumberStrip);
    document.setPageSize(page);
    KeepHeadingsWithTheirText(document);
    // Laid out afresh as a whole: the moves above relaid it out piece by
    // piece, and painting must see one layout.
    document.setPageSize(QSizeF());
    document.setPageSize(page);
    document.documentLayout()->documentSize();

    QPainter painter(&device);
    const double scale = device.width() / page.width();
    painter.scale(scale, scale);
    QFont numberFont = document.defaultFont();
    numberFont.setPixelSize(11);
    const int pages = document.pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0)
            device.newPage();
        painter.save();
        painter.translate(0, -index * page.height());
        document.drawContents(&painter, QRectF(0, index * page.height(), page.width(), page.height()));
        painter.restore();
        if (pages > 1) {
            painter.setFont(numberFont);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(0, page.height(), page.width(), NumberStrip), Qt::AlignRight | Qt::AlignBottom,
                             QStringLiteral("%1 из %2").arg(index + 1).arg(pages));
        }
    }
    painter.end();
    document.setPageSize(ReportPageSize());
    KeepHeadingsWithTheirText(document);
}

QByteArray PdfBytes(const QString &title, const std::function<void(QPagedPaintDevice &)> &paint)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Palettor"));
        writer.setTitle(title);
        SetReportPageLayout(writer);
        paint(writer);
    } // the writer finishes the file when it goes
    return bytes;
}

QByteArray ReportPdfBytes(const TCLTSession &session, const ReportLook &look)
{
    return PdfBytes(QStringLiteral("Результаты тестирования"), [&](QPagedPaintDevice &device) {
        const auto document = BuildReportDocument(session, look);
        PrintReportDocument(*document, device);
    });
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
