#pragma once

#include <QStringList>

#include <array>
#include <cstddef>

class QWidget;
class TformPalettorMain;

// The one place that knows the classes of the testing and results pages:
// the main window reaches them only through these calls.
class PageHooks {
public:
    explicit PageHooks(TformPalettorMain &window);
    ~PageHooks();

    QWidget *CreateTestingPage(QWidget *parent);
    QWidget *CreateResultsPage(QWidget *parent);

    // actStartTesting: stops a running test, otherwise opens the chooser.
    void StartOrStopTest();
    bool TestRunning() const;
    void LayOutTiles();

    void SetUserGroups(const QStringList &groups);
    void UpdateRequiredMarks(const std::array<bool, 6> &required);

    // Group filter: "Любая группа" then the groups; an index past the end selects 0.
    void SetFilterGroups(const QStringList &groups, int selected);
    int FilterGroupIndex() const;
    void RefillResults(bool filtered);
    // Appends the archive's session at index as the last row and selects it.
    void AddResultRow(std::size_t sessionIndex);
    void FocusResultsList();

    void ResultsCopy();
    void ResultsExportToEditor();
    void ResultsSave();
    void ResultsPreview();
    void ResultsPrint();
    void ResultsSendEMail();
    void ResultsDelete();
    void ResultsFilter();
    void ResultsShowAll();

    // Object names of the page controls whose state is kept between runs.
    QStringList PlacementControls() const;

private:
    TformPalettorMain &window;
    QWidget *testingPage = nullptr;
    QWidget *resultsPage = nullptr;
    int filterGroup = 0;
    int filterGroupCount = 1;
};
