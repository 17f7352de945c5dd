// The one writer every published file goes through, on faults at each step
// and on a file system that is really full.
#include "core/ReplaceFile.h"
#include "core/ScratchFile.h"
#include "core/TSimpleFileStream.h"
#include "support/SmallFilesystem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path &path, const std::string &bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::vector<std::string> namesIn(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ReplaceFileTest : public testing::Test {
protected:
    fs::path folder = fs::temp_directory_path() / ("palettor-replace-" + std::to_string(::getpid()));
    fs::path target = folder / "list.csv";
    std::string earlier = std::string(12800, 'e') + "\r\n";
    std::string later = std::string(14368, 'l');

    void SetUp() override
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        writeFile(target, earlier);
    }
    void TearDown() override { fs::remove_all(folder); }
};

TEST_F(ReplaceFileTest, AFaultAtAnyStepKeepsTheEarlierFileAndLeavesNoTemporary)
{
    struct Case {
        const char *name;
        ReplaceFileHooks hooks;
        const char *reason;
    };
    const Case cases[] = {
        {"creating", {{}, [](ReplaceStep s) { return s == ReplaceStep::Creating ? EROFS : 0; }}, "только для чтения"},
        {"first write", {[](std::size_t, std::size_t &) { return ENOSPC; }, {}}, "нет места на диске"},
        {"mid-way, after a short write",
         {[](std::size_t offset, std::size_t &count) {
              count = 4096;
              return offset == 0 ? 0 : ENOSPC;
          },
          {}},
         "нет места на диске"},
        {"a write that takes nothing",
         {[](std::size_t offset, std::size_t &count) {
              count = offset == 0 ? 100 : 0;
              return 0;
          },
          {}},
         "нет места на диске"},
        {"fsync", {{}, [](ReplaceStep s) { return s == ReplaceStep::Syncing ? EIO : 0; }}, "ошибка ввода-вывода"},
        {"close", {{}, [](ReplaceStep s) { return s == ReplaceStep::Closing ? EDQUOT : 0; }}, "квота"},
        {"rename", {{}, [](ReplaceStep s) { return s == ReplaceStep::Renaming ? EACCES : 0; }}, "нет прав доступа"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReplaceFileOptions options;
        options.Hooks = c.hooks;
        const std::string reason = ReplaceFile(target.string(), later, options);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        EXPECT_EQ(readFile(target), earlier);
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"list.csv"});
        EXPECT_THROW(ReplaceFileAtomically(target.string(), later, options), StreamError);
        EXPECT_EQ(readFile(target), earlier);
    }
    // Without faults the same bytes land whole.
    EXPECT_EQ(ReplaceFile(target.string(), later), "");
    EXPECT_EQ(readFile(target), later);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"list.csv"});
}

