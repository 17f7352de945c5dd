// Feeds arbitrary bytes, behind a valid knowledge-base signature, to the
// knowledge-base reader.
#include "core/KnowledgeBaseFile.h"
#include "core/TSimpleFileStream.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = "/tmp/palettor-kb-fuzz-" + std::to_string(::getpid()) + ".dat";
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << Scramble("Color Test Data");
        file.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    TCLTKnowledgeBase base;
    try {
        LoadKnowledgeBase(path, base);
        for (auto &entry : base)
            (void)DetailedTableEntryText(*entry, ","), (void)DetailedEntryText(*entry, ","),
                (void)EntryDesignation(*entry);
    } catch (const StreamError &) {
    }
    return 0;
}
