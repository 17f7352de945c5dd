#include "core/ArchiveLoader.h"
#include "core/ByteBuilder.h"
#include "core/DurationText.h"
#include "core/KnowledgeBaseFile.h"
#include "core/ProgramRootFolder.h"
#include "core/SessionArchive.h"
#include "core/TCLTOutcome.h"
#include "core/TSimpleFileStream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class TempFolder {
public:
    TempFolder()
    {
        path = fs::temp_directory_path()
            / ("palettor-core-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() { fs::remove_all(path); }
    std::string str() const { return path.string(); }
    fs::path path;
};

const LocalDateTime julyMorning{2025, 7, 4, 9, 5, 3, 7};

DigitSource fixedDigits(std::vector<int> digits)
{
    auto state = std::make_shared<std::pair<std::vector<int>, size_t>>(std::move(digits), 0);
    return [state] {
        const int d = state->first[state->second % state->first.size()];
        ++state->second;
        return d;
    };
}

TCLTSession namedSession(const std::string &surname, int kind = 2)
{
    TCLTSession s(45000, 45000);
    s.Surname = surname;
    s.TestKind = kind;
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p)
            s.Choice[c][p] = p;
    return s;
}

void writeFile(const fs::path &path, const std::string &bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::vector<std::string> filesIn(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SessionFileName, DigitsOfTheSavingTime)
{
    EXPECT_EQ(SessionFileName(julyMorning, fixedDigits({4, 2})), "2507040905030742");
    LocalDateTime later = julyMorning;
    later.Millisecond = 123;
    EXPECT_EQ(SessionFileName(later, fixedDigits({0, 9})), "25070409050312309");
    LocalDateTime newYear{2000, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(SessionFileName(newYear, fixedDigits({1, 1})), "0001010000000011");
}

TEST(ProgramRootFolder, ExecutableFolderOrTheParentOfBinAndNeverAnotherFolder)
{
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        {"/opt/palettor/bin/palettor", "/opt/palettor/"},
        {"/opt/palettor/BIN/palettor", "/opt/palettor/"},
        {"/opt/palettor/Bin/palettor", "/opt/palettor/"},
        {"/opt/palettor/palettor", "/opt/palettor/"},
        {"/opt/binary/palettor", "/opt/binary/"},
        {"/palettor", "/"},
        {"C:\\Palettor\\Bin\\Palettor.exe", "C:\\Palettor/"},
        {"/opt/Палеттор/bin/palettor", "/opt/Палеттор/"},
        // No folder, or one the program could not hold as text: no root
        // rather than "/" or the current folder.
        {"", std::nullopt},
        {"palettor", std::nullopt},
        {"/opt/\xFF\xFE/bin/palettor", std::nullopt},
        {"/opt/\xD0/palettor", std::nullopt},             // cut short
        {"/opt/\xC0\xAF/palettor", std::nullopt},         // overlong '/'
        {"/opt/\xED\xA0\x80/palettor", std::nullopt},     // a surrogate
        {"/opt/\xF4\x90\x80\x80/palettor", std::nullopt}, // above U+10FFFF
        {"/opt/\xF0\x9F\x98\x80/palettor", "/opt/\xF0\x9F\x98\x80/"},
    };
    for (const auto &[path, root] : cases)
        EXPECT_EQ(ProgramRootFolder(path), root) << path;
}

TEST(DurationText, HoursAndMinutesOnlyWhenPresent)
{
    EXPECT_EQ(DurationText(5), "5 сек");
    EXPECT_EQ(DurationText(0), "0 сек");
    EXPECT_EQ(DurationText(65), "1 мин 5 сек");
    EXPECT_EQ(DurationText(3605), "1 ч 5 сек");
    EXPECT_EQ(DurationText(3725), "1 ч 2 мин 5 сек");
}

TEST(Archive, SavedSessionsLoadBackInNameOrder)
{
    TempFolder data;
    TCLTSession first = namedSession("Первый", 3);
    TCLTSession second = namedSession("Второй", 4);
    second.CtoItems.AddNew().StimulusName = "Мать";
    const std::string firstPath = SaveSession(first, data.str(), julyMorning, fixedDigits({1, 1}));
    LocalDateTime later = julyMorning;
    later.Second = 4;
    const std::string secondPath = SaveSession(second, data.str(), later, fixedDigits({0, 0}));
    EXPECT_EQ(first.SourceFile, firstPath);
    EXPECT_EQ(filesIn(data.path), (std::vector<std::string>{"2507040905030711.dat", "2507040905040700.dat"}));

    // The header around the record, byte for byte.
    std::ifstream file(firstPath, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), {});
    const std::string header =
        ByteBuilder().scrambled("Color Session Data").int32(1).float64(ToOleDate(julyMorning)).byte(0).bytes;
    EXPECT_EQ(bytes.substr(0, header.size()), header);
    EXPECT_EQ(bytes.back(), '\0');

    TCLTArchive archive;
    const ArchiveLoadResult result = LoadArchive(data.str(), archive, SessionContext{});
    EXPECT_EQ(result.Loaded, 2);
    EXPECT_TRUE(result.Skipped.empty());
    ASSERT_EQ(archive.Count(), 2u);
    EXPECT_EQ(archive[0].Surname, "Первый");
    EXPECT_EQ(archive[0].TestKind, 3);
    EXPECT_EQ(archive[1].CtoItems[0].StimulusName, "Мать");
    EXPECT_EQ(archive[1].SourceFile, secondPath);
}

