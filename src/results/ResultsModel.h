#pragma once

#include "SessionArchive.h"

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <vector>

// The rows of the results list over the archive. A row knows its running
// number (the row count right after it was added) and the archive position
// of its session; every cell is formatted on demand, so a refill of a large
// archive costs two integers per row.
class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 5;

    explicit ResultsModel(const TCLTArchive &archive, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetDateTimeFormat(const QString &format);
    // Sessions for which this is true are shown as not stored (a mark before
    // the name and a tool tip); MarksChanged repaints the marks.
    void SetNotStoredTest(std::function<bool(const TCLTSession &)> test);
    void MarksChanged();

    // Replaces all rows with one per given archive position, numbered 1, 2...
    void Reset(std::vector<int> positions);
    void Clear();
    // Appends a row numbered one past the last row's number.
    void Append(int position);
    // Appends a row per position, numbered on, in one insertion.
    void AppendMany(const std::vector<int> &positions);
    // The row of that archive position, or -1 when it is not listed.
    int RowOf(int position) const;
    // Removes the row (none when it is -1) and shifts the stored positions
    // above the removed session's position down by one; running numbers stay
    // as they were.
    void RemoveRowOfDeletedSession(int row, int removedPosition);
    // The same for sessions taken out of the archive at these positions
    // (ascending, their positions before the removal), as one change: one
    // removal when their rows stand together, else a reset. With refreshed
    // (listed sessions were read again in place) it is always a reset.
    void RemoveRowsOfDeletedSessions(const std::vector<int> &ascendingPositions, bool refreshed = false);

    // -1 when the row is outside the list.
    int PositionAt(int row) const;
    int NumberAt(int row) const;
    // The row's session, or nullptr when its position lies outside the archive.
    const TCLTSession *SessionAt(int row) const;

private:
    struct Row {
        int Number;
        int Position;
    };
    int nextNumber() const;

    const TCLTArchive &archive;
    std::vector<Row> rows;
    QString dateTimeFormat = QStringLiteral("dd.MM.yyyy H:mm:ss");
    std::function<bool(const TCLTSession &)> notStored;
};
