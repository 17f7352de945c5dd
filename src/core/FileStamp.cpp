#include "core/FileStamp.h"

#include <sys/stat.h>

std::optional<FileStamp> StampOf(const std::string &path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    FileStamp stamp;
    stamp.Size = static_cast<std::uint64_t>(info.st_size);
    stamp.ModifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.Inode = static_cast<std::uint64_t>(info.st_ino);
    return stamp;
}