TEST(Archive, TwoSavesInOneMillisecondKeepBothSessions)
{
    TempFolder data;
    TCLTSession a = namedSession("А");
    TCLTSession b = namedSession("Б");
    // Both saves draw the same digits first; the second must find another name.
    SaveSession(a, data.str(), julyMorning, fixedDigits({3, 3, 3, 3, 5, 6}));
    SaveSession(b, data.str(), julyMorning, fixedDigits({3, 3, 5, 6}));
    EXPECT_NE(a.SourceFile, b.SourceFile);
    TCLTArchive archive;
    EXPECT_EQ(LoadArchive(data.str(), archive, {}).Loaded, 2);
    EXPECT_EQ(filesIn(data.path).size(), 2u); // no backup, nothing displaced
}

TEST(Archive, FailedSaveIsReportedAndLeavesNoFile)
{
    TempFolder data;
    TCLTSession s = namedSession("Х");
    EXPECT_THROW(SaveSession(s, (data.path / "missing").string(), julyMorning, fixedDigits({1})), StreamError);
    EXPECT_TRUE(s.SourceFile.empty());

    // A folder that is really a file cannot take a session even for root.
    writeFile(data.path / "plain", "x");
    EXPECT_THROW(SaveSession(s, (data.path / "plain").string(), julyMorning, fixedDigits({1})), StreamError);
    EXPECT_TRUE(s.SourceFile.empty());
    EXPECT_EQ(filesIn(data.path), std::vector<std::string>{"plain"});
}

TEST(Archive, AFileAtTheTemporaryNameIsNeitherWrittenNorRemoved)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    TempFolder data;
    // The temporary file of a save is the name plus ".tmp". Something else
    // holding it (here the full device) makes the save draw other digits.
    TCLTSession s = namedSession("Х");
    const std::string name = SessionFileName(julyMorning, fixedDigits({1})) + ".dat.tmp";
    fs::create_symlink("/dev/full", data.path / name);
    const std::string path = SaveSession(s, data.str(), julyMorning, fixedDigits({1, 1, 2, 2}));
    EXPECT_EQ(fs::path(path).filename(), "2507040905030722.dat");
    EXPECT_EQ(filesIn(data.path), (std::vector<std::string>{"2507040905030711.dat.tmp", "2507040905030722.dat"}));
    EXPECT_TRUE(fs::is_symlink(data.path / name));
}

TEST(Archive, DamagedAndForeignFilesAreSkippedOthersLoaded)
{
    TempFolder data;
    TCLTSession good = namedSession("Хороший");
    const std::string goodPath = SaveSession(good, data.str(), julyMorning, fixedDigits({5}));
    std::ifstream file(goodPath, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});

    writeFile(data.path / "0000000000000000.dat", bytes.substr(0, bytes.size() / 2)); // damaged, sorts first
    writeFile(data.path / "0000000000000001.dat", "not a session at all");            // foreign
    writeFile(data.path / "0000000000000002.~da", bytes);                             // backup
    writeFile(data.path / "0000000000000003.txt", bytes);
    fs::create_directory(data.path / "folder.dat");

    TCLTArchive archive;
    std::vector<std::pair<int, int>> progress;
    const ArchiveLoadResult result =
        LoadArchive(data.str(), archive, {}, [&](int done, int total) { progress.emplace_back(done, total); });
    ASSERT_EQ(archive.Count(), 1u);
    EXPECT_EQ(archive[0].Surname, "Хороший");
    ASSERT_EQ(result.Skipped.size(), 1u);
    EXPECT_EQ(fs::path(result.Skipped[0]).filename(), "0000000000000000.dat");
    EXPECT_EQ(progress.back(), std::make_pair(3, 3));
}

