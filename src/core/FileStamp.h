#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What tells that a file was replaced or rewritten since it was read: its
// size, its modification time and, where the file system has them, its
// inode. All zero for a file never looked at.
struct FileStamp {
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0; // nanoseconds since 1970
    std::uint64_t Inode = 0;

    bool operator==(const FileStamp &) const = default;
    bool Known() const { return *this != FileStamp{}; }
};

// The stamp of the regular file at path (a link is followed); nothing when
// there is no such file or it cannot be looked at.
std::optional<FileStamp> StampOf(const std::string &path);
