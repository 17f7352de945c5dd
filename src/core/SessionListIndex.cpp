#include "core/SessionListIndex.h"

#include "core/ReplaceFile.h"
#include "core/SessionArchive.h"
#include "core/SystemReason.h"
#include "core/TSimpleFileStream.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace fs = std::filesystem;

namespace {

// Layout, little-endian, no padding: signature, version, the session folder
// (length-prefixed), then blocks. A block: a tag, the length of what
// follows up to its checksum, the count of entries and the entries, the
// count of removed names and the names, then a checksum of the block's bytes
// chained to the one before it (the first to the header's). The first block
// holds the whole list; a start that finds a few files new or gone appends a
// block rather than rewriting the file, and a reader applies the blocks in
// turn. An append cut short (the program killed, the disk full) leaves a
// last block whose checksum fails: the blocks before it still hold, and the
// file is rewritten whole at that start. An entry: name, file size,
// modification time, inode, start, duration, kind, sex, birth date, then
// given name, surname, patronymic and group in UTF-8, each text with a
// two-byte length, then a byte telling whether the statistics' figures
// follow (1) or not (0), and the figures: both choices' sixteen colour tags,
// the two intensities, the two counts of anxieties and the two of
// compensations, a byte each. An index of an older version is rebuilt.
const std::string indexSignature = "Palettor list index\x1A";
constexpr uint32_t indexVersion = 4;
constexpr uint32_t blockTag = 0x4B4C4250; // "PBLK"
// Tag, length, entry count, removal count and checksum of a block.
constexpr std::size_t blockOverhead = 4 + 8 + 4 + 4 + 8;
// The largest entry: a name of 255 bytes, four texts of 255 stored bytes each
// taking up to three bytes in UTF-8, and the fixed fields.
constexpr std::size_t figuresBytes = 16 + 2 + 2 + 2;
constexpr std::size_t mostEntryBytes = (2 + 255) + 3 * 8 + 8 + 4 + 4 + 1 + 8 + 4 * (2 + 3 * 255) + 1 + figuresBytes;
// Signature, version, a folder path of up to 4096 bytes with its length, and
// one block's overhead.
constexpr std::size_t mostHeaderBytes = 32 + 4 + 4 + 4096 + blockOverhead;
// The smallest entry: a one-letter name, empty texts.
constexpr std::size_t leastEntryBytes = (2 + 1) + 3 * 8 + 8 + 4 + 4 + 1 + 8 + 4 * 2 + 1;
// Appended blocks are kept below this share of the first block's bytes and
// this count; beyond them the next change rewrites the file whole.
constexpr std::size_t tailShare = 4;
constexpr std::size_t mostBlocks = 64;

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
    explicit Writer(std::string &bytes) : bytes(bytes) {}
    template <typename T>
    void Put(T value)
    {
        bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
    }
    template <typename T>
    void PutAt(std::size_t at, T value)
    {
        std::memcpy(bytes.data() + at, &value, sizeof value);
    }
    void Text(const std::string &text)
    {
        Put(static_cast<uint16_t>(text.size()));
        bytes += text;
    }
    void Entry(const SessionListEntry &e)
    {
        Text(e.Name);
        Put(e.Stamp.Size);
        Put(e.Stamp.ModifiedNs);
        Put(e.Stamp.Inode);
        Put(e.Fields.StartedAt);
        Put(e.Fields.DurationSeconds);
        Put(e.Fields.TestKind);
        Put(e.Fields.Sex);
        Put(e.Fields.BirthDate);
        for (const std::string *text : {&e.Fields.FirstName, &e.Fields.Surname, &e.Fields.Patronymic, &e.Fields.Group})
            Text(*text);
        Put(static_cast<uint8_t>(e.Fields.Figures.has_value()));
        if (!e.Fields.Figures)
            return;
        const SessionFigures &f = *e.Fields.Figures;
        for (const auto &choice : f.Choice)
            for (const int8_t tag : choice)
                Put(tag);
        for (const int8_t intensity : f.Intensity)
            Put(intensity);
        for (const auto *pair : {&f.Anxieties, &f.Compensations})
            for (const uint8_t count : *pair)
                Put(count);
    }
    std::string &bytes;
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
    // A text as a view into the index's bytes.
    std::string_view View()
    {
        const auto length = Get<uint16_t>();
        if (!Ok(length))
            return {};
        const std::string_view text = bytes.substr(at, length);
        at += length;
        return text;
    }
    // An entry as a row of the list: the fixed fields into row, the name and
    // the four texts as views.
    void RowFields(ListedTable::Row &row, std::string_view &name, std::string_view (&texts)[ListedTable::Path])
    {
        name = View();
        row.Stamp.Size = Get<uint64_t>();
        row.Stamp.ModifiedNs = Get<int64_t>();
        row.Stamp.Inode = Get<uint64_t>();
        row.StartedAt = Get<double>();
        row.DurationSeconds = Get<int32_t>();
        row.TestKind = Get<int32_t>();
        row.Sex = Get<uint8_t>();
        row.BirthDate = Get<double>();
        for (std::string_view &text : texts)
            text = View();
        const auto held = Get<uint8_t>();
        if (held > 1 || name.empty())
            damaged = true;
        row.HasFigures = held == 1 && Ok(figuresBytes);
        if (row.HasFigures)
            figures(row.Figures);
    }
    SessionListEntry Entry()
    {
        SessionListEntry e;
        e.Name = Text();
        e.Stamp.Size = Get<uint64_t>();
        e.Stamp.ModifiedNs = Get<int64_t>();
        e.Stamp.Inode = Get<uint64_t>();
        e.Fields.StartedAt = Get<double>();
        e.Fields.DurationSeconds = Get<int32_t>();
        e.Fields.TestKind = Get<int32_t>();
        e.Fields.Sex = Get<uint8_t>();
        e.Fields.BirthDate = Get<double>();
        e.Fields.FirstName = Text();
        e.Fields.Surname = Text();
        e.Fields.Patronymic = Text();
        e.Fields.Group = Text();
        const auto held = Get<uint8_t>();
        if (held > 1 || e.Name.empty())
            damaged = true;
        if (held == 1 && Ok(figuresBytes))
            figures(e.Fields.Figures.emplace());
        return e;
    }
    void figures(SessionFigures &f)
    {
        for (auto &choice : f.Choice)
            for (int8_t &tag : choice)
                tag = Get<int8_t>();
        for (int8_t &intensity : f.Intensity)
            intensity = Get<int8_t>();
        for (auto *pair : {&f.Anxieties, &f.Compensations})
            for (uint8_t &count : *pair)
                count = Get<uint8_t>();
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

// A block is begun with its counts left open and its entries written as
// they come; finishing it fills them in and adds the removed names (in
// order) and the checksum chained to link.
std::size_t beginBlock(std::string &bytes)
{
    const std::size_t start = bytes.size();
    Writer out(bytes);
    out.Put(blockTag);
    out.Put(uint64_t{0});
    out.Put(uint32_t{0});
    return start;
}

void finishBlock(std::string &bytes, std::size_t start, uint32_t entries, const std::vector<std::string> &removed,
                 uint64_t link)
{
    Writer out(bytes);
    out.PutAt(start + 12, entries);
    out.Put(static_cast<uint32_t>(removed.size()));
    for (const std::string &name : removed)
        out.Text(name);
    out.PutAt(start + 4, static_cast<uint64_t>(bytes.size() - start - 12));
    out.Put(checksum(std::string_view(bytes).substr(start), link));
}

std::string headerBytes(const std::string &dataFolder)
{
    std::string bytes = indexSignature;
    Writer out(bytes);
    out.Put(indexVersion);
    const std::string folder = folderKey(dataFolder);
    out.Put(static_cast<uint32_t>(folder.size()));
    bytes += folder;
    return bytes;
}

// The entries and removed names of one block; false when it does not hold
// (cut short, changed, or not in name order).
// The bytes of the block at `at` once its checksum (chained to link) holds;
// at and link then move past it. Nothing when it is cut short or changed.
std::optional<std::string_view> checkedBlock(std::string_view all, std::size_t &at, uint64_t &link)
{
    Reader in(all);
    in.at = at;
    const std::size_t start = at;
    if (in.Get<uint32_t>() != blockTag)
        return std::nullopt;
    const auto length = in.Get<uint64_t>();
    if (in.damaged || length > all.size() - in.at || all.size() - in.at - length < 8)
        return std::nullopt;
    const std::string_view block = all.substr(start, 12 + length);
    uint64_t stored;
    std::memcpy(&stored, all.data() + start + 12 + length, 8);
    // Checked before anything is believed: a block changed anywhere is
    // dropped whole rather than trusted in part.
    if (stored != checksum(block, link))
        return std::nullopt;
    at = start + block.size() + 8;
    link = stored;
    return block;
}

bool readBlock(std::string_view all, std::size_t &at, uint64_t &link, std::vector<SessionListEntry> &entries,
               std::vector<std::string> &removed)
{
    std::size_t next = at;
    uint64_t nextLink = link;
    const std::optional<std::string_view> checked = checkedBlock(all, next, nextLink);
    if (!checked)
        return false;
    const std::string_view block = *checked;
    Reader body(block);
    body.at = 12;
    const auto count = body.Get<uint32_t>();
    // A count beyond what is left is damage.
    if (!body.Ok(static_cast<std::size_t>(count) * leastEntryBytes))
        return false;
    entries.reserve(count);
    for (uint32_t i = 0; i < count && !body.damaged; ++i) {
        entries.push_back(body.Entry());
        // Names are unique and in order, which reconciling relies on.
        if (entries.size() > 1 && !(entries[entries.size() - 2].Name < entries.back().Name))
            body.damaged = true;
    }
    const auto gone = body.Get<uint32_t>();
    for (uint32_t i = 0; i < gone && !body.damaged; ++i) {
        removed.push_back(body.Text());
        if (removed.back().empty() || (removed.size() > 1 && !(removed[removed.size() - 2] < removed.back())))
            body.damaged = true;
    }
    if (body.damaged || body.at != block.size())
        return false;
    at = next;
    link = nextLink;
    return true;
}

} // namespace

std::string ListIndexFileName(const std::string &dataFolder)
{
    const std::string key = folderKey(dataFolder);
    char name[40];
    std::snprintf(name, sizeof name, "list-%016llx.idx", static_cast<unsigned long long>(checksum(key)));
    return name;
}

std::size_t MaxListIndexBytes(std::size_t sessions) { return mostHeaderBytes + sessions * mostEntryBytes; }

namespace {

using LaterEntries = ListIndexRows::LaterEntries;

// The index file's bytes, mapped rather than copied: a start reads them
// once, and fresh memory costs more than the pages the cache holds already.
class MappedIndex {
public:
    MappedIndex(const std::string &path, std::size_t maxBytes, ListIndexState &state)
    {
        state = ListIndexState::Damaged;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                state = ListIndexState::Missing;
            return;
        }
        struct stat info {};
        // Refused by its size before a byte is read.
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0
            && static_cast<std::uint64_t>(info.st_size) <= maxBytes) {
            size = static_cast<std::size_t>(info.st_size);
            void *at = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (at != MAP_FAILED) {
                data = static_cast<const char *>(at);
                state = ListIndexState::Used;
            }
        }
        ::close(fd);
    }
    ~MappedIndex()
    {
        if (data)
            ::munmap(const_cast<char *>(data), size);
    }
    MappedIndex(const MappedIndex &) = delete;
    MappedIndex &operator=(const MappedIndex &) = delete;
    std::string_view Bytes() const { return {data, data ? size : 0}; }

private:
    const char *data = nullptr;
    std::size_t size = 0;
};

