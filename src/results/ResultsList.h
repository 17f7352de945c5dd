#pragma once

#include "SessionArchive.h"

#include <QString>
#include <QTableView>

class ResultsModel;

// The results list: one row per listed session over a ResultsModel, single
// row selection, fixed row heights. It reports the row to show rather than
// raw selection changes, and hands Ctrl+C to its owner (the report is
// copied, not the current cell).
class ResultsList : public QTableView {
    Q_OBJECT
public:
    explicit ResultsList(const TCLTArchive &archive, QWidget *parent = nullptr);

    ResultsModel *Model() const { return model; }
    // Format of the date column; columns widen to the dates it gives.
    void SetDateTimeFormat(const QString &format);

    // -1 when no row is selected.
    int Selected() const;
    // The selected row's session, or nullptr.
    const TCLTSession *SelectedSession() const;

signals:
    // The row whose session the detail view should show (-1 for none).
    // Not emitted while the list's signals are blocked.
    void rowPicked(int row);
    void copyRequested();

protected:
    bool event(QEvent *event) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    void widenColumnsToTheirTexts();

    ResultsModel *model;
    QString dateTimeFormat;
};
