// Times laying out a session's long conclusion, unbroken (one word of that
// many letters) and in ordinary words, at two sizes, for the PDF report and
// for the detail view. Linear layout shows as a ratio near the ratio of the
// sizes (4) between the two sizes of the same kind, and near 1 between
// unbroken and ordinary text of one size; a quadratic one as 16 and more.
//
//   layout_bench [characters of the smaller size]   (default 50000)
#include "BenchClock.h"
#include "qtkit/StationContext.h"
#include "report/ReportDocument.h"
#include "report/ReportPdf.h"
#include "results/ResultDetailPanels.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = BenchClock;

std::string conclusion(std::size_t letters, bool unbroken)
{
    std::string text;
    text.reserve(letters * 2);
    for (std::size_t i = 0; i < letters; ++i)
        text += (!unbroken && i % 9 == 8) ? " " : "ж";
    return text;
}

double pdfMs(std::size_t letters, bool unbroken)
{
    TCLTSession session;
    session.TestKind = 1;
    session.DetailedConclusion = conclusion(letters, unbroken);
    ReportLook look;
    look.DateTimeFormat = StationContext().DateTimeFormat();
    const auto start = Clock::now();
    const QByteArray pdf = ReportPdfBytes(session, look);
    const double ms = msSince(start);
    if (!pdf.startsWith("%PDF"))
        std::abort();
    return ms;
}

double detailMs(std::size_t letters, bool unbroken)
{
    TCLTSession session;
    session.TestKind = 1;
    session.BriefConclusion = conclusion(letters, unbroken);
    QWidget window;
    ResultDetailPanels view(&window);
    view.Conclusions()->resize(600, 400);
    view.Conclusions()->show();
    const auto start = Clock::now();
    view.Show(session);
    // Painting lays the text out as the window would.
    view.Conclusions()->grab();
    return msSince(start);
}

void row(const char *what, double small, double large, double words)
{
    std::printf("%-18s %10.1f ms  x4: %10.1f ms  ratio %6.2f   ordinary words x4: %10.1f ms  ratio %6.2f\n", what,
                small, large, large / small, words, large / words);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::size_t letters = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50000;
    std::printf("one conclusion of %zu and %zu letters\n", letters, 4 * letters);
    row("PDF, unbroken", pdfMs(letters, true), pdfMs(4 * letters, true), pdfMs(4 * letters, false));
    row("detail, unbroken", detailMs(letters, true), detailMs(4 * letters, true), detailMs(4 * letters, false));
    return 0;
}