// An index file read and its blocks checked: the first block's bytes, and
// what the appended blocks say, the later over the earlier. result gets the
// state and where a block can be appended; the stream holds the bytes.
bool readIndexBlocks(std::string_view all, const std::string &dataFolder, ListIndexRead &result, std::string_view &base,
                     LaterEntries &later)
{
    result.State = ListIndexState::Damaged;
    if (all.size() == 0)
        return false;
    result.State = ListIndexState::Foreign;
    if (all.substr(0, indexSignature.size()) != indexSignature)
        return false;
    Reader in(all);
    in.at = indexSignature.size();
    if (in.Get<uint32_t>() != indexVersion && !in.damaged)
        return false;
    result.State = ListIndexState::Damaged;
    const auto folderLength = in.Get<uint32_t>();
    const std::string folder = in.Ok(folderLength) ? std::string(all.substr(in.at, folderLength)) : std::string();
    in.at += in.damaged ? 0 : folderLength;
    if (in.damaged)
        return false;
    uint64_t link = checksum(all.substr(0, in.at));
    std::size_t at = in.at;
    const std::optional<std::string_view> first = checkedBlock(all, at, link);
    if (!first)
        return false;
    if (folder != folderKey(dataFolder)) {
        result.State = ListIndexState::Foreign;
        return false;
    }
    base = *first;
    result.BaseBytes = at;
    std::size_t blocks = 1;
    while (at < all.size()) {
        std::vector<SessionListEntry> entries;
        std::vector<std::string> removed;
        if (!readBlock(all, at, link, entries, removed)) {
            result.TornTail = true;
            break;
        }
        ++blocks;
        for (SessionListEntry &entry : entries) {
            std::string name = entry.Name;
            later[std::move(name)] = std::move(entry);
        }
        for (std::string &name : removed)
            later[std::move(name)] = std::nullopt;
    }
    result.State = ListIndexState::Used;
    result.Blocks = blocks;
    result.WholeBytes = at;
    result.Link = link;
    return true;
}

