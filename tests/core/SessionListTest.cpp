#include "core/FolderMount.h"
#include "core/SessionArchive.h"
#include "core/SessionDetails.h"
#include "core/SessionListIndex.h"
#include "core/TSimpleFileStream.h"
#include "support/SessionBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class Scratch {
public:
    Scratch()
    {
        const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        path =
            fs::temp_directory_path() / (std::string("palettor-list-") + test->test_suite_name() + "-" + test->name());
        fs::remove_all(path);
        fs::create_directories(path / "Data");
    }
    ~Scratch() { fs::remove_all(path); }
    std::string Data() const { return (path / "Data").string(); }
    std::string Index() const { return (path / "cache" / "list.idx").string(); }
    fs::path path;
};

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A new file each time: rewriting one in place makes some file systems
// flush it, which would make these tests slow.
void writeAll(const fs::path &path, const std::string &bytes)
{
    fs::remove(path);
    std::ofstream(path, std::ios::binary) << bytes;
}

// Saves a session of each kind in turn, with Cyrillic names of every length
// up to the longest a name can have.
std::string saveSession(const std::string &data, int i)
{
    TCLTSession s = SessionBuilder::EveryField(1 + i % 4);
    s.Surname = std::string(static_cast<std::size_t>(i * 37 % 256) / 2 * 2, '\0');
    for (std::size_t k = 0; k < s.Surname.size(); k += 2)
        s.Surname.replace(k, 2, "Ж");
    s.Patronymic = i % 2 ? "Сергеевна" : "";
    s.Group = i % 3 ? "Бухгалтерия" : "";
    s.Sex = static_cast<uint8_t>(i % 3);
    s.StartedAt += i;
    int digit = i;
    return fs::path(SaveSession(s, data, {2025, 7, 4, 9, 5, i % 60, 100 + i}, [&] { return digit++ % 10; }))
        .filename()
        .string();
}

// The list entries a full read of every session file gives.
std::vector<SessionListEntry> fullRead(const std::string &data)
{
    std::vector<SessionListEntry> entries;
    TSimpleFileStream buffer;
    for (const std::string &name : ListSessionFiles(data)) {
        TCLTSession s;
        const std::string path = PathInFolder(data, name);
        try {
            if (!ReadSessionFile(path, s, buffer))
                continue;
        } catch (const StreamError &) {
            continue;
        }
        entries.push_back({name, StampOf(path).value_or(FileStamp{}), SessionListFields::Of(s)});
    }
    return entries;
}

// Every stored field, as the record writer lays them out.
std::string recordBytes(TCLTSession &session)
{
    TSimpleFileStream out;
    session.SaveToStream(&out);
    return out.Bytes();
}

// The first bytes of a real session file: its signature, then too little.
void writeCutSession(const std::string &data, const std::string &name)
{
    writeAll(fs::path(data) / name, readAll(PathInFolder(data, ListSessionFiles(data).front())).substr(0, 40));
}

} // namespace

TEST(SessionListFields, EqualAFullReadFieldByFieldForEveryKind)
{
    Scratch scratch;
    TSimpleFileStream buffer;
    for (int i = 0; i < 12; ++i) {
        const std::string path = PathInFolder(scratch.Data(), saveSession(scratch.Data(), i));
        TCLTSession full(0, 45000);
        ASSERT_TRUE(ReadSessionFile(path, full, buffer));
        SessionListFields fields;
        std::uint64_t size = 0;
        ASSERT_TRUE(ReadSessionListFields(path, fields, size, buffer));
        EXPECT_EQ(fields, SessionListFields::Of(full)) << i;
        EXPECT_EQ(size, fs::file_size(path));
        TCLTSession listed(0, 45000);
        fields.ApplyTo(listed);
        EXPECT_EQ(listed.DisplayName, full.DisplayName);
        EXPECT_EQ(listed.Age, full.Age);
    }
}

// The figures come with the list fields only where the file came in whole
// and the full reader takes it, and only where they are all the statistics
// need.
TEST(SessionListFields, FiguresOnlyFromAWholeFileTheFullReaderTakes)
{
    Scratch scratch;
    TSimpleFileStream buffer;
    const std::string name = saveSession(scratch.Data(), 2);
    const std::string bytes = readAll(PathInFolder(scratch.Data(), name));
    TCLTSession large = SessionBuilder::EveryField(SessionBuilder::EightTwice);
    large.DetailedConclusion = std::string(20000, 'x');
    const std::string largeName =
        fs::path(SaveSession(large, scratch.Data(), {2025, 7, 4, 9, 5, 3, 100}, [] { return 1; })).filename().string();
    const struct {
        std::string bytes;
        bool figures;
    } cases[] = {
        {bytes, true},
        {bytes.substr(0, bytes.size() - 1), false}, // the end marker cut off
        {readAll(PathInFolder(scratch.Data(), largeName)), false},
        {readAll(PathInFolder(scratch.Data(), saveSession(scratch.Data(), 3))), false}, // associations
    };
    for (const auto &c : cases) {
        writeAll(scratch.path / "case.dat", c.bytes);
        SessionListFields fields;
        std::uint64_t size = 0;
        ASSERT_TRUE(ReadSessionListFields((scratch.path / "case.dat").string(), fields, size, buffer));
        EXPECT_EQ(fields.Figures.has_value(), c.figures) << c.bytes.size();
        if (!c.figures)
            continue;
        TCLTSession full;
        ASSERT_TRUE(ReadSessionFile((scratch.path / "case.dat").string(), full, buffer));
        EXPECT_EQ(fields.Figures, full.Figures());
    }
}

