#include "core/ScratchFile.h"

#include "core/SystemReason.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t BufferBytes = 256 * 1024;

std::string reason(const char *what, int code) { return std::string(what) + ": " + SystemReasonText(code); }

} // namespace

ScratchFile::~ScratchFile()
{
    if (fd >= 0)
        ::close(fd);
}

std::string ScratchFile::Open(const std::string &folder)
{
    fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // A file system without nameless files (a network share).
        std::string name = folder + "/.palettor-scratch.XXXXXX";
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0)
            ::unlink(name.c_str());
    }
    if (fd < 0)
        return reason("не удалось создать временный файл в папке", errno);
    buffer.reserve(BufferBytes);
    return {};
}

std::string ScratchFile::flush()
{
    for (std::size_t offset = 0; offset < buffer.size();) {
        const ssize_t n = ::write(fd, buffer.data() + offset, buffer.size() - offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return reason("не удалось записать файл", n < 0 ? errno : ENOSPC);
        offset += static_cast<std::size_t>(n);
    }
    buffer.clear();
    return {};
}

std::string ScratchFile::Append(std::string_view bytes)
{
    if (fd < 0)
        return "временный файл не открыт";
    size += bytes.size();
    if (buffer.size() + bytes.size() > BufferBytes) {
        if (std::string problem = flush(); !problem.empty())
            return problem;
    }
    buffer.append(bytes);
    return {};
}

std::string ScratchFile::Rewind()
{
    if (fd < 0)
        return "временный файл не открыт";
    if (std::string problem = flush(); !problem.empty())
        return problem;
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return reason("не удалось прочитать временный файл", errno);
    bufferAt = 0;
    return {};
}

std::string ScratchFile::Read(char *into, std::size_t want)
{
    while (want > 0) {
        if (bufferAt == buffer.size()) {
            buffer.resize(BufferBytes);
            ssize_t n;
            do
                n = ::read(fd, buffer.data(), buffer.size());
            while (n < 0 && errno == EINTR);
            buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
            bufferAt = 0;
            if (n < 0)
                return reason("не удалось прочитать временный файл", errno);
            if (n == 0)
                return "временный файл короче записанного";
        }
        const std::size_t take = std::min(want, buffer.size() - bufferAt);
        std::memcpy(into, buffer.data() + bufferAt, take);
        bufferAt += take;
        into += take;
        want -= take;
    }
    return {};
}
