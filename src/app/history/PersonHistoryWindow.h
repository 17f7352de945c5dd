#pragma once

#include "core/ArchiveList.h"
#include "core/SessionArchive.h"
#include "statsview/HistoryDocument.h"
#include "testing/ColourTables.h"

#include <QDialog>

#include <memory>
#include <vector>

class HistoryChartView;
class QLabel;
class QPlainTextEdit;
class QTableWidget;
class ResultsPage;
class StationContext;

// «История тестируемого»: every session of one person (same surname, first
// name, patronymic and birth date; letter case and ё/е not counting), oldest
// first, with the colour positions and the intensity across them and whether
// the order moved more than it does within one sitting. The window keeps its
// own whole copies of the sessions, so the list may change while it is open.
class PersonHistoryWindow : public QDialog {
    Q_OBJECT
public:
    // `sessions` are whole; `unreadable` counts the person's sessions whose
    // files could not be read.
    PersonHistoryWindow(std::vector<std::unique_ptr<TCLTSession>> sessions, int unreadable,
                        const StationContext &context, const ColourSet &colours, QWidget *parent = nullptr);
    ~PersonHistoryWindow() override;

    const PersonHistory &History() const { return history; }
    const HistoryDocumentText &Text() const { return text; }

public slots:
    // Each returns whether the file was written or the pages printed.
    bool SavePdf();
    bool Print();

private:
    void fillTable();

    std::vector<std::unique_ptr<TCLTSession>> sessions;
    PersonHistory history;
    HistoryDocumentText text;
    SwatchColours swatches;
    QTableWidget *table;
    HistoryChartView *chart;
};

// The sessions in the archive of the same person as `person`, read whole
// from their files (oldest first is the window's business). unreadable gets
// the count of those that could not be read.
std::vector<std::unique_ptr<TCLTSession>> ReadPersonSessions(const ArchiveList &archive, const TCLTSession &person,
                                                             int &unreadable);

// Opens the window over the archive when the page asks for a history.
void ConnectPersonHistory(ResultsPage &page, const ArchiveList &archive, const StationContext &context);