TEST(SessionListFields, RefuseForeignFilesAndReportEveryRecordCutShort)
{
    Scratch scratch;
    TSimpleFileStream buffer;
    SessionListFields fields;
    std::uint64_t size = 0;
    writeAll(scratch.path / "foreign.dat", std::string(4000, 'x'));
    EXPECT_FALSE(ReadSessionListFields((scratch.path / "foreign.dat").string(), fields, size, buffer));
    EXPECT_FALSE(ReadSessionListFields((scratch.path / "missing.dat").string(), fields, size, buffer));
    EXPECT_FALSE(ReadSessionListFields(scratch.Data(), fields, size, buffer));
    // Sessions with nothing optional are as short as a record gets: every
    // cut of one leaves too little for a record.
    for (int kind = 1; kind <= 4; ++kind) {
        TCLTSession s(45000, 45000);
        s.TestKind = kind;
        const fs::path path =
            PathInFolder(scratch.Data(),
                         fs::path(SaveSession(s, scratch.Data(), {2025, 7, 4, 9, 5, 3, 100 + kind}, [] { return 1; }))
                             .filename()
                             .string());
        const std::string bytes = readAll(path);
        ASSERT_TRUE(ReadSessionListFields(path.string(), fields, size, buffer));
        for (std::size_t cut = 18; cut < bytes.size(); ++cut) {
            writeAll(scratch.path / "cut.dat", bytes.substr(0, cut));
            EXPECT_THROW(ReadSessionListFields((scratch.path / "cut.dat").string(), fields, size, buffer), StreamError)
                << "kind " << kind << " cut at " << cut;
        }
    }
}

TEST(SessionListIndex, BuiltWhenMissingThenOnlyNewNamesAreRead)
{
    Scratch scratch;
    std::vector<std::string> names;
    names.reserve(6);
    for (int i = 0; i < 6; ++i)
        names.push_back(saveSession(scratch.Data(), i));

    SessionListLoad first = LoadSessionList(scratch.Data(), scratch.Index());
    EXPECT_EQ(first.Index, ListIndexState::Missing);
    EXPECT_EQ(first.FilesRead, 6u);
    EXPECT_TRUE(first.IndexWritten) << first.IndexError;
    EXPECT_EQ(first.Entries, fullRead(scratch.Data()));

    SessionListLoad again = LoadSessionList(scratch.Data(), scratch.Index());
    EXPECT_EQ(again.Index, ListIndexState::Used);
    EXPECT_EQ(again.FilesRead, 0u);
    EXPECT_FALSE(again.IndexWritten);
    EXPECT_EQ(again.Entries, first.Entries);

    // Another station adds two sessions and deletes one: only the new files
    // are opened, and the list is what a full read of the folder gives.
    fs::remove(PathInFolder(scratch.Data(), names[2]));
    saveSession(scratch.Data(), 40);
    saveSession(scratch.Data(), 41);
    SessionListLoad stale = LoadSessionList(scratch.Data(), scratch.Index());
    EXPECT_EQ(stale.Index, ListIndexState::Used);
    EXPECT_EQ(stale.FilesRead, 2u);
    EXPECT_TRUE(stale.IndexWritten);
    EXPECT_EQ(stale.Entries, fullRead(scratch.Data()));
    EXPECT_EQ(LoadSessionList(scratch.Data(), scratch.Index()).FilesRead, 0u);

    // The last session deleted elsewhere: the index drops it too.
    for (const auto &entry : stale.Entries)
        fs::remove(PathInFolder(scratch.Data(), entry.Name));
    EXPECT_TRUE(LoadSessionList(scratch.Data(), scratch.Index()).Entries.empty());
    EXPECT_TRUE(ReadListIndex(scratch.Index(), scratch.Data()).Entries.empty());
}