// Walks the first block's entries in name order with the later blocks laid
// over them: add(entry) for an entry of a later block, row(name, reader) for
// one of the first, read by the reader's RowFields or Entry. False when the
// block does not hold.
template <typename AddLater, typename AddFirst>
bool walkIndex(std::string_view base, LaterEntries &later, std::size_t &baseEntries, AddLater addLater,
               AddFirst addFirst)
{
    Reader body(base);
    body.at = 12;
    const auto count = body.Get<uint32_t>();
    // A count beyond what is left is damage.
    if (!body.Ok(static_cast<std::size_t>(count) * leastEntryBytes))
        return false;
    baseEntries = count;
    auto next = later.begin();
    std::string_view previous;
    for (uint32_t i = 0; i < count && !body.damaged; ++i) {
        const std::size_t entryAt = body.at;
        // Names are unique and in order, which reconciling relies on.
        const std::string_view name = body.View();
        if (body.damaged || name.empty() || (i > 0 && !(previous < name)))
            return false;
        previous = name;
        for (; next != later.end() && std::string_view(next->first) < name; ++next)
            if (next->second)
                addLater(*next->second);
        body.at = entryAt;
        if (next != later.end() && next->first == name) {
            body.Entry(); // passed over: the later block's word stands
            if (next->second)
                addLater(*next->second);
            ++next;
            continue;
        }
        addFirst(body);
    }
    for (; next != later.end(); ++next)
        if (next->second)
            addLater(*next->second);
    return !body.damaged && body.Get<uint32_t>() == 0 && !body.damaged && body.at == base.size();
}

} // namespace

