#include "TSimpleFileStream.h"

#include "TOrvantaCollectionItem2.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(std::endian::native == std::endian::little, "the file formats are little-endian");

TSimpleFileStream TSimpleFileStream::OpenRead(const std::string &path)
{
    // Not blocking, and checked on the open file itself: whatever took the
    // name since the caller looked (a pipe, a device, a folder) is refused
    // rather than waited on or read forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw StreamError("cannot open " + path + ": " + std::strerror(errno));
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        throw StreamError("not a file: " + path);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw StreamError("cannot read " + path + ": " + std::strerror(errno));
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    TSimpleFileStream stream(std::move(bytes));
    stream.FileName = path;
    return stream;
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

void TSimpleFileStream::Read(void *bytes, std::size_t count)
{
    if (count > Remaining())
        throw StreamError("unexpected end of data" + (FileName.empty() ? std::string() : " in " + FileName));
    std::memcpy(bytes, data.data() + position, count);
    position += count;
}

void TSimpleFileStream::Seek(std::size_t offset)
{
    if (offset > data.size())
        throw StreamError("seek past the end");
    position = offset;
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
    std::string bytes(static_cast<std::size_t>(length), '\0');
    stream.Read(bytes.data(), bytes.size());
    return Cp1251ToUtf8(Scramble(bytes));
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