TEST(SessionListIndex, EveryDamageIsIgnoredAndTheListRebuiltWhole)
{
    Scratch scratch;
    for (int i = 0; i < 3; ++i)
        saveSession(scratch.Data(), i);
    const std::vector<SessionListEntry> expected = fullRead(scratch.Data());
    LoadSessionList(scratch.Data(), scratch.Index());
    const std::string good = readAll(scratch.Index());

    auto check = [&](const std::string &index, const std::string &what) {
        writeAll(scratch.Index(), index);
        const SessionListLoad load = LoadSessionList(scratch.Data(), scratch.Index());
        EXPECT_NE(load.Index, ListIndexState::Used) << what;
        EXPECT_EQ(load.FilesRead, 3u) << what;
        EXPECT_EQ(load.Entries, expected) << what;
        EXPECT_EQ(readAll(scratch.Index()), good) << what << ": rebuilt";
    };
    // Each rebuild syncs the index to disk, so every third byte, and each of
    // the last eight (the checksum), rather than all of them.
    auto sampled = [&](std::size_t at) { return at % 3 == 0 || at + 8 >= good.size(); };
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        if (sampled(cut))
            check(good.substr(0, cut), "cut at " + std::to_string(cut));
    for (std::size_t at = 0; at < good.size(); ++at) {
        if (!sampled(at))
            continue;
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x04);
        check(flipped, "byte changed at " + std::to_string(at));
    }
    // Bytes after the whole list are an append cut short: the list is
    // believed, and the index written anew without them.
    writeAll(scratch.Index(), good + "x");
    const SessionListLoad torn = LoadSessionList(scratch.Data(), scratch.Index());
    EXPECT_EQ(torn.Index, ListIndexState::Used);
    EXPECT_EQ(torn.FilesRead, 0u);
    EXPECT_EQ(torn.Entries, expected);
    EXPECT_TRUE(torn.IndexWritten && !torn.IndexAppended);
    EXPECT_EQ(readAll(scratch.Index()), good);
}

TEST(SessionListIndex, AnotherFoldersOrAForeignFileIsNotTrusted)
{
    Scratch scratch;
    saveSession(scratch.Data(), 1);
    fs::create_directories(scratch.path / "Other");
    fs::copy(scratch.Data(), scratch.path / "Other", fs::copy_options::recursive);
    saveSession((scratch.path / "Other").string(), 2);
    LoadSessionList((scratch.path / "Other").string(), scratch.Index());
    LoadSessionList(scratch.Data(), (scratch.path / "own.idx").string());
    std::string olderVersion = readAll(scratch.path / "own.idx");
    const std::size_t version = olderVersion.find('\x1A') + 1;
    ASSERT_EQ(olderVersion[version], 4);
    olderVersion[version] = 3;

    const struct {
        std::string index;
        ListIndexState state;
    } cases[] = {
        {readAll(scratch.Index()), ListIndexState::Foreign}, // the other folder's
        {std::string(200, 'x'), ListIndexState::Foreign},
        {"", ListIndexState::Damaged},
        {olderVersion, ListIndexState::Foreign}, // holds no figures: rebuilt
    };
    for (const auto &c : cases) {
        writeAll(scratch.Index(), c.index);
        EXPECT_EQ(ReadListIndex(scratch.Index(), scratch.Data()).State, c.state);
        const SessionListLoad load = LoadSessionList(scratch.Data(), scratch.Index());
        EXPECT_EQ(load.Entries, fullRead(scratch.Data()));
        EXPECT_EQ(ReadListIndex(scratch.Index(), scratch.Data()).State, ListIndexState::Used);
    }
    // Two spellings of one folder share an index; other folders do not.
    EXPECT_EQ(ListIndexFileName(scratch.Data()), ListIndexFileName((scratch.path / "." / "Data" / "").string()));
    EXPECT_NE(ListIndexFileName(scratch.Data()), ListIndexFileName((scratch.path / "Other").string()));
}

TEST(SessionListIndex, DamagedSessionsAreReportedEveryTimeAndAnUnwritableIndexLosesNothing)
{
    Scratch scratch;
    saveSession(scratch.Data(), 1);
    const std::string good = saveSession(scratch.Data(), 2);
    const std::string bytes = readAll(PathInFolder(scratch.Data(), good));
    writeAll(scratch.path / "Data" / "2507040905000000.dat", bytes.substr(0, 100));
    writeAll(scratch.path / "Data" / "2507040905000001.dat", "not a session");
    const std::string damaged = PathInFolder(scratch.Data(), "2507040905000000.dat");

    for (int run = 0; run < 2; ++run) {
        const SessionListLoad load = LoadSessionList(scratch.Data(), scratch.Index());
        EXPECT_EQ(load.Skipped, std::vector<std::string>{damaged});
        EXPECT_EQ(load.Entries.size(), 2u);
    }

    // A folder where the index belongs: it cannot be read nor replaced, and
    // the list is whole all the same.
    fs::remove(scratch.Index());
    fs::create_directories(scratch.Index());
    const SessionListLoad load = LoadSessionList(scratch.Data(), scratch.Index());
    EXPECT_EQ(load.Entries, fullRead(scratch.Data()));
    EXPECT_FALSE(load.IndexWritten);
    EXPECT_FALSE(load.IndexError.empty());

    // A session folder out of reach leaves the index as it was.
    fs::remove_all(scratch.Index());
    LoadSessionList(scratch.Data(), scratch.Index());
    const std::string index = readAll(scratch.Index());
    fs::rename(scratch.Data(), scratch.path / "away");
    EXPECT_TRUE(LoadSessionList(scratch.Data(), scratch.Index()).Entries.empty());
    EXPECT_EQ(readAll(scratch.Index()), index);
}