ListIndexRead ReadListIndex(const std::string &indexPath, const std::string &dataFolder, std::size_t maxBytes)
{
    ListIndexRead result;
    TSimpleFileStream stream;
    try {
        // Refused by its size before a byte is read.
        if (!TSimpleFileStream::ReadRegularFile(indexPath, stream, {}, maxBytes))
            return result; // Missing
    } catch (const StreamError &) {
        return {ListIndexState::Damaged, {}};
    }
    std::string_view base;
    LaterEntries later;
    if (!readIndexBlocks(stream.Take(stream.Remaining()), dataFolder, result, base, later))
        return {result.State, {}};
    const bool whole = walkIndex(
        base, later, result.BaseEntries, [&](SessionListEntry &entry) { result.Entries.push_back(std::move(entry)); },
        [&](Reader &body) { result.Entries.push_back(body.Entry()); });
    if (!whole)
        return {ListIndexState::Damaged, {}};
    return result;
}

std::vector<KnownFile> ListIndexRows::TakeKnown()
{
    std::vector<KnownFile> known;
    if (!mapped)
        return known;
    known.reserve(Read.BaseEntries + later.size());
    std::size_t count = 0;
    walkIndex(
        base, later, count,
        [&](const SessionListEntry &entry) {
            known.push_back({entry.Name, entry.Stamp});
        },
        [&](Reader &body) {
            ListedTable::Row fixed;
            std::string_view name;
            std::string_view texts[ListedTable::Path];
            body.RowFields(fixed, name, texts);
            known.push_back({std::string(name), fixed.Stamp});
        });
    mapped.reset();
    base = {};
    later.clear();
    return known;
}

