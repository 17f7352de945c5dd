#pragma once

#include "core/ArchiveList.h"
#include "testing/ColourTables.h"

#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QSettings;
class QWidget;
class QPlainTextEdit;
class ResultsPage;
class StatisticsPage;
struct StimulusSets;
class StationContext;
class TestingPage;
class TCLTSession;

// The one place that knows the classes of the testing and results pages:
// the main window reaches them only through these calls (and connects the
// testing page's signals itself).
class PageHooks {
public:
    // The sessions and the context must outlive the pages.
    PageHooks(ArchiveList &sessions, const StationContext &context);
    ~PageHooks();

    TestingPage *CreateTestingPage(QWidget *parent);
    QWidget *CreateResultsPage(QWidget *parent);
    // The statistics over the results list; after CreateResultsPage.
    QWidget *CreateStatisticsPage(QWidget *parent);
    // The results page's own action of that object name; the menus show it.
    QAction *ResultsAction(const QString &objectName) const;

    TestingPage *Testing() const { return testingPage; }

    void SetUserGroups(const QStringList &groups);
    void UpdateRequiredMarks(const std::array<bool, 6> &required);
    // Colours in effect, for the tiles and the detail view's swatches.
    void SetColours(const ColourSet &colours);
    void SetSigner(const QString &examiner, const QString &organisation);
    void SetShowResultType(int type);
    void SetIdleClearMinutes(int minutes);
    void SetStimulusSets(const StimulusSets &sets);
    // The result memo of the testing page (its pop-up menu copies).
    QPlainTextEdit *ResultMemo() const;

    // Group filter: "Любая группа" then the groups; an index past the end selects 0.
    void SetFilterGroups(const QStringList &groups, int selected);
    int FilterGroupIndex() const;
    void RefillResults(bool filtered);
    void SetResultsListReady(bool ready);
    // Selects the finished session's row, listing it whatever the filter says.
    void SelectFinished(const TCLTSession &session);
    void FocusResultsList();
    // Rows of sessions for which this is true are marked as not stored.
    void SetNotStoredTest(std::function<bool(const TCLTSession &)> test);
    void NotStoredMarksChanged();

    // Control states kept between runs beside the window's placement.
    void RestorePlacement(QWidget *window);
    void SavePlacement(QWidget *window);

private:
    ArchiveList &sessions;
    const StationContext &context;
    std::unique_ptr<QSettings> placement; // the results page keeps a reference
    TestingPage *testingPage = nullptr;
    ResultsPage *resultsPage = nullptr;
    StatisticsPage *statisticsPage = nullptr;
};