TEST(SessionFolderListing, NamesRegularFilesAndLinksToThemOnly)
{
    Scratch scratch;
    const fs::path data = scratch.Data();
    writeAll(data / "a.dat", "x");
    fs::create_directory(data / "b.dat");
    fs::create_symlink(data / "a.dat", data / "c.dat");
    fs::create_directory_symlink(data / "b.dat", data / "d.dat");
    fs::create_symlink(data / "gone", data / "e.dat");
    writeAll(data / "f.txt", "x");
    writeAll(data / "g.~da", "x");
    EXPECT_EQ(ListSessionFiles(scratch.Data()), (std::vector<std::string>{"a.dat", "c.dat"}));
    EXPECT_TRUE(ListSessionFiles((data / "a.dat").string()).empty());
    EXPECT_TRUE(ListSessionFiles((data / "none").string()).empty());
}

TEST(SessionListIndex, EntriesReadBackWhateverTheirSize)
{
    Scratch scratch;
    std::vector<SessionListEntry> entries(3);
    entries[0].Name = "a"; // the smallest entry an index can hold
    entries[1].Name = "b";
    entries[2].Name = "c";
    entries[2].Stamp.Size = 1u << 31;
    entries[2].Fields = {45000.5, -1, 3, "Иван", std::string(255 * 2, 'x'), "Ёё", "Группа", 2, 30000, std::nullopt};
    // Figures at the bounds of their bytes, each byte its own.
    SessionFigures &figures = entries[1].Fields.Figures.emplace();
    figures.Choice = {{{-128, 127, 0, 1, 2, 3, 4, 5}, {8, 7, 6, 5, 4, 3, 2, -1}}};
    figures.Intensity = {-128, 127};
    figures.Anxieties = {255, 1};
    figures.Compensations = {2, 3};
    WriteListIndex(scratch.Index(), scratch.Data(), entries);
    const ListIndexRead read = ReadListIndex(scratch.Index(), scratch.Data());
    EXPECT_EQ(read.State, ListIndexState::Used);
    EXPECT_EQ(read.Entries, entries);
}

TEST(SessionListIndex, BatchesFromParallelReadsComeInNameOrderWhateverTheReaders)
{
    Scratch scratch;
    for (int i = 0; i < 60; ++i)
        saveSession(scratch.Data(), i);
    writeCutSession(scratch.Data(), "250704090500999.dat");
    const std::vector<SessionListEntry> expected = fullRead(scratch.Data());
    // Index absent (every file read), then present with a few new files.
    for (const unsigned readers : {1u, 2u, 7u}) {
        fs::remove(scratch.Index());
        for (int pass = 0; pass < 2; ++pass) {
            SessionListOptions options;
            options.Readers = readers;
            options.BatchEntries = 7;
            std::vector<SessionListEntry> got;
            std::vector<std::string> skipped;
            std::size_t lastDone = 0;
            options.OnBatch = [&](SessionListBatch &&batch) {
                EXPECT_GE(batch.Done, lastDone);
                EXPECT_EQ(batch.Total, expected.size() + 1);
                lastDone = batch.Done;
                got.insert(got.end(), batch.Entries.begin(), batch.Entries.end());
                skipped.insert(skipped.end(), batch.Skipped.begin(), batch.Skipped.end());
            };
            const SessionListLoad load = LoadSessionList(scratch.Data(), scratch.Index(), options);
            EXPECT_EQ(got, expected) << readers << " readers, pass " << pass;
            EXPECT_EQ(lastDone, expected.size() + 1);
            ASSERT_EQ(skipped.size(), 1u);
            EXPECT_EQ(load.Skipped, skipped);
            EXPECT_TRUE(load.Entries.empty());
            EXPECT_EQ(load.FilesRead, pass == 0 ? expected.size() + 1 : 1u);
        }
    }
    // Nothing new and nothing gone (a damaged file is never in the index):
    // the entries are handed on, the index kept.
    fs::remove(PathInFolder(scratch.Data(), "250704090500999.dat"));
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<SessionListEntry> got;
        SessionListOptions options;
        options.OnBatch = [&](SessionListBatch &&batch) {
            got.insert(got.end(), batch.Entries.begin(), batch.Entries.end());
        };
        const SessionListLoad load = LoadSessionList(scratch.Data(), scratch.Index(), options);
        EXPECT_EQ(got, expected) << pass;
        EXPECT_FALSE(load.IndexWritten);
    }
}

TEST(SessionListIndex, AStoppedLoadWritesNoIndex)
{
    Scratch scratch;
    for (int i = 0; i < 30; ++i)
        saveSession(scratch.Data(), i);
    std::atomic<bool> stop{false};
    SessionListOptions options;
    options.BatchEntries = 5;
    options.Stop = &stop;
    std::size_t batches = 0;
    options.OnBatch = [&](SessionListBatch &&) {
        ++batches;
        stop = true;
    };
    const SessionListLoad load = LoadSessionList(scratch.Data(), scratch.Index(), options);
    EXPECT_EQ(batches, 1u);
    EXPECT_FALSE(load.IndexWritten);
    EXPECT_FALSE(fs::exists(scratch.Index()));
}

