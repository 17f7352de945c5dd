#include "app/window/PageHooks.h"

#include "app/history/PersonHistoryWindow.h"
#include "app/preferences/AppSettings.h"
#include "app/statistics/StatisticsPage.h"
#include "app/window/PlacementStore.h"
#include "results/ResultsModel.h"
#include "results/ResultsPage.h"

#include "app/testing/TestingPage.h"
#include "qtkit/StationContext.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSettings>
#include <QTableView>

namespace {
const QString mainWindowClass = QStringLiteral("TformPalettorMain");

// Registration fields of the testing page kept between runs.
const QStringList testingControls{QStringLiteral("TeLabeledEdit1"), QStringLiteral("TeLabeledEdit2"),
                                  QStringLiteral("TeLabeledEdit3"), QStringLiteral("cbUserGroup"),
                                  QStringLiteral("cbUserSex"),      QStringLiteral("TeDateTimePicker1")};

} // namespace

PageHooks::PageHooks(ArchiveList &sessions, const StationContext &context) : sessions(sessions), context(context)
{
    placement = AppSettings::Open();
    placement->beginGroup(mainWindowClass);
}

PageHooks::~PageHooks() = default;

TestingPage *PageHooks::CreateTestingPage(QWidget *parent)
{
    testingPage = new TestingPage(parent);
    testingPage->SetSessionList(&sessions);
    testingPage->SetContext(context);
    return testingPage;
}

void PageHooks::SetUserGroups(const QStringList &groups)
{
    if (testingPage)
        testingPage->SetUserGroups(groups);
}

void PageHooks::UpdateRequiredMarks(const std::array<bool, 6> &required)
{
    RequiredFields fields;
    for (std::size_t i = 0; i < required.size() && i < fields.Flags.size(); ++i)
        fields.Flags[i] = required[i];
    if (testingPage) {
        testingPage->SetRequiredFields(fields);
        testingPage->UpdateRequiredMarks(fields);
    }
}

void PageHooks::SetShowResultType(int type)
{
    if (testingPage)
        testingPage->SetShowResultType(type);
}

void PageHooks::SetIdleClearMinutes(int minutes)
{
    if (testingPage)
        testingPage->SetIdleClearMinutes(minutes);
}

void PageHooks::SetStimulusSets(const StimulusSets &sets)
{
    if (testingPage)
        testingPage->SetStimulusSets(sets);
}

QPlainTextEdit *PageHooks::ResultMemo() const
{
    return testingPage ? testingPage->findChild<QPlainTextEdit *>(QStringLiteral("memoTestResult")) : nullptr;
}

QWidget *PageHooks::CreateResultsPage(QWidget *parent)
{
    // The page needs more width than the window has at first; a scroll area
    // keeps the window at its own size and every control reachable.
    auto *area = new QScrollArea(parent);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    resultsPage = new ResultsPage(sessions, *placement, area);
    resultsPage->SetContext(context);
    ConnectPersonHistory(*resultsPage, sessions.Sessions(), context);
    area->setWidget(resultsPage);
    return area;
}

QWidget *PageHooks::CreateStatisticsPage(QWidget *parent)
{
    auto *area = new QScrollArea(parent);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    statisticsPage = new StatisticsPage(area);
    statisticsPage->SetDecimalSeparator(QString::fromStdString(context.DecimalSeparator()));
    ResultsPage *results = resultsPage;
    statisticsPage->SetSource({[results] { return results->ShownSessions(); },
                               [results](const std::string &group) { return results->SessionsOfGroup(group); },
                               [results] { return results->ListFilter(); }});
    statisticsPage->FollowChanges(*results->Grid()->model(), sessions);
    area->setWidget(statisticsPage);
    return area;
}

QAction *PageHooks::ResultsAction(const QString &objectName) const
{
    return resultsPage ? resultsPage->findChild<QAction *>(objectName, Qt::FindDirectChildrenOnly) : nullptr;
}

void PageHooks::SetColours(const ColourSet &colours)
{
    if (testingPage)
        testingPage->SetColours(colours);
    if (resultsPage)
        resultsPage->SetColours(colours);
    if (statisticsPage)
        statisticsPage->SetColours(colours);
}

void PageHooks::SetSigner(const QString &examiner, const QString &organisation)
{
    if (resultsPage)
        resultsPage->SetSigner(examiner, organisation);
}

void PageHooks::SetFilterGroups(const QStringList &groups, int selected)
{
    if (resultsPage)
        resultsPage->SetUserGroups(groups, selected);
    if (statisticsPage)
        statisticsPage->SetUserGroups(groups);
}

int PageHooks::FilterGroupIndex() const { return resultsPage ? resultsPage->FilterGroupIndex() : 0; }

void PageHooks::RefillResults(bool filtered)
{
    if (resultsPage)
        resultsPage->RefillResults(filtered);
}

void PageHooks::SetResultsListReady(bool ready)
{
    if (resultsPage)
        resultsPage->SetResultsListReady(ready);
}

void PageHooks::SelectFinished(const TCLTSession &session)
{
    if (resultsPage)
        resultsPage->AppendFinishedSession(session);
}

void PageHooks::FocusResultsList()
{
    if (resultsPage && resultsPage->Grid()->isVisible())
        resultsPage->Grid()->setFocus();
}

void PageHooks::SetNotStoredTest(std::function<bool(const TCLTSession &)> test)
{
    if (resultsPage)
        resultsPage->Model()->SetNotStoredTest(std::move(test));
}

void PageHooks::NotStoredMarksChanged()
{
    if (resultsPage)
        resultsPage->Model()->MarksChanged();
}

void PageHooks::RestorePlacement(QWidget *mainWindow)
{
    PlacementStore(mainWindowClass).RestoreControls(mainWindow, testingControls);
    if (resultsPage)
        resultsPage->RestorePlacement();
}

void PageHooks::SavePlacement(QWidget *mainWindow)
{
    PlacementStore(mainWindowClass).SaveControls(mainWindow, testingControls);
    if (resultsPage) {
        resultsPage->SavePlacement();
        placement->sync();
    }
}
