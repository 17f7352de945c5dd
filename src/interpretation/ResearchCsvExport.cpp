#include "interpretation/ResearchCsvExport.h"

#include "core/ScratchFile.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

constexpr std::size_t OutputBufferBytes = 256 * 1024;

struct Slot {
    ResearchCsvRow Row;
    CsvRowRead Outcome = CsvRowRead::NotSession;
    bool Ready = false;
};

// Rows read by several threads and handed to one writer in order; a reader
// runs at most `window` rows ahead of the writer, so memory stays flat.
class RowPipeline {
public:
    RowPipeline(std::size_t count, std::size_t window, const CsvRowReader &read, const ResearchCsvOptions &csv)
        : count(count), slots(std::max<std::size_t>(window, 1)), read(read), csv(csv)
    {
    }

    void Start(unsigned readers)
    {
        const std::size_t n = std::clamp<std::size_t>(readers, 1, std::max<std::size_t>(count, 1));
        for (std::size_t r = 0; r < n; ++r)
            threads.emplace_back([this] { readRows(); });
    }

    // The next row in order; waits for its reader.
    Slot Take(std::size_t i)
    {
        std::unique_lock lock(mutex);
        Slot &slot = slots[i % slots.size()];
        rowReady.wait(lock, [&slot] { return slot.Ready; });
        Slot taken = std::move(slot);
        slot = Slot();
        written = i + 1;
        lock.unlock();
        slotFree.notify_all();
        return taken;
    }

    void Stop()
    {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        slotFree.notify_all();
        for (std::thread &thread : threads)
            thread.join();
        threads.clear();
    }

    ~RowPipeline() { Stop(); }

private:
    void readRows()
    {
        TCLTSession whole;
        TSimpleFileStream buffer;
        for (;;) {
            std::size_t i = 0;
            {
                std::unique_lock lock(mutex);
                slotFree.wait(lock, [this] { return stopping || next >= count || next < written + slots.size(); });
                if (stopping || next >= count)
                    return;
                i = next++;
            }
            Slot result;
            try {
                result.Outcome = read(i, whole, buffer);
                if (result.Outcome == CsvRowRead::Read)
                    result.Row = ResearchCsvRowOf(whole, csv);
            } catch (...) {
                result.Outcome = CsvRowRead::Damaged;
            }
            result.Ready = true;
            {
                std::lock_guard lock(mutex);
                slots[i % slots.size()] = std::move(result);
            }
            rowReady.notify_one();
        }
    }

    const std::size_t count;
    std::vector<Slot> slots;
    const CsvRowReader &read;
    const ResearchCsvOptions &csv;
    std::mutex mutex;
    std::condition_variable rowReady;
    std::condition_variable slotFree;
    std::size_t next = 0;    // the next row a reader takes
    std::size_t written = 0; // rows the writer has taken
    bool stopping = false;
    std::vector<std::thread> threads;
};

// Each spooled row: its length and its own stimuli, then the line.
struct SpooledRow {
    std::uint32_t Length;
    std::uint32_t Stimuli;
};

} // namespace

namespace {

CsvExportResult exportRows(const std::string &path, std::size_t count, const CsvRowReader &read,
                           const CsvExportOptions &options)
{
    CsvExportResult result;
    const auto cancelled = [&options] { return options.Cancel && options.Cancel->load(std::memory_order_relaxed); };
    FileReplacement out;
    // Both files are made first, so a folder that cannot take them is known
    // before any session is read.
    result.Problem = out.Begin(path, options.Replace);
    ScratchFile spool;
    if (result.Problem.empty()) {
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        result.Problem = spool.Open(parent.empty() ? std::string(".") : parent.string());
    }
    if (!result.Problem.empty())
        return result;

    const char separator = options.Csv.Separator;
    std::size_t stimuli = 0;
    {
        RowPipeline pipeline(count, options.Window, read, options.Csv);
        pipeline.Start(options.Readers);
        std::size_t percent = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (cancelled()) {
                result.Cancelled = true;
                break;
            }
            Slot slot = pipeline.Take(i);
            if (slot.Outcome == CsvRowRead::Read) {
                const std::string line = ResearchCsvNumbered(result.Rows + 1, separator, slot.Row.Fields);
                const SpooledRow head{static_cast<std::uint32_t>(line.size()),
                                      static_cast<std::uint32_t>(slot.Row.Stimuli)};
                result.Problem = spool.Append(std::string_view(reinterpret_cast<const char *>(&head), sizeof head));
                if (result.Problem.empty())
                    result.Problem = spool.Append(line);
                if (!result.Problem.empty())
                    break;
                ++result.Rows;
                stimuli = std::max(stimuli, slot.Row.Stimuli);
            } else if (slot.Outcome == CsvRowRead::Damaged) {
                result.Damaged.push_back(i);
            }
            const std::size_t now = (i + 1) * 100 / count;
            if (now > percent || i == 0) {
                percent = now;
                if (options.Progress && !options.Progress(i + 1, count)) {
                    result.Cancelled = true;
                    break;
                }
            }
        }
    }
    if (result.Cancelled || !result.Problem.empty())
        return result; // out and spool remove themselves

    std::string buffer = ResearchCsvHead(options.Csv, stimuli);
    buffer.reserve(OutputBufferBytes + 4096);
    result.Problem = spool.Rewind();
    std::string line;
    for (std::size_t r = 0; r < result.Rows && result.Problem.empty(); ++r) {
        if (cancelled()) {
            result.Cancelled = true;
            return result;
        }
        SpooledRow head{};
        result.Problem = spool.Read(reinterpret_cast<char *>(&head), sizeof head);
        if (!result.Problem.empty())
            break;
        line.resize(head.Length);
        result.Problem = spool.Read(line.data(), line.size());
        if (!result.Problem.empty())
            break;
        PadResearchCsvRow(line, head.Stimuli, stimuli, separator);
        buffer += line;
        if (buffer.size() >= OutputBufferBytes) {
            result.Problem = out.Append(buffer);
            buffer.clear();
        }
    }
    if (result.Problem.empty())
        result.Problem = out.Append(buffer);
    if (result.Problem.empty())
        result.Problem = out.Commit();
    result.Written = result.Problem.empty();
    return result;
}

} // namespace

CsvExportResult ExportResearchCsv(const std::string &path, std::size_t count, const CsvRowReader &read,
                                  const CsvExportOptions &options)
{
    try {
        return exportRows(path, count, read, options);
    } catch (const std::exception &error) {
        // No thread or memory to be had: the file stays as it was.
        CsvExportResult failed;
        failed.Problem = std::string("не удалось выгрузить таблицу: ") + error.what();
        return failed;
    }
}
