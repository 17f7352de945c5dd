#include "SessionListIndex.h"

#include "ReplaceFile.h"
#include "SessionArchive.h"
#include "SystemReason.h"
#include "TSimpleFileStream.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Layout, little-endian, no padding: signature, version, the session folder
// (length-prefixed), the entry count, the entries, then a checksum of every
// byte before it. An entry: name, file size, modification time, inode,
// start, duration, kind, sex, birth date, then given name, surname,
// patronymic and group in UTF-8, each text with a two-byte length. An index
// of an older version is rebuilt.
const std::string indexSignature = "Palettor list index\x1A";
constexpr uint32_t indexVersion = 2;
// The largest entry: a name of 255 bytes, four texts of 255 stored bytes each
// taking up to three bytes in UTF-8, and the fixed fields.
constexpr std::size_t mostEntryBytes = (2 + 255) + 3 * 8 + 8 + 4 + 4 + 1 + 8 + 4 * (2 + 3 * 255);
// Signature, version, a folder path of up to 4096 bytes with its length, the
// count and the checksum.
constexpr std::size_t mostHeaderBytes = 32 + 4 + 4 + 4096 + 4 + 8;
// The smallest entry: a one-letter name, empty texts.
constexpr std::size_t leastEntryBytes = (2 + 1) + 3 * 8 + 8 + 4 + 4 + 1 + 8 + 4 * 2;

uint64_t checksum(std::string_view bytes)
{
    uint64_t h = 0x6A09E667F3BCC908ULL ^ bytes.size();
    std::size_t i = 0;
    auto mix = [&h](uint64_t word) {
        h = (h ^ word) * 0x9E3779B97F4A7C15ULL;
        h ^= h >> 29;
    };
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

// The folder as stored and compared: absolute, without "." or "..", so two
// spellings of one folder share an index.
std::string folderKey(const std::string &dataFolder)
{
    std::error_code error;
    fs::path path = fs::weakly_canonical(fs::absolute(dataFolder, error), error);
    if (error)
        path = fs::path(dataFolder).lexically_normal();
    std::string key = path.string();
    while (key.size() > 1 && key.back() == '/')
        key.pop_back();
    return key;
}

class Writer {
public:
    template <typename T>
    void Put(T value)
    {
        bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
    }
    void Text(const std::string &text)
    {
        Put(static_cast<uint16_t>(text.size()));
        bytes += text;
    }
    std::string bytes;
};

// Every read checked against the bytes left; the first short one marks the
// index damaged.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes(bytes) {}
    template <typename T>
    T Get()
    {
        T value{};
        if (Ok(sizeof value)) {
            std::memcpy(&value, bytes.data() + at, sizeof value);
            at += sizeof value;
        }
        return value;
    }
    std::string Text()
    {
        const auto length = Get<uint16_t>();
        if (!Ok(length))
            return {};
        std::string text(bytes.substr(at, length));
        at += length;
        return text;
    }
    bool Ok(std::size_t count)
    {
        if (count > bytes.size() - at)
            damaged = true;
        return !damaged;
    }
    std::string_view bytes;
    std::size_t at = 0;
    bool damaged = false;
};

} // namespace

std::string ListIndexFileName(const std::string &dataFolder)
{
    const std::string key = folderKey(dataFolder);
    char name[40];
    std::snprintf(name, sizeof name, "list-%016llx.idx", static_cast<unsigned long long>(checksum(key)));
    return name;
}

std::size_t MaxListIndexBytes(std::size_t sessions) { return mostHeaderBytes + sessions * mostEntryBytes; }