TEST_F(ReplaceFileTest, WhatStandsUnderTheNameDecides)
{
    // A link keeps pointing at the replaced file.
    fs::create_symlink("list.csv", folder / "link.csv");
    EXPECT_EQ(ReplaceFile((folder / "link.csv").string(), "through the link"), "");
    EXPECT_TRUE(fs::is_symlink(folder / "link.csv"));
    EXPECT_EQ(readFile(target), "through the link");

    // A folder, a pipe or a device is never swapped for a plain file.
    fs::create_directory(folder / "taken");
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0644), 0);
    for (const fs::path &path : {folder / "taken", folder / "pipe", fs::path("/dev/null")}) {
        SCOPED_TRACE(path.string());
        EXPECT_NE(ReplaceFile(path.string(), "x"), "");
        EXPECT_FALSE(fs::is_regular_file(path));
    }
    EXPECT_NE(ReplaceFile((folder / "missing" / "x.csv").string(), "x").find("нет такой папки"), std::string::npos);

    // The list index names people: its owner's alone.
    ReplaceFileOptions owner;
    owner.Mode = 0600;
    ASSERT_EQ(ReplaceFile((folder / "index").string(), "x", owner), "");
    EXPECT_EQ(fs::status(folder / "index").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST(ReplaceFileOnAFullDisk, RefusesWithTheReasonAndKeepsTheEarlierFileByteForByte)
{
    SmallFilesystem disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "cannot mount a small file system here (not root); the fault table covers the steps";
    const std::string path = disk.Path() + "/list.csv";
    const std::string earlier = std::string(12500, 'e');
    writeFile(path, earlier);
    // Nothing free: the first write fails. One page free: a short write, then ENOSPC.
    for (const std::size_t freeBytes : {std::size_t{0}, std::size_t{4096}}) {
        SCOPED_TRACE(freeBytes);
        disk.FillLeaving(freeBytes);
        const std::string reason = ReplaceFile(path, std::string(14368, 'l'));
        EXPECT_NE(reason.find("нет места на диске"), std::string::npos) << reason;
        EXPECT_EQ(readFile(path), earlier);
        EXPECT_EQ(namesIn(disk.Path()), (std::vector<std::string>{"filler", "list.csv"}));
        fs::remove(disk.Path() + "/filler");
    }
}

// A file made a piece at a time is seen by nobody until it is committed;
// given up or failed, it leaves the earlier file and no temporary.
TEST_F(ReplaceFileTest, AFileWrittenInPiecesTakesTheNameOnlyWhenCommitted)
{
    {
        FileReplacement file;
        ASSERT_EQ(file.Begin(target.string()), "");
        ASSERT_EQ(file.Append("first "), "");
        ASSERT_EQ(file.Append("second"), "");
        EXPECT_EQ(readFile(target), earlier);
        EXPECT_EQ(namesIn(folder).size(), 2u); // the temporary beside it
    }                                          // given up
    EXPECT_EQ(readFile(target), earlier);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"list.csv"});

    FileReplacement failing;
    ReplaceFileOptions options;
    options.Hooks.BeforeWrite = [](std::size_t offset, std::size_t &) { return offset >= 6 ? ENOSPC : 0; };
    ASSERT_EQ(failing.Begin(target.string(), options), "");
    ASSERT_EQ(failing.Append("first "), "");
    const std::string reason = failing.Append("second");
    EXPECT_NE(reason.find("нет места на диске"), std::string::npos) << reason;
    EXPECT_EQ(failing.Append("third"), reason);
    EXPECT_EQ(failing.Commit(), reason);
    EXPECT_EQ(readFile(target), earlier);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"list.csv"});

    FileReplacement file;
    ASSERT_EQ(file.Begin(target.string()), "");
    ASSERT_EQ(file.Append("first "), "");
    ASSERT_EQ(file.Append("second"), "");
    ASSERT_EQ(file.Commit(), "");
    EXPECT_EQ(readFile(target), "first second");
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"list.csv"});
}

TEST_F(ReplaceFileTest, AScratchFileGivesBackWhatWasWrittenAndLeavesNoName)
{
    std::string written;
    {
        ScratchFile scratch;
        ASSERT_EQ(scratch.Open(folder.string()), "");
        // Pieces across the buffer's edges.
        for (int i = 0; i < 3000; ++i) {
            const std::string piece(static_cast<std::size_t>(1 + i % 700), static_cast<char>('a' + i % 26));
            written += piece;
            ASSERT_EQ(scratch.Append(piece), "");
        }
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"list.csv"});
        EXPECT_EQ(scratch.Size(), written.size());
        ASSERT_EQ(scratch.Rewind(), "");
        std::string back(written.size(), '\0');
        ASSERT_EQ(scratch.Read(back.data(), 1), "");
        ASSERT_EQ(scratch.Read(back.data() + 1, back.size() - 1), "");
        EXPECT_EQ(back, written);
        char past = 0;
        EXPECT_NE(scratch.Read(&past, 1), "");
    }
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"list.csv"});
    ScratchFile nowhere;
    EXPECT_NE(nowhere.Open((folder / "missing").string()).find("нет такой папки"), std::string::npos);
}

} // namespace
