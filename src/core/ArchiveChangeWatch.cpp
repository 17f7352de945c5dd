#include "core/ArchiveChangeWatch.h"

ArchiveChangeWatch::ArchiveChangeWatch(ArchiveList &archive, std::function<void()> changed)
    : archive(archive), changed(std::move(changed))
{
    archive.AddObserver(this);
}

ArchiveChangeWatch::~ArchiveChangeWatch() { archive.RemoveObserver(this); }