ListIndexRead ReadListIndex(const std::string &indexPath, const std::string &dataFolder, std::size_t maxBytes)
{
    ListIndexRead result;
    TSimpleFileStream stream;
    try {
        // Refused by its size before a byte is read.
        if (!TSimpleFileStream::ReadRegularFile(indexPath, stream, {}, maxBytes))
            return result; // Missing
    } catch (const StreamError &) {
        result.State = ListIndexState::Damaged;
        return result;
    }
    const std::string_view all = stream.Take(stream.Remaining());
    if (all.size() == 0)
        return {ListIndexState::Damaged, {}};
    if (all.substr(0, indexSignature.size()) != indexSignature)
        return {ListIndexState::Foreign, {}};
    Reader in(all);
    in.at = indexSignature.size();
    if (in.Get<uint32_t>() != indexVersion && !in.damaged)
        return {ListIndexState::Foreign, {}};
    const auto folderLength = in.Get<uint32_t>();
    const std::string folder = in.Ok(folderLength) ? std::string(all.substr(in.at, folderLength)) : std::string();
    in.at += in.damaged ? 0 : folderLength;
    if (in.damaged || all.size() - in.at < 8)
        return {ListIndexState::Damaged, {}};
    // Checked before anything is believed: an index changed anywhere is
    // rebuilt whole rather than trusted in part.
    const std::string_view body = all.substr(0, all.size() - 8);
    uint64_t stored;
    std::memcpy(&stored, all.data() + body.size(), 8);
    if (stored != checksum(body))
        return {ListIndexState::Damaged, {}};
    if (folder != folderKey(dataFolder))
        return {ListIndexState::Foreign, {}};

    Reader entries(body);
    entries.at = in.at;
    const auto count = entries.Get<uint32_t>();
    // A count beyond what is left is damage.
    if (!entries.Ok(static_cast<std::size_t>(count) * leastEntryBytes))
        return {ListIndexState::Damaged, {}};
    result.Entries.reserve(count);
    for (uint32_t i = 0; i < count && !entries.damaged; ++i) {
        SessionListEntry e;
        e.Name = entries.Text();
        e.Stamp.Size = entries.Get<uint64_t>();
        e.Stamp.ModifiedNs = entries.Get<int64_t>();
        e.Stamp.Inode = entries.Get<uint64_t>();
        e.Fields.StartedAt = entries.Get<double>();
        e.Fields.DurationSeconds = entries.Get<int32_t>();
        e.Fields.TestKind = entries.Get<int32_t>();
        e.Fields.Sex = entries.Get<uint8_t>();
        e.Fields.BirthDate = entries.Get<double>();
        e.Fields.FirstName = entries.Text();
        e.Fields.Surname = entries.Text();
        e.Fields.Patronymic = entries.Text();
        e.Fields.Group = entries.Text();
        // Names are unique and in order, which reconciling relies on.
        if (e.Name.empty() || (!result.Entries.empty() && !(result.Entries.back().Name < e.Name)))
            entries.damaged = true;
        result.Entries.push_back(std::move(e));
    }
    if (entries.damaged || entries.at != body.size())
        return {ListIndexState::Damaged, {}};
    result.State = ListIndexState::Used;
    return result;
}

void WriteListIndex(const std::string &indexPath, const std::string &dataFolder,
                    const std::vector<SessionListEntry> &entries)
{
    Writer out;
    out.bytes = indexSignature;
    out.Put(indexVersion);
    const std::string folder = folderKey(dataFolder);
    out.Put(static_cast<uint32_t>(folder.size()));
    out.bytes += folder;
    out.Put(static_cast<uint32_t>(entries.size()));
    for (const SessionListEntry &e : entries) {
        out.Text(e.Name);
        out.Put(e.Stamp.Size);
        out.Put(e.Stamp.ModifiedNs);
        out.Put(e.Stamp.Inode);
        out.Put(e.Fields.StartedAt);
        out.Put(e.Fields.DurationSeconds);
        out.Put(e.Fields.TestKind);
        out.Put(e.Fields.Sex);
        out.Put(e.Fields.BirthDate);
        for (const std::string *text : {&e.Fields.FirstName, &e.Fields.Surname, &e.Fields.Patronymic, &e.Fields.Group})
            out.Text(*text);
    }
    out.Put(checksum(out.bytes));

    std::error_code error;
    const fs::path parent = fs::path(indexPath).parent_path();
    if (!parent.empty())
        fs::create_directories(parent, error);
    // Replacing is right here: the index is this station's alone, and an
    // older one is only an older copy of the same facts.
    ReplaceFileOptions options;
    options.Mode = 0600;
    ReplaceFileAtomically(indexPath, out.bytes, options);
}

