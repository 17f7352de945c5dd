#pragma once

#include "core/ArchiveList.h"
#include "core/SessionDetails.h"

#include <QSignalBlocker>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSettings;
class ResultsList;

// Keeps the results list's selection on its session while the archive
// changes under it, and selects the stored row (the placement's) once the
// rows reach it. It tells its owner which model row to show anew, or that
// nothing is shown; cached details of sessions that went or were read again
// are dropped. Listens to the archive from its construction, which must come
// after the list's model: the selection is put right once the rows are.
class ResultsSelection : private ArchiveListObserver {
public:
    struct Display {
        std::function<void(int row)> Show; // the model row to show anew
        std::function<void()> Clear;       // nothing selected to show
    };
    ResultsSelection(ArchiveList &archive, ResultsList &list, QSettings &placement, SessionDetailCache &details,
                     Display display);
    ~ResultsSelection() override;
    ResultsSelection(const ResultsSelection &) = delete;
    ResultsSelection &operator=(const ResultsSelection &) = delete;

    // The detail view shows that model row (-1 for none): the user's choice
    // or the stored row reached.
    void Shown(int row);
    // The list was refilled: without a selection the stored row is selected
    // once the rows reach it, and a reorder selects it again.
    void Refilled();
    // Removes the session at that archive position as the user's delete: the
    // row shown in its place is selected afterwards.
    void DeleteByUser(std::size_t position);

private:
    // Sessions appended to the archive get rows from the model; the stored
    // row is selected once the rows reach it.
    void Appended(std::size_t first, std::size_t count) override;
    // The selection stays on its session, or moves to the next row left when
    // that goes (for the user's delete: to the row shown in its place).
    void Removing(const std::vector<PositionRun> &runs) override;
    void Removed(const std::vector<PositionRun> &runs) override;
    // The shown session stays selected through a reorder.
    void Resetting() override;
    void Reset() override;
    // Sessions read again in place are shown anew.
    void Changed(const std::vector<std::size_t> &positions) override;

    // Selects that row as the stored one (see storedRowShown).
    bool selectAsStored(int row);

    // What a removal found before the sessions went.
    struct Removal {
        int Selected = -1;      // model row
        int ShownRow = -1;      // where it was shown
        int Keep = -1;          // the position to select afterwards
        bool ShowAgain = false; // the shown session changes or was read again
        std::unique_ptr<QSignalBlocker> Quiet;
    };

    ArchiveList &archive;
    ResultsList &list;
    QSettings &placement;
    SessionDetailCache &details;
    Display display;
    bool refilled = false;  // rows added to the archive later are listed
    int pendingSelect = -1; // the stored row, selected once rows reach it
    // The selection is the stored row reached by the start-up pass, not one
    // picked since: a reorder at the pass's end selects that row again.
    bool storedRowShown = false;
    bool selectingStoredRow = false;
    bool userDelete = false; // the removal under way is the user's delete
    std::optional<Removal> removal;
    const TCLTSession *shownBeforeReset = nullptr;
};