TEST(Archive, EveryTruncationOfASessionFileIsSkippedWithoutAHalfSession)
{
    TempFolder data;
    TCLTSession s = namedSession("Полный", 3);
    s.CtoItems.AddNew().StimulusName = "x";
    const std::string path = SaveSession(s, data.str(), julyMorning, fixedDigits({5}));
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    for (size_t cut = 18; cut < bytes.size(); ++cut) {
        writeFile(path, bytes.substr(0, cut));
        TCLTArchive archive;
        EXPECT_THROW(LoadSessionFile(path, archive, {}), StreamError) << cut;
        EXPECT_EQ(archive.Count(), 0u);
    }
}

TEST(Archive, PathsLeadingToNoRegularFileAreRefusedWithoutReading)
{
    TempFolder data;
    TCLTArchive archive;
    fs::create_directory(data.path / "folder.dat");
    // A pipe must not stall the reader waiting for a writer.
    ASSERT_EQ(::mkfifo((data.path / "pipe.dat").c_str(), 0644), 0);
    for (const char *name : {"missing.dat", "folder.dat", "pipe.dat", "missing/inner.dat"})
        EXPECT_FALSE(LoadSessionFile((data.path / name).string(), archive, {})) << name;
    EXPECT_EQ(archive.Count(), 0u);
    EXPECT_THROW(TSimpleFileStream::OpenRead((data.path / "folder.dat").string()), StreamError);
}

TEST(Archive, MissingFolderLoadsNothingAndDeleteReportsWhatHappened)
{
    TempFolder data;
    TCLTArchive archive;
    EXPECT_EQ(LoadArchive((data.path / "none").string(), archive, {}).Loaded, 0);
    TCLTSession s = namedSession("Д");
    const std::string path = SaveSession(s, data.str(), julyMorning, fixedDigits({5}));
    EXPECT_TRUE(DeleteSessionFile(path));
    EXPECT_FALSE(DeleteSessionFile(path));
    EXPECT_FALSE(DeleteSessionFile(""));
}

TEST(KnowledgeBase, SignatureCountAndDamage)
{
    TempFolder data;
    const fs::path file = data.path / "ColorTest.dat";
    TCLTKnowledgeBase base;
    EXPECT_FALSE(LoadKnowledgeBase(file.string(), base));

    ByteBuilder header;
    header.scrambled("Color Test Data").int32(1).float64(0).byte(0);
    writeFile(file, ByteBuilder(header).int32(0).byte(0).bytes);
    EXPECT_TRUE(LoadKnowledgeBase(file.string(), base));
    EXPECT_EQ(base.Count(), 0u);

    TCLTOutcome first, second;
    first.Kind = second.Kind = 1;
    first.Key1 = first.Key2 = second.Key1 = second.Key2 = 3;
    first.BriefText = "first";
    second.BriefText = "second";
    TSimpleFileStream entries;
    first.SaveToStream(&entries);
    second.SaveToStream(&entries);
    writeFile(file, ByteBuilder(header).int32(2).bytes + entries.Bytes() + std::string(1, '\0'));
    EXPECT_TRUE(LoadKnowledgeBase(file.string(), base));
    ASSERT_EQ(base.Count(), 2u);
    EXPECT_EQ(base[1].BriefText, "second");

    writeFile(file, ByteBuilder(header).int32(2000000000).bytes);
    TCLTKnowledgeBase damaged;
    EXPECT_THROW(LoadKnowledgeBase(file.string(), damaged), StreamError);

    writeFile(file, ByteBuilder().scrambled("Color Test Dat!").int32(0).bytes);
    EXPECT_FALSE(LoadKnowledgeBase(file.string(), damaged));
}

