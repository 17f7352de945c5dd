#pragma once

// Session files for the benches, written fast: the bytes SaveSession writes,
// without its per-file sync (which would make building an archive take longer
// than everything measured).
#include "core/SessionArchive.h"
#include "core/TSimpleFileStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>

inline std::string sessionFileBytes(TCLTSession &session, double written)
{
    TSimpleFileStream stream;
    WriteDataFileHeader(stream, Scramble(SessionFileSignature), {1, written, 0});
    session.SaveToStream(&stream);
    WriteByte(stream, 0);
    return stream.Bytes();
}

inline bool writeRaw(const std::string &path, const std::string &bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && ok;
}
