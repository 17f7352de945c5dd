#include "core/TSimpleFileStream.h"

#include "core/Cp1251.h"
#include "core/SystemReason.h"
#include "core/TOrvantaCollectionItem2.h"

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
    return readFile(path, stream, signature, maxBytes, 0, nullptr);
}

bool TSimpleFileStream::ReadRegularFileHead(const std::string &path, TSimpleFileStream &stream,
                                            std::string_view signature, std::size_t maxBytes, std::size_t headBytes,
                                            std::uint64_t &fileSize)
{
    return readFile(path, stream, signature, maxBytes, std::max<std::size_t>(headBytes, 1), &fileSize);
}

char *TSimpleFileStream::FileBuffer(std::size_t size, std::size_t keep)
{
    if (size > fileCapacity) {
        const std::size_t capacity = std::max(size, fileCapacity * 2);
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (keep > 0)
            std::memcpy(grown.get(), fileBytes.get(), keep);
        fileBytes = std::move(grown);
        fileCapacity = capacity;
    }
    return fileBytes.get();
}

// limit 0 reads the whole file, else at most its first limit bytes.
bool TSimpleFileStream::readFile(const std::string &path, TSimpleFileStream &stream, std::string_view signature,
                                 std::size_t maxBytes, std::size_t limit, std::uint64_t *fileSize)
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
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (fileSize)
        *fileSize = size;

    // A small file comes in with one read that also brings its signature
    // (one byte more than its size, so the end shows); a larger one is known
    // by its first bytes before it is read whole.
    constexpr std::size_t readAtOnce = 64 * 1024;
    std::size_t asked = signature.size();
    if (limit > 0)
        asked = std::max<std::size_t>(static_cast<std::size_t>(std::min<std::uintmax_t>(size, limit)), asked);
    else if (size < readAtOnce)
        asked = std::max<std::size_t>(static_cast<std::size_t>(size) + 1, asked);
    char *buffer = stream.FileBuffer(asked, 0);
    std::size_t filled = 0;
    if (!readAt(fd, 0, buffer, asked, filled))
        throw StreamError(fileReason("не удалось прочитать файл", path, errno));
    if (filled < signature.size()
        || (!signature.empty() && std::memcmp(buffer, signature.data(), signature.size()) != 0))
        return false;
    if (size > maxBytes)
        throw StreamError("файл слишком велик (" + std::to_string(size) + " байт, допустимо не более "
                          + std::to_string(maxBytes) + " байт): " + path);

    // The size it had when opened only sizes the buffer; a file still
    // growing is read until it passes the bound.
    if (limit == 0 && filled == asked) {
        std::size_t target = std::max<std::size_t>(static_cast<std::size_t>(size) + 1, asked + 1);
        for (;;) {
            buffer = stream.FileBuffer(target, filled);
            std::size_t got = 0;
            if (!readAt(fd, filled, buffer + filled, target - filled, got))
                throw StreamError(fileReason("не удалось прочитать файл", path, errno));
            filled += got;
            if (filled < target)
                break;
            if (filled > maxBytes)
                throw StreamError("файл слишком велик (более " + std::to_string(maxBytes) + " байт): " + path);
            target = std::min(target * 2, maxBytes + 1);
        }
    }
    stream.data.clear();
    stream.fromFile = true;
    stream.fileLength = filled;
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
        throw StreamError("это не файл: " + path);
    return stream;
}

void TSimpleFileStream::FailShortRead() const
{
    throw StreamError("файл обрывается (неожиданный конец данных)"
                      + (FileName.empty() ? std::string() : " в файле " + FileName));
}

void TSimpleFileStream::KeepInData() const
{
    if (!fromFile)
        return;
    data.assign(fileBytes.get(), fileLength);
    fromFile = false;
}

const std::string &TSimpleFileStream::Bytes() const
{
    KeepInData();
    return data;
}

void TSimpleFileStream::Write(const void *bytes, std::size_t count)
{
    if (count == 0)
        return;
    KeepInData();
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
    if (offset > Size())
        throw StreamError("переход за конец файла");
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

void WriteDataFileHeader(TSimpleFileStream &stream, std::string_view scrambledSignature, const DataFileHeader &header)
{
    stream.Write(scrambledSignature.data(), scrambledSignature.size());
    WriteInt32(stream, header.FormatNumber);
    WriteDateTime(stream, header.Written);
    WriteByte(stream, header.Reserved);
}

DataFileHeader ReadDataFileHeader(TSimpleFileStream &stream, std::size_t signatureBytes)
{
    stream.Seek(signatureBytes);
    DataFileHeader header;
    header.FormatNumber = ReadInt32(stream);
    header.Written = ReadDateTime(stream);
    header.Reserved = ReadByte(stream);
    return header;
}

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
        throw StreamError("длина текста выходит за конец файла");
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
        throw StreamError("число записей выходит за конец файла");
    items->Reserve(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        if (stream.BeforeEachItem)
            stream.BeforeEachItem();
        items->AddNew().LoadFromStream(&stream);
    }
}
