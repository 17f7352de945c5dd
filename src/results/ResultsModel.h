#pragma once

#include "core/ArchiveList.h"

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// The rows of the results list over the archive. A row knows its running
// number (the row count right after it was added) and the archive position
// of its session; every cell is formatted on demand, so a refill of a large
// archive costs two integers per row. It listens to the archive's list and
// keeps its positions right through every change: one insertion, one
// contiguous removal or one reset per change, never one per row.
class ResultsModel : public QAbstractTableModel, private ArchiveListObserver {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 5;

    explicit ResultsModel(ArchiveList &archive, QObject *parent = nullptr);
    ~ResultsModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetDateTimeFormat(const QString &format);
    // Sessions for which this is true are shown as not stored (a mark before
    // the name and a tool tip); MarksChanged repaints the marks.
    void SetNotStoredTest(std::function<bool(const ListedRow &)> test);
    void MarksChanged();

    // Sessions appended to the archive get rows only once the list was
    // filled (Listing), and then those the test admits (all without one).
    void SetListing(bool listing, std::function<bool(const ListedRow &)> admits = {});
    bool Listing() const { return listing; }

    // Replaces all rows with one per given archive position, numbered 1, 2...
    void Reset(const std::vector<int> &positions);
    void Clear();
    // Appends a row numbered one past the last row's number.
    void Append(int position);
    // Appends a row per position, numbered on, in one insertion.
    void AppendMany(const std::vector<int> &positions);
    // The row of that archive position, or -1 when it is not listed.
    int RowOf(int position) const;

    // -1 when the row is outside the list.
    int PositionAt(int row) const;
    int NumberAt(int row) const;
    // The row's session object (made from its row when the list holds none),
    // or nullptr when its position lies outside the archive. For the rows
    // worked on one at a time; the others read RowAt.
    const TCLTSession *SessionAt(int row) const;
    // The row's list fields, without making a session object.
    std::optional<ListedRow> RowAt(int row) const;

private:
    struct Row {
        int Number;
        int Position;
    };
    int nextNumber() const;

    // Running numbers stay as they were when sessions go.
    void Appended(std::size_t first, std::size_t count) override;
    void Removing(const std::vector<PositionRun> &runs) override;
    void Removed(const std::vector<PositionRun> &runs) override;
    void Resetting() override;
    void Reset() override;
    void Changed(const std::vector<std::size_t> &positions) override;

    enum class Pending { None, Remove, Reset };

    ArchiveList &list;
    std::vector<Row> rows;
    bool listing = false;
    std::function<bool(const ListedRow &)> admits;
    Pending pending = Pending::None; // between Removing and Removed
    QString dateTimeFormat = QStringLiteral("dd.MM.yyyy H:mm:ss");
    std::function<bool(const ListedRow &)> notStored;
};