ListIndexRows ReadListIndexRows(const std::string &indexPath, const std::string &dataFolder, std::size_t chunkRows,
                                std::size_t maxBytes)
{
    ListIndexRows rows;
    auto mapped = std::make_shared<MappedIndex>(indexPath, maxBytes, rows.Read.State);
    if (rows.Read.State != ListIndexState::Used
        || !readIndexBlocks(mapped->Bytes(), dataFolder, rows.Read, rows.base, rows.later))
        return rows;
    const std::string prefix = PathInFolder(dataFolder, {});
    chunkRows = std::max<std::size_t>(chunkRows, 1);
    bool fits = true;
    // The table rows go to: a new one every chunkRows rows.
    const auto table = [&]() -> ListedTable & {
        if (rows.Tables.empty() || rows.Tables.back().Count() >= chunkRows) {
            rows.Tables.emplace_back();
            rows.Tables.back().Reserve(chunkRows, true);
        }
        return rows.Tables.back();
    };
    const auto add = [&](const ListedTable::Row &fixed, std::string_view name,
                         const std::string_view(&texts)[ListedTable::Path]) {
        fits = fits && ListedTable::Fits(texts, prefix, name);
        if (fits) {
            ListedTable &into = table();
            into.Append(into.Make(fixed, texts, prefix, name));
        }
    };
    const bool whole = walkIndex(
        rows.base, rows.later, rows.Read.BaseEntries,
        [&](const SessionListEntry &entry) {
            fits = fits && ListedTable::Fits(entry.Fields, prefix, entry.Name);
            if (fits) {
                ListedTable &into = table();
                into.Append(into.Make(entry.Fields, entry.Stamp, prefix, entry.Name));
            }
        },
        [&](Reader &body) {
            ListedTable::Row fixed;
            std::string_view name;
            std::string_view texts[ListedTable::Path];
            body.RowFields(fixed, name, texts);
            if (!body.damaged)
                add(fixed, name, texts);
        });
    if (!whole) {
        rows = {};
        rows.Read.State = ListIndexState::Damaged;
        return rows;
    }
    rows.Fits = fits;
    rows.mapped = std::move(mapped);
    return rows;
}

void WriteListIndex(const std::string &indexPath, const std::string &dataFolder,
                    const std::vector<SessionListEntry> &entries, const ReplaceFileHooks &hooks)
{
    ListIndexBuilder builder(dataFolder);
    for (const SessionListEntry &e : entries)
        builder.Add(e);
    builder.Write(indexPath, hooks);
}

ListIndexBuilder::ListIndexBuilder(const std::string &dataFolder)
    : bytes(headerBytes(dataFolder)), blockStart(beginBlock(bytes))
{
}

void ListIndexBuilder::Add(const SessionListEntry &entry)
{
    Writer(bytes).Entry(entry);
    ++count;
}

void ListIndexBuilder::Write(const std::string &indexPath, const ReplaceFileHooks &hooks)
{
    finishBlock(bytes, blockStart, count, {}, checksum(std::string_view(bytes).substr(0, blockStart)));
    std::error_code error;
    const fs::path parent = fs::path(indexPath).parent_path();
    if (!parent.empty())
        fs::create_directories(parent, error);
    // Replacing is right here: the index is this station's alone, and an
    // older one is only an older copy of the same facts.
    ReplaceFileOptions options;
    options.Mode = 0600;
    options.Hooks = hooks;
    ReplaceFileAtomically(indexPath, bytes, options);
    bytes = {};
}

bool ListIndexAppendFits(const ListIndexRead &read, std::size_t entries, std::size_t removed)
{
    if (read.State != ListIndexState::Used || read.TornTail || read.Blocks >= mostBlocks)
        return false;
    const std::size_t listed = std::max<std::size_t>(read.BaseEntries, 1);
    const std::size_t perEntry = read.BaseBytes / listed + 1;
    const std::size_t tail = read.WholeBytes - read.BaseBytes;
    return tail + blockOverhead + (entries + removed) * perEntry <= read.BaseBytes / tailShare;
}