namespace {

enum class Found : unsigned char { Pending, Listed, Absent, Damaged };

// Reads the list fields of one file of the folder.
Found readEntry(const std::string &folder, const std::string &name, SessionListEntry &entry, TSimpleFileStream &buffer)
{
    const std::string path = PathInFolder(folder, name);
    entry.Name = name;
    // Stamped before it is read: a file replaced meanwhile shows as changed
    // at the next look, never as the old one.
    const std::optional<FileStamp> stamp = StampOf(path);
    if (!stamp)
        return Found::Absent;
    entry.Stamp = *stamp;
    try {
        std::uint64_t size = 0;
        return ReadSessionListFields(path, entry.Fields, size, buffer) ? Found::Listed : Found::Absent;
    } catch (const StreamError &) {
        // A file deleted since the folder was listed is not damaged.
        std::error_code gone;
        return fs::exists(fs::symlink_status(path, gone)) ? Found::Damaged : Found::Absent;
    }
}

bool stopped(const SessionListOptions &options) { return options.Stop && options.Stop->load(); }

// Reads the files the index does not know, several at once, while the
// caller takes the results in name order.
class ParallelReads {
public:
    ParallelReads(const std::string &folder, const std::vector<std::string> &names,
                  std::vector<SessionListEntry> &entries, std::vector<Found> &found, std::vector<std::size_t> jobs,
                  const SessionListOptions &options)
        : folder(folder), names(names), entries(entries), found(found), jobs(std::move(jobs)), options(options)
    {
        const std::size_t readers = std::min<std::size_t>(std::max(options.Readers, 1u), this->jobs.size());
        // One reader gains nothing over the caller reading in turn.
        if (readers < 2)
            return;
        for (std::size_t r = 0; r < readers; ++r)
            threads.emplace_back([this] { read(); });
    }
    ~ParallelReads()
    {
        quit = true;
        for (std::thread &thread : threads)
            thread.join();
    }
    ParallelReads(const ParallelReads &) = delete;
    ParallelReads &operator=(const ParallelReads &) = delete;

    // What became of name i, reading it here when no reader runs.
    Found Await(std::size_t i)
    {
        if (threads.empty()) {
            if (found[i] == Found::Pending)
                found[i] = readEntry(folder, names[i], entries[i], buffer);
            return found[i];
        }
        std::unique_lock lock(mutex);
        ready.wait(lock, [&] { return found[i] != Found::Pending || quit || stopped(options); });
        return found[i];
    }

private:
    void read()
    {
        TSimpleFileStream own;
        while (!quit && !stopped(options)) {
            const std::size_t job = next++;
            if (job >= jobs.size())
                break;
            const std::size_t i = jobs[job];
            SessionListEntry entry;
            const Found result = readEntry(folder, names[i], entry, own);
            {
                const std::lock_guard lock(mutex);
                entries[i] = std::move(entry);
                found[i] = result;
            }
            ready.notify_all();
        }
        ready.notify_all();
    }

    const std::string &folder;
    const std::vector<std::string> &names;
    std::vector<SessionListEntry> &entries;
    std::vector<Found> &found;
    const std::vector<std::size_t> jobs;
    const SessionListOptions &options;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> quit{false};
    std::mutex mutex;
    std::condition_variable ready;
    std::vector<std::thread> threads;
    TSimpleFileStream buffer;
};

} // namespace

