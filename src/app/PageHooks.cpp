#include "PageHooks.h"

#include "AppSettings.h"
#include "MainWindow.h"
#include "PlacementStore.h"
#include "ResultsPage.h"

#include <QAction>
#include <QLabel>
#include <QScrollArea>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString mainWindowClass = QStringLiteral("TformPalettorMain");

// Registration fields of the testing page kept between runs.
const QStringList testingControls{QStringLiteral("TeLabeledEdit1"), QStringLiteral("TeLabeledEdit2"),
                                  QStringLiteral("TeLabeledEdit3"), QStringLiteral("cbUserGroup"),
                                  QStringLiteral("cbUserSex"),      QStringLiteral("TeDateTimePicker1")};

QWidget *noticePage(const QString &text, QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    auto *label = new QLabel(text, page);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return page;
}
} // namespace

PageHooks::PageHooks(TformPalettorMain &window) : window(window)
{
    placement = AppSettings::Open();
    placement->beginGroup(mainWindowClass);
}

PageHooks::~PageHooks() = default;

// Until the testing page is part of the build it is a plain notice.
QWidget *PageHooks::CreateTestingPage(QWidget *parent)
{
    testingPage = noticePage(QStringLiteral("Тестирование"), parent);
    return testingPage;
}

void PageHooks::StartOrStopTest() {}

bool PageHooks::TestRunning() const { return false; }

void PageHooks::LayOutTiles() {}

void PageHooks::SetUserGroups(const QStringList &) {}

void PageHooks::UpdateRequiredMarks(const std::array<bool, 6> &) {}

QWidget *PageHooks::CreateResultsPage(QWidget *parent)
{
    // The page needs more width than the window has at first; a scroll area
    // keeps the window at its own size and every control reachable.
    auto *area = new QScrollArea(parent);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    resultsPage = new ResultsPage(window.Sessions, *placement, area);
    resultsPage->SetLocale(QLocale::system());
    area->setWidget(resultsPage);
    return area;
}

QAction *PageHooks::ResultsAction(const QString &objectName) const
{
    return resultsPage ? resultsPage->findChild<QAction *>(objectName, Qt::FindDirectChildrenOnly) : nullptr;
}

void PageHooks::SetColours(const ColourSet &colours)
{
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