TEST(ArchiveLoader, ReadsInSlicesAndCountsWhatItRead)
{
    TempFolder data;
    for (int i = 0; i < 3; ++i) {
        TCLTSession s = namedSession("Сессия " + std::to_string(i));
        LocalDateTime when = julyMorning;
        when.Second = i + 1;
        SaveSession(s, data.str(), when, fixedDigits({i}));
    }
    writeFile(data.path / "0000000000000000.dat", ByteBuilder().scrambled("Color Session Data").int32(1).bytes);
    const fs::path stale = data.path / "2507040905030799.dat.tmp";
    writeFile(stale, "half");
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(2));

    TCLTArchive archive;
    ArchiveLoader loader(data.str(), archive, SessionContext{0, "."}, false);
    EXPECT_FALSE(loader.Done());
    loader.Start();
    EXPECT_EQ(loader.Total(), 4u);
    EXPECT_EQ(loader.Read(), 0u);
    // A spent budget still reads one file, so every call makes progress.
    for (std::size_t read = 1; read <= 4; ++read) {
        EXPECT_EQ(loader.LoadFor(std::chrono::milliseconds(0)), read == 4) << read;
        EXPECT_EQ(loader.Read(), read);
    }
    EXPECT_TRUE(loader.Done());
    EXPECT_TRUE(loader.LoadFor(std::chrono::milliseconds(0))); // nothing left: done at once
    EXPECT_EQ(loader.Loaded(), 3);
    ASSERT_EQ(archive.Count(), 3u);
    EXPECT_EQ(archive[2].Surname, "Сессия 2");
    EXPECT_EQ(archive[0].Context.DecimalSeparator, ".");
    EXPECT_EQ(loader.Skipped(), std::vector<std::string>{(data.path / "0000000000000000.dat").string()});
    EXPECT_TRUE(fs::exists(stale)); // not asked to clean up

    TCLTArchive again;
    ArchiveLoader cleaning(data.str(), again, {}, true);
    EXPECT_TRUE(cleaning.LoadFor(std::chrono::hours(1))); // starts by itself, reads all in one slice
    EXPECT_EQ(cleaning.Loaded(), 3);
    EXPECT_FALSE(fs::exists(stale));

    TCLTArchive none;
    ArchiveLoader missing((data.path / "none").string(), none, {}, false);
    missing.Start();
    EXPECT_TRUE(missing.Done());
    EXPECT_EQ(missing.Total(), 0u);
}

TEST(Archive, ANameTakenJustBeforePublishingIsNeverReplaced)
{
    // Another station stores a session under the very name this save checked
    // and found free: that session stays, this one draws new digits.
    TempFolder data;
    TCLTSession s = namedSession("Наш");
    const fs::path rival = data.path / (SessionFileName(julyMorning, fixedDigits({3})) + ".dat");
    int raced = 0;
    SaveHooks hooks;
    hooks.AtStage = [&](SaveStage stage) {
        if (stage == SaveStage::Renaming && raced++ == 0)
            writeFile(rival, "another station's session");
        return 0;
    };
    const std::string path = SaveSession(s, data.str(), julyMorning, fixedDigits({3, 3, 8, 8}), hooks);
    EXPECT_EQ(fs::path(path).filename(), "2507040905030788.dat");
    std::ifstream kept(rival, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), {}), "another station's session");
    EXPECT_EQ(filesIn(data.path), (std::vector<std::string>{"2507040905030733.dat", "2507040905030788.dat"}));
    TCLTArchive archive;
    EXPECT_EQ(LoadSessionFile(path, archive, {}), true);
}

TEST(Readers, AFileIsKnownByItsFirstBytesAndSizeBeforeItIsReadWhole)
{
    // Sparse files one byte over the bound: reading one whole would take
    // 64 MiB, so the memory high-water mark shows whether it was read.
    TempFolder data;
    struct ReaderCase {
        const char *Name;
        std::string Signature;
        std::function<bool(const std::string &)> Read;
    };
    const std::vector<ReaderCase> readers{
        {"session", Scramble("Color Session Data"),
         [](const std::string &path) {
             TCLTArchive archive;
             return LoadSessionFile(path, archive, {});
         }},
        {"knowledge base", Scramble("Color Test Data"),
         [](const std::string &path) {
             TCLTKnowledgeBase base;
             return LoadKnowledgeBase(path, base);
         }},
    };
    auto peakKiB = [] {
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    };
    const long before = peakKiB();
    for (const ReaderCase &reader : readers) {
        const fs::path foreign = data.path / "foreign.dat";
        writeFile(foreign, "MZ not ours");
        fs::resize_file(foreign, MaxDataFileBytes + 1);
        EXPECT_FALSE(reader.Read(foreign.string())) << reader.Name;

        const fs::path outsized = data.path / "outsized.dat";
        writeFile(outsized, reader.Signature);
        fs::resize_file(outsized, MaxDataFileBytes + 1);
        try {
            reader.Read(outsized.string());
            ADD_FAILURE() << reader.Name << ": an outsized file was read";
        } catch (const StreamError &error) {
            EXPECT_NE(std::string(error.what()).find("файл слишком велик"), std::string::npos) << error.what();
        }
    }
    EXPECT_LT(peakKiB() - before, 16 * 1024) << "KiB taken while refusing the files";
}
