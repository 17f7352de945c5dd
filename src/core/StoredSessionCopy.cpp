#include "core/StoredSessionCopy.h"

#include "core/SessionArchive.h"
#include "core/TSimpleFileStream.h"

#include <filesystem>

namespace {

const std::string &scrambledSignature()
{
    static const std::string signature = Scramble(SessionFileSignature);
    return signature;
}

std::size_t headerBytes()
{
    TSimpleFileStream header;
    WriteDataFileHeader(header, scrambledSignature(), {});
    return header.Position();
}

} // namespace

std::string SessionRecordBytes(TCLTSession &session)
{
    TSimpleFileStream stream;
    session.SaveToStream(&stream);
    WriteByte(stream, 0);
    return stream.Bytes();
}

StoredSessionCopies::StoredSessionCopies(std::string folder) : folder(std::move(folder)) {}

void StoredSessionCopies::List()
{
    listed = true;
    for (const std::string &name : ListSessionFiles(folder))
        Add(PathInFolder(folder, name));
}

void StoredSessionCopies::Add(const std::string &path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error)
        bySize.emplace(size, path);
}

std::string StoredSessionCopies::Find(const TCLTSession &session)
{
    if (!listed)
        List();
    TCLTSession copy = session; // saving brings derived values up to date
    const std::string record = SessionRecordBytes(copy);
    const std::size_t header = headerBytes();
    const auto [first, last] = bySize.equal_range(header + record.size());
    TSimpleFileStream buffer;
    for (auto it = first; it != last; ++it) {
        try {
            if (!TSimpleFileStream::ReadRegularFile(it->second, buffer, scrambledSignature()))
                continue;
        } catch (const StreamError &) {
            continue; // unreadable: not a copy this start can rely on
        }
        if (buffer.Remaining() == header + record.size()) {
            buffer.Seek(header);
            if (buffer.Take(record.size()) == record)
                return it->second;
        }
    }
    return {};
}
