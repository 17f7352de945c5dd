// Feeds arbitrary bytes as a knowledge-base source (CSV) to its reader. A
// source read without problems must build a file, and its own source, read
// back, must give the same file.
#include "core/KnowledgeBaseSource.h"
#include "core/TSimpleFileStream.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "knowledge_base_source_fuzz: %s\n", what);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const KnowledgeBaseSource source =
        ReadKnowledgeBaseSources({{"fuzz.csv", std::string(reinterpret_cast<const char *>(data), size)}});
    for (const SourceProblem &problem : source.Problems)
        (void)problem.Text();
    if (!source.Problems.empty())
        return 0;
    std::string built;
    try {
        built = KnowledgeBaseBytes(source.Image);
    } catch (const StreamError &) {
        fail("the reader let through what the writer refuses");
    }
    const KnowledgeBaseSource back = ReadKnowledgeBaseSources({{"again.csv", KnowledgeBaseCsv(source.Image)}});
    if (!back.Problems.empty() || KnowledgeBaseBytes(back.Image) != built)
        fail("the source of a built file builds another");
    (void)ReadKnowledgeBaseImage(built);
    return 0;
}
