#include "ReplaceFile.h"

#include "TSimpleFileStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folderOf(const std::string &path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

[[noreturn]] void fail(const std::string &path, const char *what, int error)
{
    throw StreamError("cannot write " + path + " (" + what + ": " + std::strerror(error) + ")");
}

} // namespace

void ReplaceFileAtomically(const std::string &path, std::string_view bytes)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw StreamError("cannot write " + path + " (it is a folder)");
    const std::string folder = folderOf(path);
    std::string temporary = folder + "/." + std::filesystem::path(path).filename().string() + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        fail(path, "creating a temporary file", errno);
    // Removed on every way out except the rename that puts it in place.
    struct Cleanup {
        int fd;
        std::string path;
        ~Cleanup()
        {
            if (fd >= 0)
                ::close(fd);
            if (!path.empty())
                ::unlink(path.c_str());
        }
    } cleanup{fd, temporary};

    std::size_t offset = 0;
    while (offset < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + offset, bytes.size() - offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(path, "writing", errno);
        }
        offset += static_cast<std::size_t>(n);
    }
    // mkostemp makes the file readable by its owner alone; a data file is
    // shared like any other the user writes.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0)
        fail(path, "setting permissions", errno);
    if (::fsync(fd) != 0)
        fail(path, "syncing", errno);
    cleanup.fd = -1;
    if (::close(fd) != 0)
        fail(path, "closing", errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        fail(path, "renaming into place", errno);
    cleanup.path.clear();
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        // The name is in place; a folder that cannot be synced does not undo it.
        ::fsync(folderFd);
        ::close(folderFd);
    }
}