TEST(SessionFolderChanges, NewNamesAreReadAndVanishedOnesNamed)
{
    Scratch scratch;
    std::vector<std::string> names;
    names.reserve(6);
    for (int i = 0; i < 6; ++i)
        names.push_back(saveSession(scratch.Data(), i));
    writeCutSession(scratch.Data(), "250704090500999.dat");
    // The list knows 0, 2 and 4 and a name deleted since.
    std::vector<KnownFile> sortedKnown;
    for (const std::string &name : {names[0], names[2], names[4], std::string("250704090500000.dat")})
        sortedKnown.push_back({name, StampOf(PathInFolder(scratch.Data(), name)).value_or(FileStamp{})});
    std::sort(sortedKnown.begin(), sortedKnown.end(),
              [](const KnownFile &a, const KnownFile &b) { return a.Name < b.Name; });
    const SessionFolderChanges changes =
        ReadFolderChanges(scratch.Data(), ListSessionFiles(scratch.Data()), sortedKnown);
    std::vector<std::string> added;
    for (const SessionListEntry &entry : changes.Added)
        added.push_back(entry.Name);
    std::vector<std::string> expectedAdded = {names[1], names[3], names[5]};
    std::sort(expectedAdded.begin(), expectedAdded.end());
    EXPECT_EQ(added, expectedAdded);
    EXPECT_EQ(changes.Vanished, std::vector<std::string>{"250704090500000.dat"});
    EXPECT_EQ(changes.Skipped, std::vector<std::string>{PathInFolder(scratch.Data(), "250704090500999.dat")});
    // Listed whole, the same; a folder out of reach tells nothing, rather
    // than that every session is gone.
    const auto checked = CheckSessionFolder(scratch.Data(), sortedKnown);
    ASSERT_TRUE(checked.has_value());
    EXPECT_EQ(checked->Vanished, changes.Vanished);
    EXPECT_EQ(checked->Added.size(), changes.Added.size());
    EXPECT_FALSE(CheckSessionFolder((scratch.path / "gone").string(), sortedKnown).has_value());
}

TEST(SessionDetailCache, DetailsOnDemandEqualAFullReadAndOnlyTheLastFewStayWhole)
{
    Scratch scratch;
    TCLTArchive listed;
    TCLTArchive full;
    const SessionContext context{45000, "."};
    for (int i = 0; i < 8; ++i) {
        const std::string path = PathInFolder(scratch.Data(), saveSession(scratch.Data(), i));
        ASSERT_TRUE(LoadSessionFile(path, full, context));
        SessionListFields fields;
        std::uint64_t size = 0;
        TSimpleFileStream buffer;
        ASSERT_TRUE(ReadSessionListFields(path, fields, size, buffer));
        listed.Add(ListedSession(fields, path, context));
    }
    SessionDetailCache cache(3);
    for (std::size_t i = 0; i < listed.Count(); ++i) {
        EXPECT_FALSE(listed[i].DetailsRead);
        EXPECT_EQ(listed[i].DisplayName, full[i].DisplayName);
        ASSERT_TRUE(cache.Ensure(listed[i]));
        EXPECT_EQ(recordBytes(listed[i]), recordBytes(full[i])) << i;
        EXPECT_EQ(listed[i].Age, full[i].Age);
        EXPECT_EQ(listed[i].SourceFile, full[i].SourceFile);
    }
    // The three made whole last are held; the others are back to their fields.
    EXPECT_EQ(cache.Held(), 3u);
    for (std::size_t i = 0; i < listed.Count(); ++i) {
        EXPECT_EQ(listed[i].DetailsRead, i >= 5) << i;
        EXPECT_EQ(SessionListFields::Of(listed[i]), SessionListFields::Of(full[i]));
        EXPECT_EQ(listed[i].DisplayName, full[i].DisplayName);
    }
    EXPECT_EQ(listed[0].DetailedConclusion, "");
    cache.Forget(&listed[7]);
    EXPECT_EQ(cache.Held(), 2u);
}

TEST(SessionDetailCache, ADamagedOrVanishedFileLeavesTheListFields)
{
    Scratch scratch;
    const std::string path = PathInFolder(scratch.Data(), saveSession(scratch.Data(), 3));
    SessionListFields fields;
    std::uint64_t size = 0;
    TSimpleFileStream buffer;
    ASSERT_TRUE(ReadSessionListFields(path, fields, size, buffer));
    const std::string bytes = readAll(path);
    SessionDetailCache cache;
    for (const bool gone : {false, true}) {
        if (gone)
            fs::remove(path);
        else
            writeAll(path, bytes.substr(0, bytes.size() - 10)); // past the list fields
        auto session = ListedSession(fields, path, {45000, ","});
        if (gone)
            EXPECT_FALSE(cache.Ensure(*session));
        else
            EXPECT_THROW(cache.Ensure(*session), StreamError);
        EXPECT_FALSE(session->DetailsRead);
        EXPECT_EQ(SessionListFields::Of(*session), fields);
        EXPECT_EQ(session->SourceFile, path);
        EXPECT_EQ(cache.Held(), 0u);
    }
}

namespace {

// A session file of its own name whose person is surname.
std::string sessionBytes(const std::string &surname)
{
    TCLTSession s = SessionBuilder::EveryField(1);
    s.Surname = surname;
    TSimpleFileStream out;
    WriteDataFileHeader(out, Scramble(SessionFileSignature), {1, 45000, 0});
    s.SaveToStream(&out);
    WriteByte(out, 0);
    return out.Bytes();
}

std::string surnameOf(const std::vector<SessionListEntry> &entries, const std::string &name)
{
    for (const SessionListEntry &entry : entries)
        if (entry.Name == name)
            return entry.Fields.Surname;
    return "(none)";
}

} // namespace

