#pragma once

#include "core/ResultsFilter.h"
#include "statistics/SelectionReader.h"
#include "statsview/StatisticsDocument.h"
#include "testing/ColourTables.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class ArchiveChangeWatch;
class ArchiveList;
class ChartView;
class QAbstractItemModel;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class QTimer;

// Where the page takes its sessions from: the results list. Called on the
// window's thread only.
struct StatisticsSource {
    // The sessions the list shows now, with its filter and search.
    std::function<std::vector<ListedRow>()> Shown;
    // The sessions the list's filter admits with that user group instead
    // of its own: the comparison group.
    std::function<std::vector<ListedRow>(const std::string &group)> OfGroup;
    // The filter of the list; nothing while it shows every session.
    std::function<std::optional<ResultsFilter>()> Filter;
};

// The statistics page of administrator mode: the sessions of the results
// list, optionally against a comparison group, as a table per colour, a
// heat map, a chart of positions and the tests in words. Files are read and
// figures reckoned on a worker thread with progress; the page keeps the
// last figures until new ones are ready. When the list or the archive
// changes, the page reckons anew at once while it is shown, or the next time
// it is shown, and says meanwhile that its figures are out of date.
class StatisticsPage : public QWidget {
    Q_OBJECT
public:
    explicit StatisticsPage(QWidget *parent = nullptr);
    ~StatisticsPage() override;

    void SetSource(StatisticsSource source);
    // What tells the page that its source changed: the rows the list shows
    // and the archive under them (for the comparison group and sessions read
    // again in place). Both must outlive the page.
    void FollowChanges(const QAbstractItemModel &listRows, ArchiveList &archive);
    // "Без сравнения" followed by the user groups, as the preferences list them.
    void SetUserGroups(const QStringList &groups);
    void SetColours(const ColourSet &colours);
    // The user's, passed in by the window.
    void SetDecimalSeparator(const QString &separator);

    // Reads the selection again and reckons anew when it has changed since
    // the figures shown (always when forced).
    void Refresh(bool force = false);
    bool Busy() const { return worker != nullptr; }
    // The figures shown; nothing before the first reckoning.
    const StatisticsResult *Shown() const { return shown ? &*shown : nullptr; }
    // The list or the archive changed since the figures shown were taken.
    bool OutOfDate() const { return shown && shownChange != changes; }

    bool SavePdfExecute();
    bool PrintExecute();

public slots:
    // The list or the archive changed: reckoned anew shortly when shown.
    void SourceChanged();

signals:
    // The figures on show were replaced (or a reckoning was stopped).
    void Reckoned();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildControls();
    QWidget *buildFigures();
    StatisticsRequest currentRequest(QString &firstText, QString &versusText) const;
    void start(StatisticsRequest request, const QString &firstText, const QString &versusText);
    void workerFinished();
    void showProgress();
    void showResult();
    void showOutOfDate();
    StatisticsDocumentText documentText() const;

    StatisticsSource source;
    QString decimalSeparator = QStringLiteral(",");
    SwatchColours swatches;

    // The reckoning under way, with the texts of its selections.
    QThread *worker = nullptr;
    std::shared_ptr<StatisticsProgress> progress;
    std::shared_ptr<StatisticsResult> pending;
    StatisticsRequest pendingRequest;
    QString pendingFirstText;
    QString pendingVersusText;
    QString pendingVersusGroup;
    bool restart = false; // the selection changed while it ran
    // Changes of the source told so far; those the pending and the shown
    // figures were taken after.
    unsigned changes = 0;
    unsigned pendingChange = 0;
    unsigned shownChange = 0;
    QTimer *changeTimer;
    std::unique_ptr<ArchiveChangeWatch> archiveWatch;

    std::optional<StatisticsRequest> shownRequest;
    std::optional<StatisticsResult> shown;
    QString firstText;
    QString versusText;
    QString versusGroup; // the comparison group's name

    QLabel *selectionLabel;
    QLabel *outOfDateLabel;
    QComboBox *choiceBox;
    QComboBox *versusBox;
    QPushButton *refreshButton;
    QPushButton *pdfButton;
    QPushButton *printButton;
    QProgressBar *progressBar;
    QPushButton *stopButton;
    QTimer *progressTimer;
    QTableWidget *table;
    QPlainTextEdit *tests;
    ChartView *heatMap;
    ChartView *positionChart;
};
