#pragma once

#include "ColourTables.h"
#include "ResultsFilter.h"
#include "SessionArchive.h"

#include <QDateTime>
#include <QLocale>
#include <QWidget>

#include <functional>

class CollapsiblePanel;
class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QItemSelection;
class QLabel;
class QPlainTextEdit;
class QSettings;
class QSplitter;
class QTabWidget;
class QTableView;
class ResultsModel;
class SwatchPanel;

// The results page: the filtered list of the archive's sessions, the detail
// view of the selected one and its export. The archive and the placement
// store belong to the main window and must outlive the page; rows refer to
// sessions only by their archive position.
class ResultsPage : public QWidget {
    Q_OBJECT
public:
    ResultsPage(TCLTArchive &archive, QSettings &placement, QWidget *parent = nullptr);
    ~ResultsPage() override;

    // Colours of the swatches, as last applied from the preferences.
    void SetColours(const ColourSet &colours);
    // Date and time format of the list, the detail view and the report, and
    // the decimal separator of the age fields.
    void SetLocale(const QLocale &locale);
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

    ResultsFilter CurrentFilter() const;
    // The report of the selected row's session; empty without one.
    QString SessionReportText() const;

    // Seams for the export: folder of the editor hand-over file, the clock of
    // its name, and how a file is opened with its associated program.
    void SetTemporaryFolder(const QString &folder) { temporaryFolder = folder; }
    void SetClock(std::function<QDateTime()> now) { clock = std::move(now); }
    void SetFileOpener(std::function<bool(const QString &)> opener) { openFile = std::move(opener); }

    QTableView *Grid() const { return gridResults; }
    ResultsModel *Model() const { return model; }
    SwatchPanel *EightColourPanel(int choice) const;
    SwatchPanel *FullChoicesPanel() const { return panelFullChoices; }

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
    void ResultsFilterExecute() { RefillResults(true); }
    void ResultsShowAllExecute() { RefillResults(false); }
    // Each returns whether it did its work; without a selected row none does
    // anything.
    bool ResultsDeleteExecute();
    bool ResultsCopyExecute();
    bool ResultsExportMSWordExecute();
    bool ResultsSaveExecute();
    bool ResultsPreviewExecute();
    bool ResultsPrintExecute();
    bool ResultsSendEMailExecute();

    void checkFilterAgeClick();
    void ClearResultView();
    // Shows the session of that row (-1 for none) in the detail view.
    void gridResultsSelectItem(int row);

private:
    void buildActions();
    QWidget *buildFilterBar();
    QWidget *buildSideBar();
    QWidget *buildTabs();
    void onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void showContextMenu(const QPoint &at);
    void redrawSelected();
    // Only the swatch panels, leaving the memos and their scroll positions.
    void redrawChoices();
    void widenColumnsToTheirTexts();
    void DrawEightColourChoices(const TCLTSession &session);
    void DrawFullTestChoices(const TCLTSession &session);
    QColor colourOf(ColourTable table, int entry) const;
    // The selected row's session, or nullptr.
    TCLTSession *selectedSession() const;
    // Report of the selected session with CR LF after every line; empty
    // without one.
    QString reportForExport() const;
    bool writeReport(const QString &path, const QString &text);
    void applyPendingTabHeight();

    TCLTArchive &archive;
    QSettings &placement;
    ColourSet colours = DefaultColours;
    QLocale locale;
    QString dateTimeFormat;
    QString temporaryFolder;
    std::function<QDateTime()> clock;
    std::function<bool(const QString &)> openFile;
    bool listReady = false;
    bool ignoreSelection = false;
    bool listShown = false; // a refill has laid out the list at least once
    int pendingTabHeight = -1;

    ResultsModel *model;
    QTableView *gridResults;
    QComboBox *cbFilterTest;
    QComboBox *cbFilterGroup;
    QComboBox *cbFilterSex;
    QCheckBox *checkFilterAge;
    QDoubleSpinBox *seFilterAgeMin;
    QDoubleSpinBox *seFilterAgeMax;
    QSplitter *listSplitter;
    QTabWidget *TeSPageControl1;
    QPlainTextEdit *memoResultsBriefSummary;
    QPlainTextEdit *memoResultsTotalSummary;
    QPlainTextEdit *memoResultsFactorSummary;
    CollapsiblePanel *TeHeaderPanel2;
    CollapsiblePanel *TeHeaderPanel3;
    CollapsiblePanel *TeHeaderPanel4;
    CollapsiblePanel *TeHeaderPanel5;
    QLabel *labelResultsUserName;
    QLabel *labelResultsUserSexAge;
    QLabel *labelResultsUserGroup;
    QLabel *labelResultsSessionStarted;
    QLabel *labelResultsSessionDuration;
    SwatchPanel *panel8CChoices1;
    SwatchPanel *panel8CChoices2;
    SwatchPanel *panelFullChoices;
    QLabel *TeLabel28;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
