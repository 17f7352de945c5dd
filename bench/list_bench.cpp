// Times the window's start-up pass to a filled archive of listed sessions,
// with the station's index present and absent, warm and cold, next to a raw
// open/read/close of the same files measured in the same run; the memory the
// listed sessions and a full load keep, against the archive's bytes; and
// start-up on a simulated network share (every open delayed, see
// open_delay_shim.cc).
//
//   list_bench [session count...]          (default 10000 100000)
//   list_bench --network <data> <index>     (run by the above, preloaded)
#include "BenchClock.h"
#include "BenchFiles.h"
#include "core/ArchiveList.h"
#include "core/ArchiveLoader.h"
#include "core/Cp1251.h"
#include "core/SessionArchive.h"
#include "core/SessionListFields.h"
#include "core/SessionListIndex.h"
#include "core/TSimpleFileStream.h"
#include "support/SessionBuilder.h"

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char **environ;

namespace fs = std::filesystem;

namespace {

using Clock = BenchClock;

constexpr OleDate Today = 45839;

// Russian texts of realistic length: about 2.9 KB a file; a relations test
// also holds its stimuli.
const std::string brief = "Стремление к признанию и успеху, потребность в активной деятельности. ";
const std::string detailed = "Испытуемый нуждается в спокойной обстановке, избегает конфликтов и ищет "
                             "понимания со стороны окружающих; возможна повышенная утомляемость. ";

TCLTSession makeSession(int i)
{
    SessionBuilder b = SessionBuilder::Numbered(i, Today);
    b.Name("Испытуемый" + std::to_string(i), i % 2 ? "Иван" : "Мария", i % 2 ? "Петрович" : "Сергеевна")
        .Sex(static_cast<uint8_t>(i % 3))
        .Born(i % 7 == 0 ? 0 : Today - 365.25 * (18 + i % 60));
    std::string briefText;
    std::string detailedText;
    for (int k = 0; k < 4; ++k)
        briefText += brief;
    for (int k = 0; k < 14; ++k)
        detailedText += detailed;
    b.Conclusions(briefText, detailedText, brief + brief + brief);
    for (int g = 0; g < 4; ++g)
        b.FunctionGroup(1 + g, g, g + 1);
    if (i % 4 == 3)
        for (const char *name : {"Мать", "Отец", "Я сам", "Работа", "Семья", "Друзья", "Будущее", "Здоровье"})
            b.Stimulus(name, {i % 8, (i + 3) % 8});
    return b;
}

// Empties the page cache (needs root); false where that is not allowed.
bool dropCaches()
{
    ::sync();
    FILE *f = std::fopen("/proc/sys/vm/drop_caches", "w");
    if (!f)
        return false;
    const bool ok = std::fputs("3\n", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

// Keeps the compiler from dropping work whose result is not used.
void escape(const void *p) { asm volatile("" : : "r"(p) : "memory"); }

std::size_t heapInUse() { return mallinfo2().uordblks; }

void line(const char *what, double ms, double baselineMs, const char *baseline)
{
    std::printf("  %-40s %9.1f ms   %-28s %9.1f ms   ratio %6.2f\n", what, ms, baseline, baselineMs,
                baselineMs > 0 ? ms / baselineMs : 0.0);
}

// What the window's start-up pass does, without its event loop: the list
// loaded in batches (files the index lacks read four at once) and a listed
// session appended to the archive per entry.
// As the window's list takes the batches: rows of its compact table.
SessionListLoad listIntoArchive(const std::string &data, const std::string &index, ArchiveList &archive)
{
    SessionListOptions options;
    options.Readers = 4;
    const SessionContext context{Today, ","};
    const std::string prefix = PathInFolder(data, {});
    options.OnBatch = [&](SessionListBatch &&batch) { archive.AddListed(batch.Entries, prefix, context); };
    return LoadSessionList(data, index, options);
}

double timeList(const std::string &data, const std::string &index, std::size_t expected, const char *what)
{
    ArchiveList archive;
    const auto start = Clock::now();
    listIntoArchive(data, index, archive);
    const double ms = msSince(start);
    if (archive.Count() != expected) {
        std::printf("%s: listed %zu of %zu\n", what, archive.Count(), expected);
        std::exit(1);
    }
    return ms;
}

int networkRun(const std::string &data, const std::string &index)
{
    ArchiveList archive;
    const auto start = Clock::now();
    const SessionListLoad load = listIntoArchive(data, index, archive);
    std::printf("%.1f %zu %zu\n", msSince(start), archive.Count(), load.FilesRead);
    return 0;
}

// Runs this program again with the open delay preloaded; returns the time
// it reports, and the files it opened.
double delayedList(const char *self, const std::string &data, const std::string &index, std::size_t &filesRead)
{
    const std::string out = index + ".out";
    const std::string command = "LD_PRELOAD=" OPEN_DELAY_SHIM " PALETTOR_DELAY_PREFIX='" + data + "' '" + self
        + "' --network '" + data + "' '" + index + "' > '" + out + "'";
    if (std::system(command.c_str()) != 0)
        return -1;
    double ms = -1;
    std::size_t listed = 0;
    if (FILE *f = std::fopen(out.c_str(), "r")) {
        if (std::fscanf(f, "%lf %zu %zu", &ms, &listed, &filesRead) != 3)
            ms = -1;
        std::fclose(f);
    }
    fs::remove(out);
    return ms;
}

// Decoding the texts of a session (stored scrambled, in Windows-1251)
// against copying the same bytes.
void benchDecoding()
{
    TCLTSession s = makeSession(1);
    const std::string text = Scramble(Utf8ToCp1251(s.BriefConclusion + s.DetailedConclusion + s.AdditionalFindings));
    constexpr int rounds = 20000;
    std::size_t total = 0;
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        std::string copy(text);
        escape(copy.data());
        total += copy.size() + static_cast<unsigned char>(copy[static_cast<std::size_t>(i) % copy.size()]);
    }
    const double copyMs = msSince(start);
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        const std::string decoded = ScrambledCp1251ToUtf8(text);
        escape(decoded.data());
        total += decoded.size() + static_cast<unsigned char>(decoded[static_cast<std::size_t>(i) % decoded.size()]);
    }
    const double decodeMs = msSince(start);
    std::printf("decoding %d Russian texts of %zu bytes (checksum %zu):\n", rounds, text.size(), total);
    line("Windows-1251 to UTF-8", decodeMs, copyMs, "copy of the same bytes");
    std::printf("\n");
}

void benchCount(const char *self, int count, const fs::path &root)
{
    const std::string data = (root / "Data").string();
    const std::string index = (root / "cache" / "list.idx").string();
    fs::create_directories(data);
    auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        TCLTSession s = makeSession(i);
        char name[32];
        std::snprintf(name, sizeof name, "25070110%08d.dat", i);
        if (!writeRaw(PathInFolder(data, name), sessionFileBytes(s, Today))) {
            std::printf("cannot write into %s\n", data.c_str());
            std::exit(1);
        }
    }
    std::printf("%d sessions: built in %.1f s\n", count, msSince(start) / 1000);
    const auto n = static_cast<std::size_t>(count);

