// Feeds arbitrary bytes, as the first block of a list index whose header,
// block frame and checksums are right, to the index reader; an index it
// accepts must come back unchanged when written and read again.
#include "core/SessionListIndex.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

// The index's checksum as its writer computes it. Checked against a written
// index once at start, so a change of the format stops the run at once
// rather than leave every input refused by its checksum.
uint64_t checksum(std::string_view bytes, uint64_t seed = 0)
{
    uint64_t h = 0x6A09E667F3BCC908ULL ^ bytes.size();
    std::size_t i = 0;
    auto mix = [&h](uint64_t word) {
        h = (h ^ word) * 0x9E3779B97F4A7C15ULL;
        h ^= h >> 29;
    };
    mix(seed);
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        mix(word);
    }
    uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
    mix(tail);
    return h;
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "list_index_fuzz: %s\n", what);
    std::abort();
}

// A block: tag, length of what follows up to its checksum, the entry
// count, entries, the count of removed names, names, then the checksum
// chained to the header's.
constexpr std::size_t blockFrame = 4 + 8;
constexpr std::size_t emptyBlock = blockFrame + 4 + 4 + 8;

struct Setup {
    std::string folder = "/tmp/palettor-index-fuzz-data";
    std::string path = "/tmp/palettor-index-fuzz-" + std::to_string(::getpid()) + ".idx";
    std::string again = path + ".again";
    std::string head; // signature, version and folder
    std::string tag;  // the block's first four bytes

    Setup()
    {
        WriteListIndex(path, folder, {});
        const std::string empty = readFile(path);
        if (empty.size() < emptyBlock)
            fail("the index layout changed; update this target");
        head = empty.substr(0, empty.size() - emptyBlock);
        tag = empty.substr(head.size(), 4);
        uint64_t stored = 0;
        std::memcpy(&stored, empty.data() + empty.size() - 8, 8);
        const std::string_view block = std::string_view(empty).substr(head.size(), emptyBlock - 8);
        if (stored != checksum(block, checksum(head)))
            fail("the index checksum changed; update this target");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Setup setup;
    std::string bytes = setup.head;
    const std::size_t start = bytes.size();
    bytes += setup.tag;
    const uint64_t length = size;
    bytes.append(reinterpret_cast<const char *>(&length), sizeof length);
    bytes.append(reinterpret_cast<const char *>(data), size);
    const uint64_t sum = checksum(std::string_view(bytes).substr(start), checksum(setup.head));
    bytes.append(reinterpret_cast<const char *>(&sum), sizeof sum);
    writeFile(setup.path, bytes);

    const ListIndexRead read = ReadListIndex(setup.path, setup.folder);
    if (read.State != ListIndexState::Used) {
        if (!read.Entries.empty())
            fail("a refused index lent entries");
        return 0;
    }
    // The format has one spelling for a list of entries, so what was
    // accepted is written back byte for byte (dates by their bits, NaN too).
    WriteListIndex(setup.again, setup.folder, read.Entries);
    if (readFile(setup.again) != bytes)
        fail("an accepted index was not written back the same");
    return 0;
}
