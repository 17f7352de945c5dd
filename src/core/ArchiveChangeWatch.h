#pragma once

#include "core/ArchiveList.h"

#include <functional>

// Tells its owner of every change of the archive's list (sessions appended,
// removed, reordered or read again), whatever the change; stops listening
// when destroyed. The archive must outlive it.
class ArchiveChangeWatch : private ArchiveListObserver {
public:
    ArchiveChangeWatch(ArchiveList &archive, std::function<void()> changed);
    ~ArchiveChangeWatch() override;
    ArchiveChangeWatch(const ArchiveChangeWatch &) = delete;
    ArchiveChangeWatch &operator=(const ArchiveChangeWatch &) = delete;

private:
    void Appended(std::size_t, std::size_t) override { changed(); }
    void Removed(const std::vector<PositionRun> &) override { changed(); }
    void Reset() override { changed(); }
    void Changed(const std::vector<std::size_t> &) override { changed(); }

    ArchiveList &archive;
    std::function<void()> changed;
};
