#pragma once

#include "statsview/HistoryCharts.h"

#include <QByteArray>
#include <QPagedPaintDevice>
#include <QString>

#include <functional>
#include <vector>

// A person's history as printed pages: the sessions as a table, what changed
// in words, then the charts. The same pages go to the printer, to a PDF and
// to PNG images.

// A session's row as the window shows it, in the history's order.
struct HistoryRowText {
    QString Date; // date and time, in the table
    QString Kind;
    QString Group;
    QString Day; // the date alone, under the charts
};

struct HistoryDocumentText {
    QString Person; // the name and birth date shown
    std::vector<HistoryRowText> Rows;
    QString DecimalSeparator; // the user's
};

// The texts of the window and of the pages: dates as the formatters given
// write them (the station's, or the command line's), figures with the
// separator given.
using DateFormatter = std::function<QString(OleDate)>;
HistoryDocumentText HistoryTextOf(const PersonHistory &history, const DateFormatter &dateTime,
                                  const DateFormatter &date, const QString &decimalSeparator);

// The cells of a session's row after date, kind and group: the choice
// followed, rho to the previous session, own first-to-second rho, intensity.
QStringList HistoryFigureCells(const HistoryStep &step, const QString &decimalSeparator);

int HistoryPageCount(const PersonHistory &history);

// Paints page `index` (from 0) into `page`; logical units, any device.
void PaintHistoryPage(QPainter &painter, const QRectF &page, int index, const PersonHistory &history,
                      const HistoryDocumentText &text, const SwatchColours &swatches);

// Every page onto a paged device (printer, PDF writer).
void PrintHistory(QPagedPaintDevice &device, const PersonHistory &history, const HistoryDocumentText &text,
                  const SwatchColours &swatches);

// Written whole or not at all.
bool WriteHistoryPdf(const PersonHistory &history, const HistoryDocumentText &text, const SwatchColours &swatches,
                     const QString &path, QString *error = nullptr);
