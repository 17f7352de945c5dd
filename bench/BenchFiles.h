#pragma once

// Session files for the benches, written fast: the bytes SaveSession writes,
// without its per-file sync (which would make building an archive take longer
// than everything measured).
#include "core/SessionArchive.h"
#include "core/TSimpleFileStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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

// The baseline of reading: every file opened, read whole and closed, the
// files shared among the threads. Returns the bytes read.
inline std::size_t readRawFiles(const std::vector<std::string> &paths, unsigned threads = 1)
{
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> bytes{0};
    auto reader = [&] {
        std::vector<char> buffer(1 << 16);
        for (std::size_t i; (i = next++) < paths.size();) {
            const int fd = ::open(paths[i].c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            ssize_t n;
            while ((n = ::read(fd, buffer.data(), buffer.size())) > 0)
                bytes += static_cast<std::size_t>(n);
            ::close(fd);
        }
    };
    std::vector<std::thread> others;
    for (unsigned t = 1; t < threads; ++t)
        others.emplace_back(reader);
    reader();
    for (std::thread &other : others)
        other.join();
    return bytes;
}

// The baseline over a folder: its session files, read raw.
inline std::size_t readRawFolder(const std::string &data)
{
    std::vector<std::string> paths;
    for (const std::string &name : ListSessionFiles(data))
        paths.push_back(PathInFolder(data, name));
    return readRawFiles(paths);
}

// Writes count session files named in the order of i into data (made if
// missing) and appends their paths; false, saying so, when one cannot be
// written.
inline bool writeArchive(const std::string &data, int count, double written,
                         const std::function<TCLTSession(int)> &makeSession, std::vector<std::string> &paths)
{
    std::filesystem::create_directories(data);
    for (int i = 0; i < count; ++i) {
        TCLTSession s = makeSession(i);
        char name[32];
        std::snprintf(name, sizeof name, "25070110%08d.dat", i);
        paths.push_back(data + "/" + name);
        if (!writeRaw(paths.back(), sessionFileBytes(s, written))) {
            std::printf("cannot write %s\n", paths.back().c_str());
            return false;
        }
    }
    return true;
}