SessionListLoad LoadSessionList(const std::string &dataFolder, const std::string &indexPath,
                                const SessionListOptions &options)
{
    SessionListLoad load;
    // A folder out of reach (a network share down) says nothing about which
    // sessions exist: the index is kept for when it comes back.
    std::error_code error;
    if (!fs::is_directory(dataFolder, error)) {
        load.Index = ListIndexState::Missing;
        return load;
    }
    bool listedWhole = false;
    const std::vector<std::string> names = ListSessionFiles(dataFolder, options.RemoveStaleTemporaries, listedWhole);
    ListIndexRead index = ReadListIndex(indexPath, dataFolder, MaxListIndexBytes(names.size()));
    load.Index = index.State;

    // Every name gets its entry from the index or is read from its file.
    std::vector<SessionListEntry> entries(names.size());
    std::vector<Found> found(names.size(), Found::Pending);
    std::vector<std::size_t> jobs;
    std::vector<bool> fromFile(names.size(), false);
    bool changed = index.State != ListIndexState::Used;
    auto known = index.Entries.begin();
    for (std::size_t i = 0; i < names.size(); ++i) {
        while (known != index.Entries.end() && known->Name < names[i]) {
            ++known; // gone from the folder: deleted here or by another station
            changed = true;
        }
        // An entry holds only while its file is the one it was read from.
        if (known != index.Entries.end() && known->Name == names[i]
            && StampOf(PathInFolder(dataFolder, names[i])) == known->Stamp) {
            entries[i] = std::move(*known++);
            found[i] = Found::Listed;
        } else {
            if (known != index.Entries.end() && known->Name == names[i])
                ++known;
            fromFile[i] = true;
            jobs.push_back(i);
        }
    }
    if (known != index.Entries.end())
        changed = true;
    index.Entries = {};
    load.FilesRead = jobs.size();
    changed = changed || !jobs.empty();

    std::vector<SessionListEntry> listed;
    if (!options.OnBatch || changed)
        listed.reserve(names.size());
    SessionListBatch batch;
    batch.Total = names.size();
    // Small batches at first so the list shows at once, larger ones after so
    // the window does not spend its time taking them in.
    std::size_t batchSize = std::min<std::size_t>(options.BatchEntries, 200);
    auto handOn = [&](std::size_t done) {
        batch.Done = done;
        options.OnBatch(std::move(batch));
        batch = {};
        batch.Total = names.size();
        batchSize = std::max<std::size_t>(options.BatchEntries, 1);
        batch.Entries.reserve(std::min(batchSize, names.size() - done));
    };
    if (options.OnBatch)
        batch.Entries.reserve(std::min(batchSize, names.size()));
    {
        ParallelReads reads(dataFolder, names, entries, found, std::move(jobs), options);
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (stopped(options))
                return load;
            switch (reads.Await(i)) {
            case Found::Listed:
                if (options.OnBatch && fromFile[i])
                    batch.FromFiles.push_back(names[i]);
                // Kept for the index only when it is to be written.
                if (options.OnBatch && !changed) {
                    batch.Entries.push_back(std::move(entries[i]));
                    break;
                }
                if (options.OnBatch)
                    batch.Entries.push_back(entries[i]);
                listed.push_back(std::move(entries[i]));
                break;
            case Found::Damaged:
                load.Skipped.push_back(PathInFolder(dataFolder, names[i]));
                if (options.OnBatch)
                    batch.Skipped.push_back(load.Skipped.back());
                break;
            case Found::Absent:
                break;
            case Found::Pending:
                return load; // stopped while waiting
            }
            if (options.OnBatch && batch.Entries.size() + batch.Skipped.size() >= batchSize)
                handOn(i + 1);
        }
    }
    if (options.OnBatch && (!batch.Entries.empty() || !batch.Skipped.empty()))
        handOn(names.size());

    // A listing that broke off would drop what it did not reach from the index.
    if (changed && listedWhole) {
        try {
            WriteListIndex(indexPath, dataFolder, listed);
            load.IndexWritten = true;
        } catch (const StreamError &error) {
            load.IndexError = error.what();
        }
    }
    if (!options.OnBatch)
        load.Entries = std::move(listed);
    return load;
}

SessionListLoad LoadSessionList(const std::string &dataFolder, const std::string &indexPath,
                                bool removeStaleTemporaries)
{
    SessionListOptions options;
    options.RemoveStaleTemporaries = removeStaleTemporaries;
    return LoadSessionList(dataFolder, indexPath, options);
}

SessionFolderChanges ReadFolderChanges(const std::string &dataFolder, const std::vector<std::string> &names,
                                       const std::vector<KnownFile> &known)
{
    SessionFolderChanges changes;
    TSimpleFileStream buffer;
    auto old = known.begin();
    for (const std::string &name : names) {
        while (old != known.end() && old->Name < name)
            changes.Vanished.push_back((old++)->Name);
        const bool listed = old != known.end() && old->Name == name;
        if (listed && old->Stamp.Known() && StampOf(PathInFolder(dataFolder, name)) == old->Stamp) {
            ++old;
            continue;
        }
        if (listed)
            ++old;
        SessionListEntry entry;
        switch (readEntry(dataFolder, name, entry, buffer)) {
        case Found::Listed:
            (listed ? changes.Changed : changes.Added).push_back(std::move(entry));
            break;
        case Found::Damaged:
            changes.Skipped.push_back(PathInFolder(dataFolder, name));
            if (listed)
                changes.Vanished.push_back(name);
            break;
        case Found::Absent:
        case Found::Pending:
            if (listed)
                changes.Vanished.push_back(name);
            break;
        }
    }
    for (; old != known.end(); ++old)
        changes.Vanished.push_back(old->Name);
    return changes;
}

std::optional<SessionFolderChanges> CheckSessionFolder(const std::string &dataFolder,
                                                       const std::vector<KnownFile> &known)
{
    bool complete = false;
    const std::vector<std::string> names = ListSessionFiles(dataFolder, false, complete);
    if (!complete)
        return std::nullopt;
    return ReadFolderChanges(dataFolder, names, known);
}
