#include "PageHooks.h"

#include "AppSettings.h"
#include "MainWindow.h"
#include "PlacementStore.h"
#include "ResultsPage.h"

#include "Conclusion.h"
#include "TestingPage.h"

#include <QAction>
#include <QStyle>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
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

PageHooks::PageHooks(TformPalettorMain &window) : window(window)
{
    placement = AppSettings::Open();
    placement->beginGroup(mainWindowClass);
}

PageHooks::~PageHooks() = default;

QWidget *PageHooks::CreateTestingPage(QWidget *parent)
{
    testingPage = new TestingPage(parent);
    testingPage->SetSessionList(&window.Sessions);
    testingPage->SetLocale(QLocale::system());
    TformPalettorMain *w = &window;
    TestingPage *page = testingPage;
    QObject::connect(page, &TestingPage::statusTextChanged, w, [w](int panel, const QString &text) {
        if (panel >= 0 && panel < static_cast<int>(w->StatusPanel.size()))
            w->StatusPanel[static_cast<std::size_t>(panel)]->setText(text);
    });
    QObject::connect(page, &TestingPage::progressChanged, w, [w](int position, int maximum) {
        w->ProgressBar1->setRange(0, std::max(maximum, 1));
        w->ProgressBar1->setValue(position);
    });
    QObject::connect(page, &TestingPage::testRunningChanged, w, [w](bool running, const QString &caption) {
        w->actStartTesting->setIcon(
            w->style()->standardIcon(running ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
        w->actStartTesting->setText(caption);
        w->actStartTesting->setToolTip(caption);
        w->actStartTesting->setStatusTip(caption);
    });
    QObject::connect(page, &TestingPage::testingPageRequested, w,
                     [w] { w->PageControl->setCurrentIndex(TformPalettorMain::TestingPageIndex); });
    QObject::connect(page, &TestingPage::testFinished, w,
                     [w, page](TCLTSession *session, double testStart, double testEnd) {
                         if (!session)
                             return;
                         FinishTestSession(*session, w->KnowledgeBase, testStart, testEnd,
                                           QLocale::system().decimalPoint().toStdString());
                         // Shown before it is saved: a failed save must not hide the result.
                         page->ShowResult(*session);
                         w->StoreFinishedSession(*session);
                     });
    return testingPage;
}

void PageHooks::StartOrStopTest()
{
    if (testingPage)
        testingPage->StartOrStop();
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
    resultsPage = new ResultsPage(window.Sessions, *placement, area);
    static const StationContext systemContext(QLocale::system()); // until the window hands down its own
    resultsPage->SetContext(systemContext);
    area->setWidget(resultsPage);
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
}

void PageHooks::SetFilterGroups(const QStringList &groups, int selected)
{
    if (resultsPage)
        resultsPage->SetUserGroups(groups, selected);
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

void PageHooks::AddResultRow(const TCLTSession &session)
{
    if (resultsPage)
        resultsPage->AppendFinishedSession(session);
}

void PageHooks::FocusResultsList()
{
    if (resultsPage && resultsPage->Grid()->isVisible())
        resultsPage->Grid()->setFocus();
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
