#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A nameless file for what a long job writes once and reads back once, too
// large to hold in memory (the rows of a long export before their header is
// known). It has no name from the start where the file system allows
// (O_TMPFILE), else its name is removed at once, so nothing of it is left
// however the job ends. Writes and reads are buffered. Every call returns an
// empty string or the reason in Russian.
class ScratchFile {
public:
    ScratchFile() = default;
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;
    ~ScratchFile();

    std::string Open(const std::string &folder);
    std::string Append(std::string_view bytes);
    // Writes what is buffered; reading starts at the first byte.
    std::string Rewind();
    // Exactly size bytes; "the file is shorter" past its end.
    std::string Read(char *into, std::size_t size);
    std::size_t Size() const { return size; }

private:
    std::string flush();

    int fd = -1;
    std::string buffer;
    std::size_t bufferAt = 0; // next byte to read from the buffer
    std::size_t size = 0;
};