TEST(SessionListIndex, AFileReplacedUnderItsNameIsReadAgainAtStartAndAtACheck)
{
    Scratch scratch;
    const fs::path file = fs::path(scratch.Data()) / "2507040905030071.dat";
    const std::string name = file.filename().string();
    const std::string petrov = sessionBytes("Петров");
    // Each replacement leaves two of size, time and inode as they were.
    const struct {
        const char *what;
        std::string bytes;
        bool newInode;
        bool keepTime;
    } cases[] = {
        {"same size, same inode, new time", sessionBytes("Иванов"), false, false},
        {"same size, same time, new inode", sessionBytes("Иванов"), true, true},
        {"other size, same inode, same time", sessionBytes("Иванова"), false, true},
    };
    for (const auto &c : cases) {
        fs::remove(scratch.Index());
        writeAll(file, petrov);
        fs::last_write_time(file, fs::last_write_time(file) - std::chrono::seconds(10));
        const SessionListLoad before = LoadSessionList(scratch.Data(), scratch.Index());
        ASSERT_EQ(surnameOf(before.Entries, name), "Петров");
        const auto time = fs::last_write_time(file);
        if (c.newInode) {
            writeAll(scratch.path / "other", c.bytes);
            fs::rename(scratch.path / "other", file);
        } else {
            std::ofstream(file, std::ios::binary | std::ios::trunc) << c.bytes;
        }
        if (c.keepTime)
            fs::last_write_time(file, time);

        const std::vector<KnownFile> known = {{name, before.Entries.at(0).Stamp}};
        const SessionFolderChanges changes = ReadFolderChanges(scratch.Data(), {name}, known);
        EXPECT_TRUE(changes.Added.empty()) << c.what;
        ASSERT_EQ(changes.Changed.size(), 1u) << c.what;
        EXPECT_EQ(changes.Changed[0].Fields.Surname, c.bytes.size() == petrov.size() ? "Иванов" : "Иванова");

        const SessionListLoad after = LoadSessionList(scratch.Data(), scratch.Index());
        EXPECT_EQ(after.FilesRead, 1u) << c.what;
        EXPECT_EQ(after.Entries, fullRead(scratch.Data())) << c.what;
        // Read again, the entry holds: a check finds nothing more.
        EXPECT_TRUE(ReadFolderChanges(scratch.Data(), {name}, {{name, after.Entries.at(0).Stamp}}).Changed.empty());
    }
}

TEST(SessionListIndex, AnIndexLargerThanTheFoldersNamesCanNeedIsNotRead)
{
    Scratch scratch;
    saveSession(scratch.Data(), 1);
    // The largest entry there can be fits the bound for one name.
    std::vector<SessionListEntry> largest(1);
    largest[0].Name = std::string(255, '9');
    std::string wide;
    for (int i = 0; i < 255; ++i)
        wide += "№"; // three bytes in UTF-8, one stored
    largest[0].Fields = {45000, 1, 1, wide, wide, wide, wide, 1, 30000, SessionFigures{}};
    WriteListIndex(scratch.Index(), scratch.Data(), largest);
    EXPECT_LE(fs::file_size(scratch.Index()), MaxListIndexBytes(1));
    EXPECT_EQ(ReadListIndex(scratch.Index(), scratch.Data(), MaxListIndexBytes(1)).State, ListIndexState::Used);

    // A well-formed index of forty such entries for a folder of one session
    // is refused by its size, and rebuilt.
    std::vector<SessionListEntry> many(40, largest[0]);
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i].Name = std::to_string(100 + i) + ".dat";
    WriteListIndex(scratch.Index(), scratch.Data(), many);
    ASSERT_GT(fs::file_size(scratch.Index()), MaxListIndexBytes(1));
    EXPECT_EQ(ReadListIndex(scratch.Index(), scratch.Data()).State, ListIndexState::Used);
    EXPECT_EQ(ReadListIndex(scratch.Index(), scratch.Data(), MaxListIndexBytes(1)).State, ListIndexState::Damaged);
    const SessionListLoad load = LoadSessionList(scratch.Data(), scratch.Index());
    EXPECT_EQ(load.Index, ListIndexState::Damaged);
    EXPECT_EQ(load.Entries, fullRead(scratch.Data()));
    EXPECT_LE(fs::file_size(scratch.Index()), MaxListIndexBytes(1));
}

