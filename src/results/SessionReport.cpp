#include "results/SessionReport.h"

#include "core/DurationText.h"
#include "qtkit/DateTimeText.h"
#include "testing/ResultDisplay.h"

QString SessionReportText(const TCLTSession &session, const QString &dateTimeFormat)
{
    // The testing page's combined report is this text after its notice; the
    // testing layer composes both, so the two cannot drift apart.
    constexpr int CombinedReport = 3;
    const std::string shown =
        MakeResultDisplay(session, CombinedReport, FormatOleDateTime(session.StartedAt, dateTimeFormat).toStdString())
            .Text;
    return QString::fromStdString(shown.substr(ResultNotice.size()));
}