    // Warm: the files were just written, and each pass is run twice, the
    // second timed.
    readRawFolder(data);
    start = Clock::now();
    const std::size_t bytes = readRawFolder(data);
    const double rawMs = msSince(start);
    std::printf("  %.1f MB of session files (%.0f bytes each)\n", bytes / 1048576.0, double(bytes) / count);

    const std::size_t heapBefore = heapInUse();
    double loadMs = 0;
    std::size_t archiveHeap = 0;
    {
        TCLTArchive archive;
        start = Clock::now();
        const ArchiveLoadResult loaded = LoadArchive(data, archive, SessionContext{Today, ","});
        loadMs = msSince(start);
        archiveHeap = heapInUse() - heapBefore;
        if (loaded.Loaded != count)
            std::printf("  full load read %d of %d\n", loaded.Loaded, count);
    }

    fs::remove(index);
    timeList(data, index, n, "warm-up");
    fs::remove(index);
    const double absentMs = timeList(data, index, n, "index absent");
    const double presentMs = timeList(data, index, n, "index present");
    std::size_t listHeap = 0;
    {
        const std::size_t before = heapInUse();
        ArchiveList archive;
        listIntoArchive(data, index, archive);
        listHeap = heapInUse() - before;
    }
    const auto indexBytes = fs::file_size(index);

