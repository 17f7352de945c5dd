#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Tells whether the session folder is still the file system its list was
// read from. A share unmounted under its mount point leaves an empty folder
// of another device there: that folder says nothing about which sessions
// exist. A device that changes once more is the share mounted again (often
// under a new device number) and is taken as the folder from then on.
class FolderMount {
public:
    enum class Seen {
        Same,     // the listed device
        Away,     // another device under a listed archive: out of reach
        Returned, // a new device after being away, or under an empty list: the folder from now on
    };

    // The device the folder's list was read from.
    void Listed(std::uint64_t device);
    // listsStored: the list holds sessions stored in the folder.
    Seen Check(std::uint64_t device, bool listsStored);

private:
    std::optional<std::uint64_t> listed;
    std::optional<std::uint64_t> away;
};

// The device of the file system that holds path; nothing when it cannot be
// looked at.
std::optional<std::uint64_t> DeviceOf(const std::string &path);
