#include "interpretation/ShownText.h"
#include "qtkit/StationContext.h"
#include "report/ReportDocument.h"
#include "results/ResultDetailPanels.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QWidget>

// What the report and the detail view show of an absurd session: an
// unbroken text gets break opportunities, a text past the bound is cut with
// a note, and the plain-text report carries no trace of the former.
namespace {

TEST(ReportBounds, AnAbsurdSessionIsShownCutWithANoteAndLongWordsBreakable)
{
    TCLTSession session;
    session.TestKind = 1;
    session.BriefConclusion = std::string(MostShownCharacters + 5000, 'x');
    session.DetailedConclusion = std::string(3 * LongestUnbrokenRun, 'y');
    ReportLook look;
    const StationContext context;
    look.DateTimeFormat = context.DateTimeFormat();

    const QString note =
        QStringLiteral("первые %1 знаков из %2").arg(MostShownCharacters).arg(MostShownCharacters + 5000);
    const QString plain = ReportPlainText(session, look);
    EXPECT_TRUE(plain.contains(note));
    EXPECT_FALSE(plain.contains(QChar(0x200B)));
    EXPECT_TRUE(plain.contains(QString(3 * LongestUnbrokenRun, QLatin1Char('y'))));
    EXPECT_FALSE(plain.contains(QString(MostShownCharacters + 1, QLatin1Char('x'))));
    const QString laidOut = BuildReportDocument(session, look)->toPlainText();
    EXPECT_EQ(laidOut.count(QChar(0x200B)), MostShownCharacters / LongestUnbrokenRun - 1 + 2);

    QWidget parent;
    ResultDetailPanels view(&parent);
    view.Show(session);
    const QString brief =
        view.Conclusions()->findChild<QPlainTextEdit *>(QStringLiteral("memoResultsBriefSummary"))->toPlainText();
    EXPECT_TRUE(brief.contains(note));
    EXPECT_LT(brief.size(), static_cast<qsizetype>(MostShownCharacters + MostShownCharacters / 10));
}

} // namespace
