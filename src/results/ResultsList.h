#pragma once

#include "core/ArchiveList.h"

#include <QString>
#include <QTableView>

class ResultsModel;
class ResultsSearchProxy;

// The results list: one row per listed session over a ResultsModel, shown
// through a search and sort proxy; single row selection, fixed row heights.
// Rows named by its interface are the model's rows, whatever is shown where.
// It reports the row to show rather than raw selection changes, and hands
// Ctrl+C to its owner (the report is copied, not the current cell).
class ResultsList : public QTableView {
    Q_OBJECT
public:
    explicit ResultsList(ArchiveList &archive, QWidget *parent = nullptr);

    ResultsModel *Model() const { return model; }
    ResultsSearchProxy *Shown() const { return proxy; }
    // Format of the date column; columns widen to the dates it gives.
    void SetDateTimeFormat(const QString &format);

    // A stored name width was restored: the name column no longer fills the
    // width the others leave.
    void KeepNameWidth();

    // The model's row selected, -1 when none.
    int Selected() const;
    // Selects the model's row where it is shown; false when it is not.
    bool SelectModelRow(int row);
    // The selected row's session, or nullptr.
    const TCLTSession *SelectedSession() const;

signals:
    // The model's row whose session the detail view should show (-1 for none).
    // Not emitted while the list's signals are blocked.
    void rowPicked(int row);
    void copyRequested();

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    void widenColumnsToTheirTexts();

    ResultsModel *model;
    ResultsSearchProxy *proxy;
    QString dateTimeFormat;
    bool nameFillsRest = true;
};