TEST(FolderMount, AnotherDeviceUnderAListedArchiveIsAwayUntilAMountReturns)
{
    using Seen = FolderMount::Seen;
    // Devices seen by successive checks after the list was read from device 1.
    const struct {
        const char *what;
        std::vector<std::uint64_t> devices;
        bool listsStored;
        std::vector<Seen> seen;
    } cases[] = {
        {"unchanged", {1, 1}, true, {Seen::Same, Seen::Same}},
        {"unmounted, then the same share back",
         {2, 2, 1, 1},
         true,
         {Seen::Away, Seen::Away, Seen::Returned, Seen::Same}},
        {"unmounted, then mounted as device 3", {2, 3, 3}, true, {Seen::Away, Seen::Returned, Seen::Same}},
        {"an empty list loses nothing", {2, 2}, false, {Seen::Returned, Seen::Same}},
    };
    for (const auto &c : cases) {
        FolderMount mount;
        mount.Listed(1);
        std::vector<Seen> seen;
        for (const std::uint64_t device : c.devices)
            seen.push_back(mount.Check(device, c.listsStored));
        EXPECT_EQ(seen, c.seen) << c.what;
    }
    Scratch scratch;
    EXPECT_TRUE(DeviceOf(scratch.Data()).has_value());
    EXPECT_FALSE(DeviceOf((scratch.path / "none").string()).has_value());
}

TEST(SessionListIndex, AFewChangesAreAppendedAndAnAppendCutAnywhereLosesNothing)
{
    Scratch scratch;
    std::vector<std::string> names;
    names.reserve(24);
    for (int i = 0; i < 24; ++i)
        names.push_back(saveSession(scratch.Data(), i));
    ASSERT_TRUE(LoadSessionList(scratch.Data(), scratch.Index()).IndexWritten);

    // One session new, one gone: the index keeps its bytes and gains a block.
    const std::string whole = readAll(scratch.Index());
    saveSession(scratch.Data(), 50);
    fs::remove(PathInFolder(scratch.Data(), names[3]));
    const SessionListLoad changed = LoadSessionList(scratch.Data(), scratch.Index());
    EXPECT_TRUE(changed.IndexAppended) << changed.IndexError;
    EXPECT_EQ(changed.FilesRead, 1u);
    EXPECT_EQ(changed.Entries, fullRead(scratch.Data()));
    const std::string before = readAll(scratch.Index());
    ASSERT_GT(before.size(), whole.size());
    EXPECT_EQ(before.substr(0, whole.size()), whole);
    SessionListLoad again = LoadSessionList(scratch.Data(), scratch.Index());
    EXPECT_EQ(again.FilesRead, 0u);
    EXPECT_FALSE(again.IndexWritten);
    EXPECT_EQ(again.Entries, changed.Entries);

    // The next append stopped after every byte it could have written, or
    // before its sync: the next start lists the folder right, opening at
    // most the new file, and leaves a sound index.
    saveSession(scratch.Data(), 51);
    const std::vector<SessionListEntry> expected = fullRead(scratch.Data());
    ASSERT_TRUE(LoadSessionList(scratch.Data(), scratch.Index()).IndexAppended);
    const std::size_t block = readAll(scratch.Index()).size() - before.size();
    // Each cut rewrites the index with a sync: every fifth byte, and each of
    // the last nine (the checksum).
    for (std::size_t cut = 0; cut <= block; cut += cut + 9 >= block ? 1 : 5) {
        writeAll(scratch.Index(), before);
        SessionListOptions killed;
        std::size_t written = 0;
        killed.IndexHooks.BeforeWrite = [&](std::size_t, std::size_t &count) {
            if (written >= cut)
                return EIO;
            count = std::min(count, cut - written);
            written += count;
            return 0;
        };
        killed.IndexHooks.BeforeStep = [](ReplaceStep step) { return step == ReplaceStep::Syncing ? EIO : 0; };
        const SessionListLoad cutShort = LoadSessionList(scratch.Data(), scratch.Index(), killed);
        EXPECT_FALSE(cutShort.IndexError.empty()) << cut;
        EXPECT_EQ(readAll(scratch.Index()).size(), before.size() + cut);

        const SessionListLoad next = LoadSessionList(scratch.Data(), scratch.Index());
        EXPECT_EQ(next.Entries, expected) << "cut at " << cut;
        EXPECT_LE(next.FilesRead, 1u) << "cut at " << cut;
        const ListIndexRead read = ReadListIndex(scratch.Index(), scratch.Data());
        EXPECT_EQ(read.State, ListIndexState::Used) << "cut at " << cut;
        EXPECT_FALSE(read.TornTail) << "cut at " << cut;
        EXPECT_EQ(read.Entries, expected) << "cut at " << cut;
    }

    // An index replaced since it was read takes no block chained to another
    // list; many changes at once rewrite the index whole.
    ListIndexRead read = ReadListIndex(scratch.Index(), scratch.Data());
    WriteListIndex(scratch.Index(), scratch.Data(), {});
    EXPECT_THROW(AppendListIndex(scratch.Index(), read, {}, {names[0]}), StreamError);
    LoadSessionList(scratch.Data(), scratch.Index());
    for (std::size_t i = 4; i < names.size(); i += 2)
        fs::remove(PathInFolder(scratch.Data(), names[i]));
    const SessionListLoad many = LoadSessionList(scratch.Data(), scratch.Index());
    EXPECT_TRUE(many.IndexWritten && !many.IndexAppended);
    EXPECT_EQ(many.Entries, fullRead(scratch.Data()));
    EXPECT_EQ(ReadListIndex(scratch.Index(), scratch.Data()).Blocks, 1u);
}

