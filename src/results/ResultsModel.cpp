#include "ResultsModel.h"

#include "DateTimeText.h"
#include "TestKinds.h"

#include <algorithm>

namespace {
const char *const captions[ResultsModel::ColumnCount] = {"№", "Время проведения", "Тест", "Тестируемый",
                                                         "Продолжительность тестирования"};
}

ResultsModel::ResultsModel(const TCLTArchive &archive, QObject *parent) : QAbstractTableModel(parent), archive(archive)
{
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
    const TCLTSession *session = SessionAt(index.row());
    if (!session)
        return {};
    switch (index.column()) {
    case 1:
        return FormatOleDateTime(session->StartedAt, dateTimeFormat);
    case 2:
        return QString::fromStdString(TestKindListName(session->TestKind));
    case 3:
        if (notStored && notStored(*session))
            return role == Qt::DisplayRole
                ? QStringLiteral("[не сохранен] ") + QString::fromStdString(session->DisplayName)
                : QStringLiteral("Результат не сохранен в папке результатов; команда «Сохранить повторно» "
                                 "сохраняет его");
        return QString::fromStdString(session->DisplayName);
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

void ResultsModel::SetNotStoredTest(std::function<bool(const TCLTSession &)> test)
{
    notStored = std::move(test);
    MarksChanged();
}

void ResultsModel::MarksChanged()
{
    if (!rows.empty())
        emit dataChanged(index(0, 3), index(rowCount() - 1, 3), {Qt::DisplayRole, Qt::ToolTipRole});
}

void ResultsModel::Reset(std::vector<int> positions)
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

void ResultsModel::RemoveRowOfDeletedSession(int row, int removedPosition)
{
    if (row >= 0 && row < rowCount()) {
        beginRemoveRows({}, row, row);
        rows.erase(rows.begin() + row);
        endRemoveRows();
    }
    bool shifted = false;
    for (Row &r : rows) {
        if (r.Position > removedPosition) {
            --r.Position;
            shifted = true;
        }
    }
    // The cells of a shifted row show the same session as before, so only
    // views that cache by position need to hear about it.
    if (shifted && !rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void ResultsModel::RemoveRowsOfDeletedSessions(const std::vector<int> &ascendingPositions, bool refreshed)
{
    const auto gone = [&](int position) {
        return std::binary_search(ascendingPositions.begin(), ascendingPositions.end(), position);
    };
    int first = -1;
    int last = -1;
    bool together = true;
    for (int row = 0; row < rowCount(); ++row) {
        if (!gone(rows[static_cast<std::size_t>(row)].Position))
            continue;
        together = together && (first < 0 || last == row - 1);
        if (first < 0)
            first = row;
        last = row;
    }
    const bool reset = refreshed || (first >= 0 && !together);
    if (reset)
        beginResetModel();
    else if (first >= 0)
        beginRemoveRows({}, first, last);
    if (first >= 0)
        rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const Row &r) { return gone(r.Position); }),
                   rows.end());
    // Every later row's session moved down by the removed ones before it; the
    // cells show the same sessions, so no repaint is asked for.
    for (Row &r : rows) {
        const auto below = std::lower_bound(ascendingPositions.begin(), ascendingPositions.end(), r.Position);
        r.Position -= static_cast<int>(below - ascendingPositions.begin());
    }
    if (reset)
        endResetModel();
    else if (first >= 0)
        endRemoveRows();
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
    if (position < 0 || static_cast<std::size_t>(position) >= archive.Count())
        return nullptr;
    return &archive[static_cast<std::size_t>(position)];
}
