#pragma once

#include "ColourTables.h"
#include "ResultsFilter.h"
#include "SessionArchive.h"
#include "StationContext.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QSettings;
class QSplitter;
class QTableView;
class ResultDetailView;
class ResultsExport;
class ResultsFilterBar;
class ResultsList;
class ResultsModel;
class SwatchPanel;

// The results page: the filter bar over the list of the archive's sessions,
// the detail view of the selected one and its export. It wires those parts
// together and owns the actions. The archive and the placement store belong
// to the main window and must outlive the page; rows refer to sessions only
// by their archive position.
class ResultsPage : public QWidget {
    Q_OBJECT
public:
    ResultsPage(TCLTArchive &archive, QSettings &placement, QWidget *parent = nullptr);
    ~ResultsPage() override;

    // Colours of the swatches, as last applied from the preferences.
    void SetColours(const ColourSet &colours);
    // The locale (date and time format of the list, the detail view and the
    // report, decimal separator of the age fields) and the clock of the
    // editor file's name. The context must outlive the page; until it is
    // given, a Russian locale and the system clock apply.
    void SetContext(const StationContext &context);
    // "Любая группа" followed by the user groups; an index beyond the list
    // falls back to 0. The index is the preference "FilterGroup".
    void SetUserGroups(const QStringList &groups, int filterGroupIndex);
    int FilterGroupIndex() const;

    // Filter controls, rolled-up panels and the height of the tab area; the
    // list layout is read by every refill, written by SavePlacement.
    void RestorePlacement();
    void SavePlacement();

    // False while the list is emptied or refilled and before the first
    // refill; the main window clears it again when it closes.
    bool ResultsListReady() const { return listReady; }
    void SetResultsListReady(bool ready) { listReady = ready; }

    // Appends a row for the session at that archive position.
    void AddResultRow(int position, bool select);
    // A session completed in administrator mode: its row is appended and
    // selected whatever the filter says. False when it is not in the archive.
    bool AppendFinishedSession(const TCLTSession &session);

    // The report of the selected row's session; empty without one.
    QString SessionReportText() const;

    // Seams for the export: folder of the editor hand-over file and how a
    // file is opened with its associated program.
    void SetTemporaryFolder(const QString &folder);
    void SetFileOpener(std::function<bool(const QString &)> opener);

    QTableView *Grid() const;
    ResultsModel *Model() const;
    SwatchPanel *EightColourPanel(int choice) const;
    SwatchPanel *FullChoicesPanel() const;

    // The page's actions, for the main window's menus and toolbar. Copy,
    // preview, print and e-mail are not meant to be shown.
    QAction *actResultsFilter;
    QAction *actResultsShowAll;
    QAction *actResultsDelete;
    QAction *actResultsCopy;
    QAction *actResultsExportMSWord;
    QAction *actResultsSave;
    QAction *actResultsPreview;
    QAction *actResultsPrint;
    QAction *actResultsSendEMail;

public slots:
    void RefillResults(bool applyFilter);
    // Each returns whether it did its work; without a selected row none does
    // anything.
    bool ResultsDeleteExecute();
    bool ResultsCopyExecute();
    bool ResultsExportMSWordExecute();
    bool ResultsSaveExecute();
    bool ResultsPreviewExecute();
    bool ResultsPrintExecute();
    bool ResultsSendEMailExecute();

    // Shows the session of that row (-1 for none) in the detail view.
    void gridResultsSelectItem(int row);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildActions();
    void showContextMenu(const QPoint &at);
    void redrawSelected();
    void redrawChoices();
    void clearResultView();
    // The row's session as the page may change it, or nullptr.
    TCLTSession *sessionAt(int row) const;
    // Removes the selected row once its session file is gone.
    void removeDeletedRow(int row, int position);
    void applyPendingTabHeight();

    TCLTArchive &archive;
    QSettings &placement;
    StationContext ownContext; // until SetContext
    const StationContext *context = &ownContext;
    bool listReady = false;
    bool listShown = false; // a refill has laid out the list at least once
    int pendingTabHeight = -1;

    ResultsList *list;
    ResultsFilterBar *filterBar;
    ResultDetailView *detail;
    std::unique_ptr<ResultsExport> exporter;
    QSplitter *listSplitter;
};