namespace {

// The entries a table of rows holds, as the index gave them.
std::vector<SessionListEntry> entriesOf(const ListedTable &rows, const std::string &data)
{
    const std::size_t prefix = PathInFolder(data, {}).size();
    std::vector<SessionListEntry> entries;
    for (std::size_t i = 0; i < rows.Count(); ++i) {
        const ListedTable::Row &r = rows[i];
        const auto text = [&](ListedTable::Text which) { return std::string(rows.TextOf(r, which)); };
        entries.push_back({std::string(rows.NameOf(r, prefix)),
                           r.Stamp,
                           {r.StartedAt, r.DurationSeconds, r.TestKind, text(ListedTable::FirstName),
                            text(ListedTable::Surname), text(ListedTable::Patronymic), text(ListedTable::Group), r.Sex,
                            r.BirthDate, r.HasFigures ? std::optional(r.Figures) : std::nullopt}});
    }
    return entries;
}

// Shown from the index first (as entries, or as rows read straight from its
// bytes before the folder is listed): what it holds is handed on untouched,
// then what the folder shows different comes as one set, after every batch;
// taken in, they make the list a full read gives, and the index is brought
// up to date (by an append the next start reads back the same).
void fromTheIndexFirst(bool asRows)
{
    Scratch scratch;
    std::vector<std::string> names;
    names.reserve(24);
    for (int i = 0; i < 24; ++i)
        names.push_back(saveSession(scratch.Data(), i));
    LoadSessionList(scratch.Data(), scratch.Index());
    const std::vector<SessionListEntry> indexed = ReadListIndex(scratch.Index(), scratch.Data()).Entries;

    fs::remove(PathInFolder(scratch.Data(), names[5]));
    const std::string added = saveSession(scratch.Data(), 60);
    // Replaced under its name by another session's bytes.
    writeAll(PathInFolder(scratch.Data(), names[7]), readAll(PathInFolder(scratch.Data(), names[8])));
    writeCutSession(scratch.Data(), "2507040905000999.dat");

    auto load = [&](std::vector<SessionListEntry> &list, std::vector<SessionFolderChanges> &sets) {
        SessionListOptions options;
        options.BatchEntries = 5;
        options.BatchRows = asRows;
        options.OnBatch = [&](SessionListBatch &&batch) {
            EXPECT_TRUE(sets.empty()) << "a batch after the changes";
            EXPECT_TRUE(asRows ? batch.Entries.empty() : batch.Rows.Empty());
            for (SessionListEntry &entry : batch.Entries)
                list.push_back(std::move(entry));
            for (SessionListEntry &entry : entriesOf(batch.Rows, scratch.Data()))
                list.push_back(std::move(entry));
        };
        options.OnChanges = [&](SessionFolderChanges &&changes) { sets.push_back(std::move(changes)); };
        return LoadSessionList(scratch.Data(), scratch.Index(), options);
    };
    std::vector<SessionListEntry> list;
    std::vector<SessionFolderChanges> sets;
    const SessionListLoad first = load(list, sets);
    EXPECT_EQ(list, indexed);
    ASSERT_EQ(sets.size(), 1u);
    const SessionFolderChanges &changes = sets[0];
    ASSERT_EQ(changes.Added.size(), 1u);
    EXPECT_EQ(changes.Added[0].Name, added);
    ASSERT_EQ(changes.Changed.size(), 1u);
    EXPECT_EQ(changes.Changed[0].Name, names[7]);
    EXPECT_EQ(changes.Vanished, std::vector<std::string>{names[5]});
    EXPECT_EQ(changes.Skipped, std::vector<std::string>{PathInFolder(scratch.Data(), "2507040905000999.dat")});
    EXPECT_EQ(first.FilesRead, 3u);
    EXPECT_TRUE(first.IndexWritten) << first.IndexError;

    // Taken in as the window does: the list a full read gives.
    std::erase_if(list, [&](const SessionListEntry &e) { return e.Name == names[5]; });
    for (SessionListEntry &entry : list)
        if (entry.Name == names[7])
            entry = changes.Changed[0];
    list.push_back(changes.Added[0]);
    std::sort(list.begin(), list.end(), [](const auto &a, const auto &b) { return a.Name < b.Name; });
    EXPECT_EQ(list, fullRead(scratch.Data()));

    // The index holds the change: the next start has only the damaged file to tell.
    std::vector<SessionListEntry> again;
    sets.clear();
    const SessionListLoad next = load(again, sets);
    EXPECT_EQ(again, list);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_TRUE(sets[0].Added.empty() && sets[0].Changed.empty() && sets[0].Vanished.empty());
    EXPECT_EQ(sets[0].Skipped.size(), 1u);
    EXPECT_FALSE(next.IndexWritten);
    EXPECT_GT(ReadListIndex(scratch.Index(), scratch.Data()).Blocks, 1u) << "the change was appended";
}

} // namespace

TEST(SessionListIndex, FromTheIndexFirstThenTheFoldersChangesAsOneSet) { fromTheIndexFirst(false); }
TEST(SessionListIndex, RowsStraightFromTheIndexThenTheFoldersChangesAsOneSet) { fromTheIndexFirst(true); }
