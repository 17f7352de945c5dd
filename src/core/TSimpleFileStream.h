#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

class TOrvantaCollectionBase;

// A bound on any data file the program reads whole (session files, the
// knowledge base): far above what their records and texts can fill, so only
// a file that is not really one of them reaches it.
constexpr std::size_t MaxDataFileBytes = 64 * 1024 * 1024;

// Raised for a read past the end, an impossible length or count, and any
// failure to open, write or sync a file.
class StreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A byte stream held in memory. Files are read in one go and decoded from
// memory; a written stream is put on disk by its owner in one step, so a
// damaged or half-written file never reaches a reader. A stream reused for
// reading file after file keeps one buffer, grown when needed and never
// zero-filled.
class TSimpleFileStream {
public:
    TSimpleFileStream() = default;
    explicit TSimpleFileStream(std::string bytes) : data(std::move(bytes)) {}
    TSimpleFileStream(const TSimpleFileStream &) = delete;
    TSimpleFileStream &operator=(const TSimpleFileStream &) = delete;
    TSimpleFileStream(TSimpleFileStream &&) noexcept = default;
    TSimpleFileStream &operator=(TSimpleFileStream &&) noexcept = default;

    // Reads the whole file (at most MaxDataFileBytes); throws StreamError when
    // it cannot be opened or read.
    static TSimpleFileStream OpenRead(const std::string &path);
    // Reads the whole file into stream, once its first bytes are known to be
    // the signature (as stored) and its size at most maxBytes, so a foreign or
    // outsized file costs no more than those checks. False when there is no
    // such file, it is not a regular file (a folder, a pipe) or it begins
    // otherwise; throws StreamError when it is larger than maxBytes or exists
    // but cannot be opened or read. The stream is left at the start.
    static bool ReadRegularFile(const std::string &path, TSimpleFileStream &stream, std::string_view signature = {},
                                std::size_t maxBytes = MaxDataFileBytes);
    // As ReadRegularFile, but only the first headBytes of the file (fewer when
    // it is shorter) come into the stream; fileSize gets the size of the
    // whole file.
    static bool ReadRegularFileHead(const std::string &path, TSimpleFileStream &stream, std::string_view signature,
                                    std::size_t maxBytes, std::size_t headBytes, std::uint64_t &fileSize);

    std::string FileName;

    // Called once before each item a list reader reads, so a window can
    // process its pending events while long lists load.
    std::function<void()> BeforeEachItem;

    void Write(const void *bytes, std::size_t count);
    void Read(void *bytes, std::size_t count) // throws StreamError when short
    {
        if (count > Remaining())
            FailShortRead();
        std::memcpy(bytes, Base() + position, count);
        position += count;
    }
    // The next count bytes in place, valid until the stream changes; throws
    // StreamError when short.
    std::string_view Take(std::size_t count)
    {
        if (count > Remaining())
            FailShortRead();
        const std::string_view bytes(Base() + position, count);
        position += count;
        return bytes;
    }
    std::size_t Position() const { return position; }
    std::size_t Remaining() const { return Size() - position; }
    void Seek(std::size_t offset);
    const std::string &Bytes() const;

private:
    [[noreturn]] void FailShortRead() const;
    static bool readFile(const std::string &path, TSimpleFileStream &stream, std::string_view signature,
                         std::size_t maxBytes, std::size_t limit, std::uint64_t *fileSize);
    const char *Base() const { return fromFile ? fileBytes.get() : data.data(); }
    std::size_t Size() const { return fromFile ? fileLength : data.size(); }
    char *FileBuffer(std::size_t size, std::size_t keep);
    void KeepInData() const;

    // Bytes written or given; a file read is kept in fileBytes instead and
    // copied here only when asked for as a string or written to.
    mutable std::string data;
    mutable bool fromFile = false;
    std::unique_ptr<char[]> fileBytes;
    std::size_t fileCapacity = 0;
    std::size_t fileLength = 0;
    std::size_t position = 0;
};

enum TextMode { ShortTextMode = 1, LongTextMode = 2, BareCutMode = 3, BareUncutMode = 4 };

constexpr unsigned char ScrambleKey = 0x6E;

// Cp1251ToUtf8 of the bytes unscrambled, in one pass without a copy.
std::string ScrambledCp1251ToUtf8(std::string_view scrambled);
// XOR of every byte with the key, on a copy.
std::string Scramble(std::string_view bytes);

void WriteByte(TSimpleFileStream &stream, uint8_t value);
void WriteInt32(TSimpleFileStream &stream, int32_t value);
void WriteDouble(TSimpleFileStream &stream, double value);
void WriteDateTime(TSimpleFileStream &stream, double value);
// What every data file begins with after its signature (stored scrambled).
struct DataFileHeader {
    int32_t FormatNumber = 1;
    double Written = 0; // OLE date and time of writing
    uint8_t Reserved = 0;
};
void WriteDataFileHeader(TSimpleFileStream &stream, std::string_view scrambledSignature, const DataFileHeader &header);
// Reads the header from the start of the stream, stepping over the signature.
DataFileHeader ReadDataFileHeader(TSimpleFileStream &stream, std::size_t signatureBytes);

// Text given in UTF-8, written in Windows-1251, scrambled.
void WriteText(TSimpleFileStream &stream, const std::string &text, int mode);
void WriteItems(TSimpleFileStream &stream, TOrvantaCollectionBase *items);

uint8_t ReadByte(TSimpleFileStream &stream);
int32_t ReadInt32(TSimpleFileStream &stream);
double ReadDouble(TSimpleFileStream &stream);
double ReadDateTime(TSimpleFileStream &stream);
// Texts come back in UTF-8. A length beyond the bytes left throws before
// anything is allocated.
std::string ReadShortText(TSimpleFileStream &stream);
std::string ReadLongText(TSimpleFileStream &stream);
std::string ReadBareText(TSimpleFileStream &stream, int32_t count);
// Clears the list, then reads the items; a count that the bytes left cannot
// hold (each item takes at least minItemBytes) throws before any item is made.
void ReadItems(TSimpleFileStream &stream, TOrvantaCollectionBase *items, std::size_t minItemBytes = 1);
