#include "results/ResultsSearchProxy.h"

#include "core/NameSearch.h"
#include "results/ResultsModel.h"

#include <algorithm>

ResultsSearchProxy::ResultsSearchProxy(ResultsModel &source, QObject *parent)
    : QSortFilterProxyModel(parent), model(source)
{
    // Connected before the proxy's own handlers, so a change never meets a
    // name kept for the row that was there before.
    const auto forget = [this] {
        folded.Clear();
        nextToFold = 0;
        folding->start(QuietMs);
    };
    // Rows appended at the end leave every kept name at its row.
    connect(&source, &QAbstractItemModel::rowsAboutToBeInserted, this, [this, forget](const QModelIndex &, int first) {
        if (first < model.rowCount())
            forget();
        else
            folding->start(QuietMs);
    });
    connect(&source, &QAbstractItemModel::rowsAboutToBeRemoved, this, forget);
    connect(&source, &QAbstractItemModel::modelAboutToBeReset, this, forget);
    connect(&source, &QAbstractItemModel::layoutAboutToBeChanged, this, forget);
    connect(&source, &QAbstractItemModel::dataChanged, this, forget);
    setSourceModel(&source);
    setDynamicSortFilter(true);
    // The names are folded ahead of the first search, a slice at a time
    // while the window is idle, so that search does not fold them all.
    connect(folding, &QTimer::timeout, this, &ResultsSearchProxy::foldSome);
    folding->start(QuietMs);
}

void ResultsSearchProxy::FoldedNames::Clear()
{
    Text.clear();
    End.clear();
    Start.clear();
}

void ResultsSearchProxy::FoldedNames::Resize(std::size_t rows)
{
    if (End.size() < rows) {
        End.resize(rows, 0);
        Start.resize(rows, 0);
    }
}

void ResultsSearchProxy::FoldedNames::Set(std::size_t row, std::string_view name)
{
    // Never empty, so End says whether it was made: a blank between the parts.
    Start[row] = static_cast<std::uint32_t>(Text.size());
    Text.append(name).push_back('\0');
    End[row] = static_cast<std::uint32_t>(Text.size());
}

std::string_view ResultsSearchProxy::FoldedNames::Get(std::size_t row) const
{
    return std::string_view(Text).substr(Start[row], End[row] - Start[row] - 1);
}

void ResultsSearchProxy::foldSome()
{
    folding->setInterval(1); // the rows are quiet: a slice at every turn of the loop
    const auto rows = static_cast<std::size_t>(model.rowCount());
    folded.Resize(rows);
    for (std::size_t done = 0; nextToFold < rows && done < FoldSlice; ++nextToFold) {
        if (folded.Has(nextToFold))
            continue;
        if (const std::optional<ListedRow> session = model.RowAt(static_cast<int>(nextToFold)))
            folded.Set(nextToFold, SearchableName(*session));
        ++done;
    }
    if (nextToFold >= rows)
        folding->stop();
}

void ResultsSearchProxy::SetSearchText(const QString &typed)
{
    std::string newKey = SearchKey(typed.toStdString());
    if (newKey == key)
        return;
    key = std::move(newKey);
    // One layout change for the whole list: filtering again would remove or
    // insert each run of rows apart, and the view recounts its rows at each
    // (a search keeping 1,600 scattered rows of 100,000 took 5 times longer).
    invalidate();
}

int ResultsSearchProxy::SourceRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    return mapToSource(index(row, 0)).row();
}

int ResultsSearchProxy::ShownRow(int sourceRow) const
{
    if (sourceRow < 0 || sourceRow >= model.rowCount())
        return -1;
    return mapFromSource(model.index(sourceRow, 0)).row();
}

bool ResultsSearchProxy::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    if (key.empty())
        return true;
    const std::optional<ListedRow> session = model.RowAt(sourceRow);
    if (!session)
        return false;
    const auto row = static_cast<std::size_t>(sourceRow);
    folded.Resize(std::max(row + 1, static_cast<std::size_t>(model.rowCount())));
    if (!folded.Has(row))
        folded.Set(row, SearchableName(*session));
    return folded.Get(row).find(key) != std::string_view::npos;
}

bool ResultsSearchProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const int a = left.row();
    const int b = right.row();
    const std::optional<ListedRow> first = model.RowAt(a);
    const std::optional<ListedRow> second = model.RowAt(b);
    // Ties, and rows whose session is gone, keep the list's own order.
    const auto byNumber = [&] { return model.NumberAt(a) < model.NumberAt(b); };
    if (left.column() == 0 || !first || !second)
        return byNumber();
    switch (left.column()) {
    case 1:
        return first->StartedAt != second->StartedAt ? first->StartedAt < second->StartedAt : byNumber();
    case 2:
        return first->TestKind != second->TestKind ? first->TestKind < second->TestKind : byNumber();
    case 3: {
        // Folded UTF-8 compares in alphabet order for Russian names (ё as е).
        const int order = FoldForSearch(DisplayNameOf(*first)).compare(FoldForSearch(DisplayNameOf(*second)));
        return order != 0 ? order < 0 : byNumber();
    }
    case 4:
        return first->DurationSeconds != second->DurationSeconds ? first->DurationSeconds < second->DurationSeconds
                                                                 : byNumber();
    }
    return byNumber();
}
