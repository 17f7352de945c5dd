#pragma once

#include "core/ListedRow.h"
#include "core/TCLTSession.h"
#include "statistics/GroupStatistics.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The statistics page works on sessions the list holds by their list fields
// and, mostly, the figures of their choices; the rest lies in their files. A
// selection is taken on the window's thread as those figures, file names (or
// copies of sessions held whole) and read and reckoned on a worker, so the
// window never waits for the disk.

// One session of a selection: the figures the list holds of a listed
// session, else its file, or a copy of a session held whole (a session
// never stored has no file to read).
struct SelectedSession {
    std::string Path;
    SessionContext Context;
    std::shared_ptr<const TCLTSession> Whole;
    const void *Origin = nullptr; // the session copied, to tell selections apart
    // Held by the list: the file need not be read.
    std::optional<SessionFigures> Figures;
    std::int32_t TestKind = 0;
    std::string Group;

    static SelectedSession Of(const TCLTSession &session);
    // A row of the list: its held session as above, else its file and figures.
    static SelectedSession Of(const ListedRow &row);
    bool operator==(const SelectedSession &other) const;
};

struct StatisticsRequest {
    std::vector<SelectedSession> First;
    std::optional<std::vector<SelectedSession>> Versus; // the comparison group
    int Choice = 2;

    bool operator==(const StatisticsRequest &) const = default;
};

// Shared between the window and the worker: how far the reading is, and a
// request to stop.
struct StatisticsProgress {
    std::atomic<std::size_t> Done{0};
    std::atomic<std::size_t> Total{0};
    std::atomic<bool> Cancel{false};
};

struct StatisticsResult {
    StatisticsOutput Output;
    std::size_t FirstRead = 0;  // sessions of the first selection read or held
    std::size_t VersusRead = 0; // of the comparison group
    // Files gone or damaged since they were listed; left out of the figures.
    std::vector<std::string> Unreadable;
    bool Cancelled = false;
};

// Reads the sessions of the request and computes their statistics; stops
// early (Cancelled) when progress.Cancel is set.
StatisticsResult ComputeStatistics(const StatisticsRequest &request, StatisticsProgress &progress);
