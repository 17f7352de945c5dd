#pragma once

// A file system of its own, 64 KB of tmpfs mounted on a temporary folder, for
// what a full disk does to a save. Mounting needs root (CI runs the suite as
// root); Mounted() says whether it worked, and tests skip without it.
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

class SmallFilesystem {
public:
    SmallFilesystem()
    {
        char pattern[] = "/tmp/palettor-small-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            return;
        folder = pattern;
        mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallFilesystem()
    {
        if (mounted)
            ::umount2(folder.c_str(), MNT_DETACH);
        if (!folder.empty())
            ::rmdir(folder.c_str());
    }
    SmallFilesystem(const SmallFilesystem &) = delete;
    SmallFilesystem &operator=(const SmallFilesystem &) = delete;

    bool Mounted() const { return mounted; }
    const std::string &Path() const { return folder; }

    // Fills what is free, then frees freeBytes (whole pages) again.
    void FillLeaving(std::size_t freeBytes) const
    {
        const std::string filler = folder + "/filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const std::string block(4096, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        const off_t size = ::lseek(fd, 0, SEEK_END);
        const auto leave = static_cast<off_t>(freeBytes);
        if (::ftruncate(fd, size > leave ? size - leave : 0) != 0)
            std::abort();
        ::close(fd);
    }

private:
    std::string folder;
    bool mounted = false;
};