    start = Clock::now();
    const std::size_t listed = ListSessionFiles(data).size();
    const double listingMs = msSince(start);

    std::printf("  warm (files in the page cache):\n");
    line("full load of every session (LoadArchive)", loadMs, rawMs, "raw open/read/close");
    line("list fields, index absent (and written)", absentMs, rawMs, "raw open/read/close");
    line("list fields, index present", presentMs, rawMs, "raw open/read/close");
    line("  of which listing the folder", listingMs, rawMs, "raw open/read/close");

    if (dropCaches()) {
        std::printf("  cold (page cache dropped before each):\n");
        dropCaches();
        start = Clock::now();
        readRawFolder(data);
        const double coldRawMs = msSince(start);
        fs::remove(index);
        dropCaches();
        const double coldAbsentMs = timeList(data, index, n, "cold, index absent");
        dropCaches();
        const double coldPresentMs = timeList(data, index, n, "cold, index present");
        dropCaches();
        start = Clock::now();
        const std::size_t coldListed = ListSessionFiles(data).size();
        const double coldListingMs = msSince(start);
        line("list fields, index absent (and written)", coldAbsentMs, coldRawMs, "raw open/read/close");
        line("list fields, index present", coldPresentMs, coldRawMs, "raw open/read/close");
        line("  listing the folder alone", coldListingMs, coldRawMs, "raw open/read/close");
        if (coldListed != listed)
            std::printf("  listed %zu names cold, %zu warm\n", coldListed, listed);
    } else {
        std::printf("  cold: not measured (the page cache cannot be dropped here)\n");
    }

    std::printf("  memory (heap in use):\n");
    std::printf("  %-40s %9.1f MB   %-28s %9.1f MB   ratio %6.2f\n", "full load of every session",
                archiveHeap / 1048576.0, "session files", bytes / 1048576.0, double(archiveHeap) / bytes);
    std::printf("  %-40s %9.0f B    %-28s %9.0f B    ratio %6.2f\n", "  per session, fully read",
                double(archiveHeap) / count, "its file", double(bytes) / count, double(archiveHeap) / bytes);
    std::printf("  %-40s %9.1f MB   %-28s %9.1f MB   ratio %6.2f\n", "listed sessions (the window's archive)",
                listHeap / 1048576.0, "session files", bytes / 1048576.0, double(listHeap) / bytes);
    std::printf("  %-40s %9.1f MB   %-28s %9.1f MB   ratio %6.2f\n", "index file", indexBytes / 1048576.0,
                "session files", bytes / 1048576.0, double(indexBytes) / bytes);

    // A network share: 1 ms more for every open of a file in the folder.
    std::size_t filesRead = 0;
    const double netPresentMs = delayedList(self, data, index, filesRead);
    std::printf("  simulated network share (1 ms per open; folder listing not delayed):\n");
    std::printf("  %-40s %9.1f ms   (%zu files opened; %zu opens alone would take %.1f s)\n",
                "list fields, index present", netPresentMs, filesRead, n, count / 1000.0);
    if (count <= 20000) {
        const std::string other = (root / "cache" / "other.idx").string();
        const double netAbsentMs = delayedList(self, data, other, filesRead);
        std::printf("  %-40s %9.1f ms   (%zu files opened)\n", "list fields, index absent", netAbsentMs, filesRead);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::string(argv[1]) == "--network")
        return networkRun(argv[2], argv[3]);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::max(10, std::atoi(argv[i])));
    if (counts.empty())
        counts = {10000, 100000};
    benchDecoding();
    const fs::path root = fs::temp_directory_path() / ("palettor-list-bench-" + std::to_string(::getpid()));
    for (int count : counts) {
        fs::remove_all(root);
        benchCount(argv[0], count, root);
    }
    fs::remove_all(root);
    return 0;
}
