#include "ReplaceFile.h"

#include "SystemReason.h"
#include "TSimpleFileStream.h"

#include <algorithm>
#include <cerrno>
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

// Removed on every way out except the rename that puts it in place.
struct Temporary {
    int fd = -1;
    std::string path;
    ~Temporary()
    {
        if (fd >= 0)
            ::close(fd);
        if (!path.empty())
            ::unlink(path.c_str());
    }
};

std::string reason(const char *what, int code) { return std::string(what) + ": " + SystemReasonText(code); }

} // namespace

std::string ReplaceFile(const std::string &path, std::string_view bytes, const ReplaceFileOptions &options)
{
    const ReplaceFileHooks &hooks = options.Hooks;
    auto before = [&](ReplaceStep step) { return hooks.BeforeStep ? hooks.BeforeStep(step) : 0; };
    std::string target = path;
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
        // The link stays and the file it leads to is replaced, as an editor does.
        std::error_code error;
        const std::filesystem::path resolved = std::filesystem::canonical(path, error);
        if (!error)
            target = resolved.string();
    }
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            return "под этим именем уже есть папка";
        // A device or a pipe is never swapped for a plain file.
        if (!S_ISREG(existing.st_mode))
            return "под этим именем не обычный файл, а устройство или канал";
    }
    const std::string folder = folderOf(target);
    Temporary temporary;
    temporary.path = folder + "/." + std::filesystem::path(target).filename().string() + ".XXXXXX";
    int code = before(ReplaceStep::Creating);
    if (code == 0) {
        temporary.fd = ::mkostemp(temporary.path.data(), O_CLOEXEC);
        code = temporary.fd < 0 ? errno : 0;
    }
    if (code != 0) {
        temporary.path.clear(); // nothing was created
        return reason("не удалось создать временный файл в папке", code);
    }

    for (std::size_t offset = 0; offset < bytes.size();) {
        std::size_t count = bytes.size() - offset;
        if (hooks.BeforeWrite) {
            if (const int fault = hooks.BeforeWrite(offset, count))
                return reason("не удалось записать файл", fault);
            count = std::min(count, bytes.size() - offset);
        }
        const ssize_t n = ::write(temporary.fd, bytes.data() + offset, count);
        if (n < 0 && errno == EINTR)
            continue;
        // A write that takes nothing would take nothing again: a full disk.
        if (n <= 0)
            return reason("не удалось записать файл", n < 0 ? errno : ENOSPC);
        offset += static_cast<std::size_t>(n);
    }
    // mkostemp makes the file its owner's alone.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(temporary.fd, options.Mode & ~mask) != 0)
        return reason("не удалось задать права файла", errno);
    // Space a file system grants late (a network share, a thin volume) is
    // found missing only here.
    code = before(ReplaceStep::Syncing);
    if (code == 0 && ::fsync(temporary.fd) != 0)
        code = errno;
    if (code != 0)
        return reason("не удалось записать файл на диск", code);
    code = before(ReplaceStep::Closing);
    const int fd = temporary.fd;
    temporary.fd = -1;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    if (code != 0)
        return reason("не удалось записать файл на диск", code);
    code = before(ReplaceStep::Renaming);
    if (code == 0 && ::rename(temporary.path.c_str(), target.c_str()) != 0)
        code = errno;
    if (code != 0)
        return reason("не удалось заменить файл", code);
    temporary.path.clear();
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        // The name is in place; a folder that cannot be synced does not undo it.
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return {};
}

void ReplaceFileAtomically(const std::string &path, std::string_view bytes, const ReplaceFileOptions &options)
{
    const std::string problem = ReplaceFile(path, bytes, options);
    if (!problem.empty())
        throw StreamError("не удалось сохранить файл \"" + path + "\": " + problem);
}
