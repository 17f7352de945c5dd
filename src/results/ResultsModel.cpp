#include "results/ResultsModel.h"

#include "qtkit/DateTimeText.h"
#include "testing/TestKinds.h"

#include <algorithm>

namespace {
const char *const captions[ResultsModel::ColumnCount] = {"№", "Время проведения", "Тест", "Тестируемый",
                                                         "Продолжительность тестирования"};
}

ResultsModel::ResultsModel(ArchiveList &list, QObject *parent) : QAbstractTableModel(parent), list(list)
{
    list.AddObserver(this);
}

ResultsModel::~ResultsModel() { list.RemoveObserver(this); }

void ResultsModel::SetListing(bool on, std::function<bool(const ListedRow &)> test)
{
    listing = on;
    admits = std::move(test);
}

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int ResultsModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    if (role == Qt::TextAlignmentRole && index.column() == 0)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const Row &row = rows[static_cast<std::size_t>(index.row())];
    if (index.column() == 0)
        return role == Qt::DisplayRole ? QVariant(QString::number(row.Number)) : QVariant();
    const std::optional<ListedRow> session = RowAt(index.row());
    if (!session)
        return {};
    switch (index.column()) {
    case 1:
        return FormatOleDateTime(session->StartedAt, dateTimeFormat);
    case 2:
        return QString::fromStdString(TestKindListName(session->TestKind));
    case 3: {
        // Made when painted: the list keeps no name per row.
        const QString name = QString::fromStdString(DisplayNameOf(*session));
        if (notStored && notStored(*session))
            return role == Qt::DisplayRole
                ? QStringLiteral("[не сохранен] ") + name
                : QStringLiteral("Результат не сохранен в папке результатов; команда «Сохранить повторно» "
                                 "сохраняет его");
        return name;
    }
    case 4:
        return DurationQText(session->DurationSeconds);
    }
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return QString::fromUtf8(captions[section]);
    return {};
}

void ResultsModel::SetDateTimeFormat(const QString &format)
{
    dateTimeFormat = format;
    if (!rows.empty())
        emit dataChanged(index(0, 1), index(rowCount() - 1, 1), {Qt::DisplayRole});
}

void ResultsModel::SetNotStoredTest(std::function<bool(const ListedRow &)> test)
{
    notStored = std::move(test);
    MarksChanged();
}

void ResultsModel::MarksChanged()
{
    if (!rows.empty())
        emit dataChanged(index(0, 3), index(rowCount() - 1, 3), {Qt::DisplayRole, Qt::ToolTipRole});
}

void ResultsModel::Reset(const std::vector<int> &positions)
{
    beginResetModel();
    rows.clear();
    rows.reserve(positions.size());
    int number = 0;
    for (int position : positions)
        rows.push_back({++number, position});
    endResetModel();
}

void ResultsModel::Clear()
{
    if (rows.empty())
        return;
    beginResetModel();
    rows.clear();
    endResetModel();
}

void ResultsModel::Append(int position)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    rows.push_back({nextNumber(), position});
    endInsertRows();
}

void ResultsModel::AppendMany(const std::vector<int> &positions)
{
    if (positions.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(positions.size()) - 1);
    for (const int position : positions)
        rows.push_back({nextNumber(), position});
    endInsertRows();
}

int ResultsModel::nextNumber() const
{
    // One past the last row's number, not the row count: after a deletion the
    // numbers keep their gap, and the count would repeat the last number.
    return rows.empty() ? 1 : rows.back().Number + 1;
}

