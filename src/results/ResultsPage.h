#pragma once

#include "core/ArchiveList.h"
#include "core/ResultsFilter.h"
#include "core/SessionArchive.h"
#include "core/SessionDetails.h"
#include "qtkit/StationContext.h"
#include "testing/ColourTables.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLineEdit;
class QSettings;
class QTableView;
class QUrl;
class ResultDetailPanels;
class ResultsExport;
class ResultsFilterBar;
class ResultsList;
class ResultsModel;
class ResultsSelection;
class ResultsSplitter;
class ResultsToolBar;
class SwatchPanel;

// The results page: the toolbar and the filter bar over the list of the
// archive's sessions, the detail view of the selected one and its export. It
// wires those parts together and owns the actions. The archive and the
// placement store belong to the main window and must outlive the page; rows
// refer to sessions only by their archive position, and the selection keeps
// to its session through the archive's changes (see ResultsSelection).
class ResultsPage : public QWidget {
    Q_OBJECT
public:
    ResultsPage(ArchiveList &archive, QSettings &placement, QWidget *parent = nullptr);
    ~ResultsPage() override;

    // Colours of the swatches, as last applied from the preferences.
    void SetColours(const ColourSet &colours);
    const ColourSet &Colours() const { return colours; }
    // The examiner and the organisation the printed report names.
    void SetSigner(const QString &examiner, const QString &organisation);
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

    // For the statistics: the sessions the list shows now (its filter and
    // search, in its order); those the list's filter admits with that user
    // group instead of its own; the filter of the last refill, nothing when
    // the list shows every session.
    std::vector<ListedRow> ShownSessions() const;
    // Their archive positions, in the list's order.
    std::vector<std::size_t> ShownPositions() const;
    std::vector<ListedRow> SessionsOfGroup(const std::string &group) const;
    std::optional<ResultsFilter> ListFilter() const;

    // The report of the selected row's session; empty without one.
    QString SessionReportText() const;

    // Seams for the export: folder of the editor hand-over file and how a
    // file is opened with its associated program.
    void SetTemporaryFolder(const QString &folder);
    void SetFileOpener(std::function<bool(const QString &)> opener);
    // How the mailto: link of "Отправить по E-Mail" is opened.
    void SetUrlOpener(std::function<bool(const QUrl &)> opener);

    QTableView *Grid() const;
    // Narrows the shown rows to the people whose names hold the typed text.
    QLineEdit *SearchField() const;
    ResultsModel *Model() const;
    SwatchPanel *EightColourPanel(int choice) const;
    SwatchPanel *FullChoicesPanel() const;

    // The page's actions, for the main window's menus and toolbar. Copy is
    // not meant to be shown (Ctrl+C on the list and the menu title run it).
    QAction *actResultsFilter;
    QAction *actResultsShowAll;
    QAction *actResultsDelete;
    QAction *actResultsCopy;
    QAction *actResultsExportMSWord;
    QAction *actResultsSave;
    QAction *actResultsPreview;
    QAction *actResultsPrint;
    QAction *actResultsSendEMail;
    QAction *actResultsSavePdf;
    QAction *actResultsExportList;
    QAction *actResultsHistory;

public slots:
    void RefillResults(bool applyFilter);
    // Refills with or without the filter as the last refill did; nothing
    // before the first.
    void RefillAsBefore();
    // Each returns whether it did its work; without a selected row none does
    // anything.
    bool ResultsDeleteExecute();
    bool ResultsCopyExecute();
    bool ResultsExportMSWordExecute();
    bool ResultsSaveExecute();
    bool ResultsPreviewExecute();
    bool ResultsPrintExecute();
    bool ResultsSendEMailExecute();
    bool ResultsSavePdfExecute();
    // The sessions of the list as it is filtered now, as a CSV table.
    bool ResultsExportListExecute();
    // Asks for the history of the selected row's person.
    bool ResultsHistoryExecute();

    // Shows the session of that row (-1 for none) in the detail view.
    void gridResultsSelectItem(int row);

signals:
    // «История тестируемого» for the person of this session (as listed).
    void personHistoryRequested(const TCLTSession &session);

private:
    void buildActions();
    void showContextMenu(const QPoint &at);
    void redrawSelected();
    void redrawChoices();
    void clearResultView();
    // The row's session as the page may change it, or nullptr.
    TCLTSession *sessionAt(int row) const;
    // The selected row's session with everything its file holds, or nullptr;
    // a file that cannot be read is told to the user.
    const TCLTSession *selectedWhole() const;

    ArchiveList &archive;
    QSettings &placement;
    StationContext ownContext; // until SetContext
    const StationContext *context = &ownContext;
    ColourSet colours = DefaultColours;
    bool listReady = false;
    bool listShown = false; // a refill has laid out the list at least once
    // Whether the last refill applied the filter; none before the first.
    std::optional<bool> filterApplied;
    ResultsFilter appliedFilter;
    mutable SessionDetailCache details;

    ResultsList *list;
    ResultsToolBar *toolBar;
    ResultsFilterBar *filterBar;
    ResultDetailPanels *detail;
    std::unique_ptr<ResultsExport> exporter;
    std::unique_ptr<ResultsSelection> selection;
    ResultsSplitter *listSplitter;
};