void AppendListIndex(const std::string &indexPath, const ListIndexRead &read,
                     const std::vector<SessionListEntry> &entries, const std::vector<std::string> &removed,
                     const ReplaceFileHooks &hooks)
{
    std::string bytes;
    const std::size_t start = beginBlock(bytes);
    for (const SessionListEntry &entry : entries)
        Writer(bytes).Entry(entry);
    finishBlock(bytes, start, static_cast<uint32_t>(entries.size()), removed, read.Link);

    auto fail = [&](const char *what, int code) {
        throw StreamError("не удалось дописать файл \"" + indexPath + "\": " + what + ": " + SystemReasonText(code));
    };
    auto before = [&](ReplaceStep step) { return hooks.BeforeStep ? hooks.BeforeStep(step) : 0; };
    int code = before(ReplaceStep::Creating);
    const int fd = code ? -1 : ::open(indexPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        fail("не удалось открыть", code ? code : errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // Only onto the file that was read: one replaced meanwhile (by another
    // window of this station) would take a block chained to another list.
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        fail("не удалось узнать размер", errno);
    if (!S_ISREG(now.st_mode) || static_cast<std::size_t>(now.st_size) != read.WholeBytes)
        fail("файл изменился после чтения", ESTALE);
    for (std::size_t offset = 0; offset < bytes.size();) {
        std::size_t count = bytes.size() - offset;
        if (hooks.BeforeWrite) {
            if (const int fault = hooks.BeforeWrite(offset, count))
                fail("не удалось записать", fault);
            count = std::min(count, bytes.size() - offset);
        }
        const ssize_t n = ::write(fd, bytes.data() + offset, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail("не удалось записать", n < 0 ? errno : ENOSPC);
        offset += static_cast<std::size_t>(n);
    }
    // A block cut short by a crash fails its checksum and is dropped with
    // what follows; the blocks before it stay sound.
    code = before(ReplaceStep::Syncing);
    if (code == 0 && ::fdatasync(fd) != 0)
        code = errno;
    if (code != 0)
        fail("не удалось записать на диск", code);
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

namespace {

// The index laid over with the changes, written whole: read again from its
// file, as the list handed on has gone to the window.
void rewriteIndex(const std::string &indexPath, const std::string &dataFolder, std::size_t listed,
                  std::vector<SessionListEntry> upserts, const std::vector<std::string> &removed,
                  const ReplaceFileHooks &hooks)
{
    ListIndexRead again = ReadListIndex(indexPath, dataFolder, MaxListIndexBytes(listed));
    if (again.State != ListIndexState::Used)
        throw StreamError("список в \"" + indexPath + "\" изменился во время чтения");
    const std::unordered_set<std::string_view> gone(removed.begin(), removed.end());
    ListIndexBuilder builder(dataFolder);
    auto next = upserts.begin();
    for (const SessionListEntry &entry : again.Entries) {
        for (; next != upserts.end() && next->Name < entry.Name; ++next)
            builder.Add(*next);
        if (next != upserts.end() && next->Name == entry.Name) {
            builder.Add(*next++);
            continue;
        }
        if (!gone.count(entry.Name))
            builder.Add(entry);
    }
    for (; next != upserts.end(); ++next)
        builder.Add(*next);
    builder.Write(indexPath, hooks);
}

// What the folder shows different from the list handed on (known, the files
// of its entries): told as one set, then the index brought up to date.
void reconcileWithFolder(const std::string &dataFolder, const std::string &indexPath, const SessionListOptions &options,
                         const std::vector<std::string> &names, bool listedWhole, const ListIndexRead &index,
                         std::vector<KnownFile> known, SessionListLoad &load)
{
    // The folder decides: every entry is checked against its file now.
    SessionFolderChanges changes = ReadFolderChanges(dataFolder, names, known);
    if (options.OnKnown)
        options.OnKnown(std::move(known));
    known = {};
    // A listing that broke off would drop what it did not reach.
    if (!listedWhole)
        changes.Vanished.clear();
    load.FilesRead = changes.Added.size() + changes.Changed.size() + changes.Skipped.size();
    load.Skipped = changes.Skipped;
    const bool changed = !changes.Added.empty() || !changes.Changed.empty() || !changes.Vanished.empty();
    std::vector<SessionListEntry> upserts;
    std::vector<std::string> removed;
    if (changed || index.TornTail) {
        upserts = changes.Added;
        upserts.insert(upserts.end(), changes.Changed.begin(), changes.Changed.end());
        const auto byName = [](const SessionListEntry &a, const SessionListEntry &b) { return a.Name < b.Name; };
        std::sort(upserts.begin(), upserts.end(), byName);
        removed = changes.Vanished;
        std::sort(removed.begin(), removed.end());
    }
    if (stopped(options))
        return;
    if (changed || !changes.Skipped.empty())
        options.OnChanges(std::move(changes));

    if ((changed || index.TornTail) && listedWhole && !stopped(options)) {
        try {
            if (ListIndexAppendFits(index, upserts.size(), removed.size())) {
                AppendListIndex(indexPath, index, upserts, removed, options.IndexHooks);
                load.IndexAppended = true;
            } else {
                rewriteIndex(indexPath, dataFolder, names.size(), std::move(upserts), removed, options.IndexHooks);
            }
            load.IndexWritten = true;
        } catch (const StreamError &error) {
            load.IndexError = error.what();
        }
    }
}

SessionListLoad loadIndexFirst(const std::string &dataFolder, const std::string &indexPath,
                               const SessionListOptions &options, const std::vector<std::string> &names,
                               bool listedWhole, ListIndexRead &index)
{
    SessionListLoad load;
    load.Index = index.State;
    const std::size_t total = index.Entries.size();
    std::vector<KnownFile> known;
    known.reserve(total);
    SessionListBatch batch;
    batch.Total = total;
    std::size_t batchSize = std::min<std::size_t>(options.BatchEntries, 200);
    batch.Entries.reserve(std::min(batchSize, total));
    for (std::size_t i = 0; i < total; ++i) {
        SessionListEntry &entry = index.Entries[i];
        known.push_back({entry.Name, entry.Stamp});
        batch.Entries.push_back(std::move(entry));
        if (batch.Entries.size() >= batchSize || i + 1 == total) {
            if (stopped(options))
                return load;
            batch.Done = i + 1;
            options.OnBatch(std::move(batch));
            batch = {};
            batch.Total = total;
            batchSize = std::max<std::size_t>(options.BatchEntries, 1);
            batch.Entries.reserve(std::min(batchSize, total - i - 1));
        }
    }
    index.Entries = {};
    reconcileWithFolder(dataFolder, indexPath, options, names, listedWhole, index, std::move(known), load);
    return load;
}

// The index's rows handed on before the folder is even listed: a start
// shows its list in the time it takes to read the index.
SessionListLoad loadRowsFirst(const std::string &dataFolder, const std::string &indexPath,
                              const SessionListOptions &options, ListIndexRows &rows)
{
    SessionListLoad load;
    load.Index = rows.Read.State;
    std::size_t total = 0;
    for (const ListedTable &table : rows.Tables)
        total += table.Count();
    std::size_t done = 0;
    for (ListedTable &table : rows.Tables) {
        if (stopped(options))
            return load;
        SessionListBatch batch;
        batch.Total = total;
        batch.Done = done += table.Count();
        batch.Rows = std::move(table);
        options.OnBatch(std::move(batch));
    }
    rows.Tables.clear();
    // The rows are the window's now; the files to check are read again from
    // the index's bytes, which then go.
    std::vector<KnownFile> known = rows.TakeKnown();
    bool listedWhole = false;
    const std::vector<std::string> names = ListSessionFiles(dataFolder, options.RemoveStaleTemporaries, listedWhole);
    // An index far larger than such a folder's would be is not this folder's.
    if (rows.Read.WholeBytes > MaxListIndexBytes(names.size()))
        rows.Read.TornTail = true; // rewritten whole below once compared
    reconcileWithFolder(dataFolder, indexPath, options, names, listedWhole, rows.Read, std::move(known), load);
    return load;
}

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
    if (options.OnBatch && options.OnChanges && options.BatchRows) {
        ListIndexRows rows = ReadListIndexRows(indexPath, dataFolder, std::max<std::size_t>(options.BatchEntries, 1));
        if (rows.Read.State == ListIndexState::Used && rows.Fits)
            return loadRowsFirst(dataFolder, indexPath, options, rows);
    }
    bool listedWhole = false;
    const std::vector<std::string> names = ListSessionFiles(dataFolder, options.RemoveStaleTemporaries, listedWhole);
    ListIndexRead index = ReadListIndex(indexPath, dataFolder, MaxListIndexBytes(names.size()));
    load.Index = index.State;
    if (options.OnBatch && options.OnChanges && index.State == ListIndexState::Used)
        return loadIndexFirst(dataFolder, indexPath, options, names, listedWhole, index);

    // Every name gets its entry from the index or is read from its file.
    std::vector<SessionListEntry> entries(names.size());
    std::vector<Found> found(names.size(), Found::Pending);
    std::vector<std::size_t> jobs;
    std::vector<bool> fromFile(names.size(), false);
    std::vector<bool> indexed(names.size(), false); // read again although the index had it
    std::vector<std::string> dropped;               // names the index has and the folder not
    auto known = index.Entries.begin();
    for (std::size_t i = 0; i < names.size(); ++i) {
        while (known != index.Entries.end() && known->Name < names[i])
            dropped.push_back((known++)->Name); // deleted here or by another station
        // An entry holds only while its file is the one it was read from.
        if (known != index.Entries.end() && known->Name == names[i]
            && StampOf(PathInFolder(dataFolder, names[i])) == known->Stamp) {
            entries[i] = std::move(*known++);
            found[i] = Found::Listed;
        } else {
            if (known != index.Entries.end() && known->Name == names[i]) {
                ++known;
                indexed[i] = true;
            }
            fromFile[i] = true;
            jobs.push_back(i);
        }
    }
    for (; known != index.Entries.end(); ++known)
        dropped.push_back(known->Name);
    index.Entries = {};
    load.FilesRead = jobs.size();
    // A whole index with only the sessions of other stations' few changes
    // to tell takes them as a block at its end; anything else is written anew.
    const bool changed = index.State != ListIndexState::Used || index.TornTail || !dropped.empty() || !jobs.empty();
    const bool append = changed && ListIndexAppendFits(index, jobs.size(), dropped.size());
    std::optional<ListIndexBuilder> rewrite;
    if (changed && !append)
        rewrite.emplace(dataFolder);
    std::vector<SessionListEntry> appended; // copies of the few entries read from files

    std::vector<SessionListEntry> listed;
    if (!options.OnBatch)
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
                // Serialised for the index as it passes: the entry itself is handed on.
                if (rewrite)
                    rewrite->Add(entries[i]);
                else if (append && fromFile[i])
                    appended.push_back(entries[i]);
                (options.OnBatch ? batch.Entries : listed).push_back(std::move(entries[i]));
                break;
            case Found::Damaged:
                load.Skipped.push_back(PathInFolder(dataFolder, names[i]));
                if (options.OnBatch)
                    batch.Skipped.push_back(load.Skipped.back());
                [[fallthrough]];
            case Found::Absent:
                if (indexed[i])
                    dropped.insert(std::upper_bound(dropped.begin(), dropped.end(), names[i]), names[i]);
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
    entries = {};

    // A listing that broke off would drop what it did not reach from the index.
    if (changed && listedWhole) {
        // An append that fails (or finds the file replaced meanwhile) leaves
        // the index as it was or with a cut block: the next start reads
        // what is whole and writes the index anew.
        try {
            if (append) {
                AppendListIndex(indexPath, index, appended, dropped, options.IndexHooks);
                load.IndexAppended = true;
            } else {
                rewrite->Write(indexPath, options.IndexHooks);
            }
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

std::vector<KnownFile> FilesAfter(std::vector<KnownFile> known, const SessionFolderChanges &changes)
{
    const std::unordered_set<std::string_view> vanished(changes.Vanished.begin(), changes.Vanished.end());
    std::unordered_map<std::string_view, const FileStamp *> restamped;
    for (const SessionListEntry &entry : changes.Changed)
        restamped.emplace(entry.Name, &entry.Stamp);
    std::vector<KnownFile> after;
    after.reserve(known.size() + changes.Added.size());
    for (KnownFile &file : known) {
        if (vanished.count(file.Name))
            continue;
        if (const auto found = restamped.find(file.Name); found != restamped.end())
            file.Stamp = *found->second;
        after.push_back(std::move(file));
    }
    const std::size_t kept = after.size();
    for (const SessionListEntry &entry : changes.Added)
        after.push_back({entry.Name, entry.Stamp});
    const auto byName = [](const KnownFile &a, const KnownFile &b) { return a.Name < b.Name; };
    std::sort(after.begin() + static_cast<std::ptrdiff_t>(kept), after.end(), byName);
    std::inplace_merge(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(kept), after.end(), byName);
    return after;
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
