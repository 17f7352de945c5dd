#include "TSimpleFileStream.h"

#include "Cp1251.h"
#include "SystemReason.h"
#include "TOrvantaCollectionItem2.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

static_assert(std::endian::native == std::endian::little, "the file formats are little-endian");

namespace {

int openForReading(const std::string &path)
{
    int fd;
    do {
        // Non-blocking so a pipe put where a file belongs cannot stall the
        // open; regular files ignore the flag.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Reads count bytes at offset; fewer only at the end of the file.
bool readAt(int fd, std::size_t offset, char *into, std::size_t count, std::size_t &got)
{
    got = 0;
    while (got < count) {
        const ssize_t n = ::pread(fd, into + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

std::string fileReason(const char *what, const std::string &path, int code)
{
    return std::string(what) + " \"" + path + "\": " + SystemReasonText(code);
}

} // namespace

bool TSimpleFileStream::ReadRegularFile(const std::string &path, TSimpleFileStream &stream, std::string_view signature,
                                        std::size_t maxBytes)
{
    const int fd = openForReading(path);
    if (fd < 0) {
        const int code = errno;
        if (code == ENOENT || code == ENOTDIR)
            return false;
        // Refused: a file that is there but unreadable is reported, a path
        // that leads to no file (an unreadable folder on the way) is not one.
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            return false;
        throw StreamError(fileReason("не удалось открыть файл", path, code));
    }
    const FileCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw StreamError(fileReason("не удалось прочитать файл", path, errno));
    if (!S_ISREG(info.st_mode))
        return false;

    std::string head(signature.size(), '\0');
    std::size_t got = 0;
    if (!readAt(fd, 0, head.data(), head.size(), got))
        throw StreamError(fileReason("не удалось прочитать файл", path, errno));
    if (got != signature.size() || head != signature)
        return false;
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size > maxBytes)
        throw StreamError("file too large (" + std::to_string(size) + " bytes, at most " + std::to_string(maxBytes)
                          + "): " + path);

    // The size it had when opened only sizes the buffer (one byte more, so
    // the end shows without a second read); a file still growing is read
    // until it passes the bound.
    std::string bytes(static_cast<std::size_t>(size) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (!readAt(fd, filled, bytes.data() + filled, bytes.size() - filled, got))
            throw StreamError(fileReason("не удалось прочитать файл", path, errno));
        filled += got;
        if (filled < bytes.size())
            break;
        if (filled > maxBytes)
            throw StreamError("file too large (more than " + std::to_string(maxBytes) + " bytes): " + path);
        bytes.resize(std::min(bytes.size() * 2, maxBytes + 1));
    }
    bytes.resize(filled);
    stream.data = std::move(bytes);
    stream.position = 0;
    stream.FileName = path;
    return true;
}

TSimpleFileStream TSimpleFileStream::OpenRead(const std::string &path)
{
    // ReadRegularFile refuses whatever took the name since the caller
    // looked (a pipe, a device, a folder) rather than waiting on it.
    TSimpleFileStream stream;
    if (!ReadRegularFile(path, stream, {}, MaxDataFileBytes))
        throw StreamError("not a file: " + path);
    return stream;
}

void TSimpleFileStream::FailShortRead() const
{
    throw StreamError("unexpected end of data" + (FileName.empty() ? std::string() : " in " + FileName));
}

void TSimpleFileStream::Write(const void *bytes, std::size_t count)
{
    if (count == 0)
        return;
    if (position == data.size()) {
        data.append(static_cast<const char *>(bytes), count);
    } else {
        if (position + count > data.size())
            data.resize(position + count);
        std::memcpy(data.data() + position, bytes, count);
    }
    position += count;
}

void TSimpleFileStream::Seek(std::size_t offset)
{
    if (offset > data.size())
        throw StreamError("seek past the end");
    position = offset;
}

std::string ScrambledCp1251ToUtf8(std::string_view scrambled) { return Cp1251ToUtf8(scrambled, ScrambleKey); }

std::string Scramble(std::string_view bytes)
{
    std::string copy(bytes);
    for (char &c : copy)
        c = static_cast<char>(static_cast<unsigned char>(c) ^ ScrambleKey);
    return copy;
}

void WriteByte(TSimpleFileStream &stream, uint8_t value) { stream.Write(&value, 1); }
void WriteInt32(TSimpleFileStream &stream, int32_t value) { stream.Write(&value, 4); }
void WriteDouble(TSimpleFileStream &stream, double value) { stream.Write(&value, 8); }
void WriteDateTime(TSimpleFileStream &stream, double value) { stream.Write(&value, 8); }

void WriteText(TSimpleFileStream &stream, const std::string &text, int mode)
{
    std::string bytes = Scramble(Utf8ToCp1251(text));
    switch (mode) {
    case ShortTextMode:
    case BareCutMode:
        if (bytes.size() > 255)
            bytes.resize(255);
        if (mode == ShortTextMode)
            WriteByte(stream, static_cast<uint8_t>(bytes.size()));
        stream.Write(bytes.data(), bytes.size());
        break;
    case LongTextMode:
    case BareUncutMode:
        if (mode == LongTextMode)
            WriteInt32(stream, static_cast<int32_t>(bytes.size()));
        stream.Write(bytes.data(), bytes.size());
        break;
    default:
        break;
    }
}

void WriteItems(TSimpleFileStream &stream, TOrvantaCollectionBase *items)
{
    if (!items)
        return;
    WriteInt32(stream, static_cast<int32_t>(items->Count()));
    for (std::size_t i = 0; i < items->Count(); ++i)
        items->ItemAt(i).SaveToStream(&stream);
}

uint8_t ReadByte(TSimpleFileStream &stream)
{
    uint8_t value = 0;
    stream.Read(&value, 1);
    return value;
}

int32_t ReadInt32(TSimpleFileStream &stream)
{
    int32_t value = 0;
    stream.Read(&value, 4);
    return value;
}

double ReadDouble(TSimpleFileStream &stream)
{
    double value = 0;
    stream.Read(&value, 8);
    return value;
}

double ReadDateTime(TSimpleFileStream &stream) { return ReadDouble(stream); }

namespace {
std::string readTextBytes(TSimpleFileStream &stream, int64_t length)
{
    if (length <= 0)
        return {};
    // Checked before allocating: a damaged length must not ask for gigabytes.
    if (static_cast<uint64_t>(length) > stream.Remaining())
        throw StreamError("text length beyond the end of data");
    return ScrambledCp1251ToUtf8(stream.Take(static_cast<std::size_t>(length)));
}
} // namespace

std::string ReadShortText(TSimpleFileStream &stream) { return readTextBytes(stream, ReadByte(stream)); }
std::string ReadLongText(TSimpleFileStream &stream) { return readTextBytes(stream, ReadInt32(stream)); }
std::string ReadBareText(TSimpleFileStream &stream, int32_t count) { return readTextBytes(stream, count); }

void ReadItems(TSimpleFileStream &stream, TOrvantaCollectionBase *items, std::size_t minItemBytes)
{
    if (!items)
        return;
    const int32_t count = ReadInt32(stream);
    items->Clear();
    if (count <= 0)
        return;
    if (static_cast<uint64_t>(count) * std::max<std::size_t>(minItemBytes, 1) > stream.Remaining())
        throw StreamError("item count beyond the end of data");
    for (int32_t i = 0; i < count; ++i) {
        if (stream.BeforeEachItem)
            stream.BeforeEachItem();
        items->AddNew().LoadFromStream(&stream);
    }
}