int ResultsModel::RowOf(int position) const
{
    // Searched through: it serves sessions removed by another station, which are few.
    const auto found =
        std::find_if(rows.begin(), rows.end(), [position](const Row &r) { return r.Position == position; });
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

namespace {
// Whether the position lies in one of the runs (ascending, apart).
bool inRuns(const std::vector<PositionRun> &runs, int position)
{
    const auto p = static_cast<std::size_t>(position);
    const auto after = std::upper_bound(runs.begin(), runs.end(), p,
                                        [](std::size_t value, const PositionRun &run) { return value < run.First; });
    return after != runs.begin() && p < std::prev(after)->First + std::prev(after)->Count;
}
} // namespace

void ResultsModel::Appended(std::size_t first, std::size_t count)
{
    if (!listing)
        return;
    std::vector<int> positions;
    const std::size_t end = std::min(first + count, list.Count());
    for (std::size_t position = first; position < end; ++position)
        if (!admits || admits(list.Row(position)))
            positions.push_back(static_cast<int>(position));
    AppendMany(positions);
}

void ResultsModel::Removing(const std::vector<PositionRun> &runs)
{
    int first = -1;
    int last = -1;
    bool together = true;
    for (int row = 0; row < rowCount(); ++row) {
        if (!inRuns(runs, rows[static_cast<std::size_t>(row)].Position))
            continue;
        together = together && (first < 0 || last == row - 1);
        if (first < 0)
            first = row;
        last = row;
    }
    if (first < 0) {
        pending = Pending::None;
    } else if (together) {
        pending = Pending::Remove;
        beginRemoveRows({}, first, last);
    } else {
        pending = Pending::Reset;
        beginResetModel();
    }
}

void ResultsModel::Removed(const std::vector<PositionRun> &runs)
{
    if (pending != Pending::None)
        rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const Row &r) { return inRuns(runs, r.Position); }),
                   rows.end());
    // Every later row's session moved down by the removed ones before it; the
    // cells show the same sessions, so no repaint is asked for.
    std::vector<std::size_t> ends; // of each run, ascending
    std::vector<int> removedBy;    // sessions removed up to that end
    int total = 0;
    for (const PositionRun &run : runs) {
        ends.push_back(run.First + run.Count);
        removedBy.push_back(total += static_cast<int>(run.Count));
    }
    for (Row &r : rows) {
        const auto done = std::upper_bound(ends.begin(), ends.end(), static_cast<std::size_t>(r.Position));
        if (done != ends.begin())
            r.Position -= removedBy[static_cast<std::size_t>(done - ends.begin()) - 1];
    }
    if (pending == Pending::Remove)
        endRemoveRows();
    else if (pending == Pending::Reset)
        endResetModel();
    pending = Pending::None;
}

void ResultsModel::Resetting() { beginResetModel(); }

void ResultsModel::Reset()
{
    // The order changed: the rows are made again as the list last admitted them.
    rows.clear();
    if (listing) {
        int number = 0;
        for (std::size_t position = 0; position < list.Count(); ++position)
            if (!admits || admits(list.Row(position)))
                rows.push_back({++number, static_cast<int>(position)});
    }
    endResetModel();
}

void ResultsModel::Changed(const std::vector<std::size_t> &positions)
{
    int first = -1;
    int last = -1;
    for (int row = 0; row < rowCount(); ++row) {
        const int position = rows[static_cast<std::size_t>(row)].Position;
        if (std::binary_search(positions.begin(), positions.end(), static_cast<std::size_t>(position))) {
            if (first < 0)
                first = row;
            last = row;
        }
    }
    if (first >= 0)
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

int ResultsModel::PositionAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    return rows[static_cast<std::size_t>(row)].Position;
}

int ResultsModel::NumberAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    return rows[static_cast<std::size_t>(row)].Number;
}

const TCLTSession *ResultsModel::SessionAt(int row) const
{
    const int position = PositionAt(row);
    if (position < 0 || static_cast<std::size_t>(position) >= list.Count())
        return nullptr;
    return &list[static_cast<std::size_t>(position)];
}

std::optional<ListedRow> ResultsModel::RowAt(int row) const
{
    const int position = PositionAt(row);
    if (position < 0 || static_cast<std::size_t>(position) >= list.Count())
        return std::nullopt;
    return list.Row(static_cast<std::size_t>(position));
}
