#include "results/ResultsSelection.h"

#include "results/ListLayout.h"
#include "results/ResultsList.h"
#include "results/ResultsModel.h"
#include "results/ResultsSearchProxy.h"

#include <algorithm>

ResultsSelection::ResultsSelection(ArchiveList &archive, ResultsList &list, QSettings &placement,
                                   SessionDetailCache &details, Display display)
    : archive(archive), list(list), placement(placement), details(details), display(std::move(display))
{
    archive.AddObserver(this);
}

ResultsSelection::~ResultsSelection() { archive.RemoveObserver(this); }

void ResultsSelection::Shown(int row)
{
    storedRowShown = selectingStoredRow && row >= 0;
    if (row >= 0)
        pendingSelect = -1;
}

void ResultsSelection::Refilled()
{
    refilled = true;
    // The start-up pass may not have reached the stored row yet.
    pendingSelect = list.Selected() < 0 ? StoredRow(&list, placement) : -1;
}

void ResultsSelection::DeleteByUser(std::size_t position)
{
    userDelete = true;
    archive.Remove(position);
    userDelete = false;
}

bool ResultsSelection::selectAsStored(int row)
{
    selectingStoredRow = true;
    const bool selected = SelectRow(&list, row);
    selectingStoredRow = false;
    return selected;
}

void ResultsSelection::Appended(std::size_t, std::size_t)
{
    if (pendingSelect >= 0 && list.Selected() < 0 && selectAsStored(pendingSelect))
        pendingSelect = -1;
}

void ResultsSelection::Removing(const std::vector<PositionRun> &runs)
{
    ResultsModel *model = list.Model();
    const auto gone = [&](int p) {
        if (p < 0)
            return false;
        for (const PositionRun &run : runs)
            if (static_cast<std::size_t>(p) >= run.First && static_cast<std::size_t>(p) < run.First + run.Count)
                return true;
        return false;
    };
    Removal found;
    found.Selected = list.Selected();
    found.ShownRow = found.Selected >= 0 ? list.Shown()->ShownRow(found.Selected) : -1;
    const int shown = model->PositionAt(found.Selected);
    // The row to select afterwards: the shown one, or the next one left when it goes.
    for (int row = found.Selected; row >= 0 && row < model->rowCount() && found.Keep < 0; ++row)
        if (!gone(model->PositionAt(row)))
            found.Keep = model->PositionAt(row);
    found.ShowAgain = found.Keep != shown;
    for (const PositionRun &run : runs)
        for (std::size_t p = run.First; p < run.First + run.Count; ++p)
            details.Forget(archive.HeldAt(p));
    found.Quiet = std::make_unique<QSignalBlocker>(&list);
    removal = std::move(found);
}

void ResultsSelection::Removed(const std::vector<PositionRun> &runs)
{
    if (!removal)
        return;
    Removal found = std::move(*removal);
    removal.reset();
    ResultsModel *model = list.Model();
    if (found.Keep >= 0) {
        int before = 0;
        for (const PositionRun &run : runs)
            if (run.First + run.Count <= static_cast<std::size_t>(found.Keep))
                before += static_cast<int>(run.Count);
        found.Keep -= before;
    }
    bool selectedAgain = false;
    if (found.Selected >= 0 && model->rowCount() > 0) {
        if (userDelete) {
            // The row now shown where the deleted one was.
            const int shownRows = list.Shown()->rowCount();
            selectedAgain = found.ShownRow >= 0 && SelectRow(&list, std::min(found.ShownRow, shownRows - 1));
            found.ShowAgain = true;
        } else {
            selectedAgain = list.SelectModelRow(found.Keep >= 0 ? model->RowOf(found.Keep) : model->rowCount() - 1);
        }
    }
    found.Quiet.reset();
    if (found.Selected < 0)
        return;
    if (!selectedAgain)
        display.Clear();
    else if (found.ShowAgain)
        display.Show(list.Selected());
}

void ResultsSelection::Resetting() { shownBeforeReset = list.SelectedSession(); }

void ResultsSelection::Reset()
{
    // The rows were made again in the list's new order.
    const long long position = shownBeforeReset ? archive.PositionOf(shownBeforeReset) : -1;
    shownBeforeReset = nullptr;
    if (storedRowShown && selectAsStored(StoredRow(&list, placement)))
        return;
    if (position >= 0 && list.SelectModelRow(list.Model()->RowOf(static_cast<int>(position))))
        return;
    if (refilled && list.Selected() < 0) {
        display.Clear();
        if (!SelectRow(&list, StoredRow(&list, placement)))
            pendingSelect = StoredRow(&list, placement);
    }
}

void ResultsSelection::Changed(const std::vector<std::size_t> &positions)
{
    for (const std::size_t p : positions)
        details.Forget(archive.HeldAt(p));
    const int shown = list.Model()->PositionAt(list.Selected());
    if (shown >= 0 && std::binary_search(positions.begin(), positions.end(), static_cast<std::size_t>(shown)))
        display.Show(list.Selected());
}
