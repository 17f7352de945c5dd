// What palettor-cli does when its output cannot be written and when an input
// is not what the command reads.
#include "cli/CliRun.h"
#include "core/SessionArchive.h"
#include "support/SmallFilesystem.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

std::string readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Sessions enough for a table of well over one page.
void writeSessions(const std::string &folder, int count, int first = 0)
{
    fs::create_directories(folder);
    for (int i = first; i < first + count; ++i) {
        TCLTSession s(45000.5, 45000);
        s.TestKind = 2;
        s.Surname = "Сидоров" + std::to_string(i);
        for (int p = 1; p <= 8; ++p)
            s.Choice[1][p] = s.Choice[2][p] = 9 - p;
        SaveSession(s, folder, LocalDateTime{2025, 7, 4, 9, 5, i % 60, i}, [] { return 4; });
    }
}

class CliOutputTest : public testing::Test {
protected:
    QTemporaryDir dir;
    std::string Path(const char *name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }
    std::string Data() const { return Path("Data"); }
    std::string Session() const { return fs::directory_iterator(Data())->path().string(); }
};

TEST_F(CliOutputTest, ExportOntoAFullDiskFailsAndKeepsTheEarlierTable)
{
    SmallFilesystem disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "cannot mount a small file system here (not root)";
    writeSessions(Data(), 40);
    const std::string list = disk.Path() + "/list.csv";
    ASSERT_EQ(RunCliBytes({"export", Data(), "-o", list}, dir.path().toStdString()).exitCode, 0);
    const std::string good = readBytes(list);
    ASSERT_GT(good.size(), 8192u);
    writeSessions(Data(), 2, 40); // the next table is longer than the earlier
    for (const std::size_t freeBytes : {std::size_t{0}, std::size_t{4096}}) {
        SCOPED_TRACE(freeBytes);
        disk.FillLeaving(freeBytes);
        const CliRun run = RunCliBytes({"export", Data(), "-o", list}, dir.path().toStdString());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("нет места на диске")) << run.err.toStdString();
        EXPECT_EQ(readBytes(list), good);
        EXPECT_EQ(std::distance(fs::directory_iterator(disk.Path()), fs::directory_iterator()), 2); // no temporary
        fs::remove(disk.Path() + "/filler");
    }
}

TEST_F(CliOutputTest, OutputThatCannotBeWrittenFailsEveryCommand)
{
    writeSessions(Data(), 1);
    const std::string json = Path("session.json");
    std::ofstream(json) << R"({"TestKind": 1, "Choice": [[1, 2, 3, 4, 5, 6, 7, 8]]})";
    const std::string kb = PALETTOR_BUILT_KB;
    const std::vector<std::vector<std::string>> commands = {
        {"dump", Session()}, {"archive", Data()},  {"report", Session(), "--text"},
        {"interpret"},       {"kb", "export", kb}, {"kb", "check", kb},
        {"kb", "--help"},    {"--help"},
    };
    for (const auto &args : commands) {
        SCOPED_TRACE(args.front() + " " + (args.size() > 1 ? args[1] : ""));
        const std::string in = args.front() == "interpret" ? json : "/dev/null";
        const CliRun run = RunCliFiles(args, in, "/dev/full", Path("err"));
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.err.contains("cannot write to standard output")) << run.err.toStdString();
        // The same command to a file that takes it succeeds.
        if (args.back() != "--help") {
            EXPECT_EQ(RunCliFiles(args, in, Path("out"), Path("err")).exitCode, 0) << readBytes(Path("err"));
        }
    }
}

TEST_F(CliOutputTest, AnInputThatIsNotAFileSaysWhatItIs)
{
    writeSessions(Data(), 1);
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0644), 0);
    fs::create_symlink(Path("loop"), Path("loop"));
    fs::create_directory(Path("folder"));
    struct Case {
        std::vector<std::string> args;
        const char *says;
    };
    const std::vector<Case> cases = {
        {{"dump", Path("folder")}, "is a folder, not a regular file"},
        {{"dump", Path("fifo")}, "is a FIFO (named pipe), not a regular file"},
        {{"dump", Path("loop")}, "too many levels of symbolic links"},
        {{"report", Path("fifo"), "--text"}, "is a FIFO"},
        {{"report", Path("folder")}, "is a folder"},
        {{"archive", Path("fifo")}, "is a FIFO (named pipe), not a folder"},
        {{"archive", Path("loop")}, "too many levels of symbolic links"},
        {{"export", Path("fifo"), "-o", Path("x.csv")}, "is a FIFO"},
        {{"kb", "check", Path("fifo")}, "именованный канал (FIFO)"},
        {{"kb", "export", Path("loop")}, "ссылки по кругу"},
        {{"kb", "build", Path("folder"), "-o", Path("x.dat")}, "это папка"},
        {{"interpret", "--kb", Path("folder")}, "is a folder"},
        // A session file is no knowledge base and no CSV source.
        {{"kb", "check", Session()}, "это файл результата, а не база знаний"},
        {{"kb", "build", Session(), "-o", Path("x.dat")}, "это файл результата"},
        {{"kb", "export", Session()}, "это файл результата"},
        {{"dump", Path("none")}, "no such file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args[1]);
        const CliRun run = RunCliBytes(c.args, dir.path().toStdString());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
        if (std::string(c.says) != "no such file") {
            EXPECT_FALSE(run.err.contains("no such")) << run.err.toStdString();
        }
    }
    EXPECT_FALSE(fs::exists(Path("x.csv")));
    EXPECT_FALSE(fs::exists(Path("x.dat")));
}

TEST_F(CliOutputTest, KnowledgeBaseCommandsTakeFileNamesAsBytes)
{
    // Windows-1251 "файл", not valid UTF-8.
    const std::string folder = dir.path().toStdString();
    const std::string odd = folder + "/\xF4\xE0\xE9\xEB.csv";
    const std::string built = folder + "/\xF4\xE0\xE9\xEB.dat";
    ASSERT_EQ(RunCliBytes({"kb", "export", PALETTOR_BUILT_KB, "-o", odd}, folder).exitCode, 0);
    ASSERT_TRUE(fs::exists(odd));
    ASSERT_EQ(RunCliBytes({"kb", "build", odd, "-o", built}, folder).exitCode, 0);
    EXPECT_EQ(readBytes(built), readBytes(PALETTOR_BUILT_KB));
    EXPECT_EQ(RunCliBytes({"kb", "check", odd}, folder).exitCode, RunCliBytes({"kb", "check", built}, folder).exitCode);
}

} // namespace
