#include "core/FolderMount.h"

#include <sys/stat.h>

void FolderMount::Listed(std::uint64_t device)
{
    listed = device;
    away.reset();
}

FolderMount::Seen FolderMount::Check(std::uint64_t device, bool listsStored)
{
    if (!listed || device == *listed) {
        const bool back = listed && away;
        Listed(device);
        return back ? Seen::Returned : Seen::Same;
    }
    // Nothing listed can be lost: whatever is mounted now is the folder.
    if (!listsStored || (away && device != *away)) {
        Listed(device);
        return Seen::Returned;
    }
    away = device;
    return Seen::Away;
}

std::optional<std::uint64_t> DeviceOf(const std::string &path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_dev);
}
