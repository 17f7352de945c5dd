#include "core/ReplaceFile.h"

#include "core/SystemReason.h"
#include "core/TSimpleFileStream.h"

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

std::string reason(const char *what, int code) { return std::string(what) + ": " + SystemReasonText(code); }

} // namespace

std::string FileReplacement::fail(std::string why)
{
    Abandon();
    problem = std::move(why);
    return problem;
}

void FileReplacement::Abandon()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (!temporaryPath.empty())
        ::unlink(temporaryPath.c_str());
    temporaryPath.clear();
}

std::string FileReplacement::Begin(const std::string &path, const ReplaceFileOptions &given)
{
    Abandon();
    options = given;
    problem.clear();
    written = 0;
    target = path;
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
            return fail("под этим именем уже есть папка");
        // A device or a pipe is never swapped for a plain file.
        if (!S_ISREG(existing.st_mode))
            return fail("под этим именем не обычный файл, а устройство или канал");
    }
    folder = folderOf(target);
    std::string name = folder + "/." + std::filesystem::path(target).filename().string() + ".XXXXXX";
    int code = options.Hooks.BeforeStep ? options.Hooks.BeforeStep(ReplaceStep::Creating) : 0;
    if (code == 0) {
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        code = fd < 0 ? errno : 0;
    }
    if (code != 0) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
            ::unlink(name.c_str());
        }
        return fail(reason("не удалось создать временный файл в папке", code));
    }
    temporaryPath = std::move(name);
    return {};
}

std::string FileReplacement::Append(std::string_view bytes)
{
    if (!problem.empty() || fd < 0)
        return problem.empty() ? fail("файл не начат") : problem;
    const ReplaceFileHooks &hooks = options.Hooks;
    for (std::size_t offset = 0; offset < bytes.size();) {
        std::size_t count = bytes.size() - offset;
        if (hooks.BeforeWrite) {
            if (const int fault = hooks.BeforeWrite(written, count))
                return fail(reason("не удалось записать файл", fault));
            count = std::min(count, bytes.size() - offset);
        }
        const ssize_t n = ::write(fd, bytes.data() + offset, count);
        if (n < 0 && errno == EINTR)
            continue;
        // A write that takes nothing would take nothing again: a full disk.
        if (n <= 0)
            return fail(reason("не удалось записать файл", n < 0 ? errno : ENOSPC));
        offset += static_cast<std::size_t>(n);
        written += static_cast<std::size_t>(n);
    }
    return {};
}

std::string FileReplacement::Commit()
{
    if (!problem.empty() || fd < 0)
        return problem.empty() ? fail("файл не начат") : problem;
    auto before = [this](ReplaceStep step) { return options.Hooks.BeforeStep ? options.Hooks.BeforeStep(step) : 0; };
    // mkostemp makes the file its owner's alone.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, options.Mode & ~mask) != 0)
        return fail(reason("не удалось задать права файла", errno));
    // Space a file system grants late (a network share, a thin volume) is
    // found missing only here.
    int code = before(ReplaceStep::Syncing);
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (code != 0)
        return fail(reason("не удалось записать файл на диск", code));
    code = before(ReplaceStep::Closing);
    const int closing = fd;
    fd = -1;
    if (::close(closing) != 0 && code == 0)
        code = errno;
    if (code != 0)
        return fail(reason("не удалось записать файл на диск", code));
    code = before(ReplaceStep::Renaming);
    if (code == 0 && ::rename(temporaryPath.c_str(), target.c_str()) != 0)
        code = errno;
    if (code != 0)
        return fail(reason("не удалось заменить файл", code));
    temporaryPath.clear();
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        // The name is in place; a folder that cannot be synced does not undo it.
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return {};
}

std::string ReplaceFile(const std::string &path, std::string_view bytes, const ReplaceFileOptions &options)
{
    FileReplacement file;
    std::string problem = file.Begin(path, options);
    if (problem.empty())
        problem = file.Append(bytes);
    if (problem.empty())
        problem = file.Commit();
    return problem;
}

void ReplaceFileAtomically(const std::string &path, std::string_view bytes, const ReplaceFileOptions &options)
{
    const std::string problem = ReplaceFile(path, bytes, options);
    if (!problem.empty())
        throw StreamError("не удалось сохранить файл \"" + path + "\": " + problem);
}
