// The streamed research table: several readers, rows in order, the file put
// in place whole or not at all.
#include "interpretation/ResearchCsvExport.h"

#include "interpretation/InterpretationFixtures.h"
#include "testing/TestKinds.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> namesIn(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every kind in turn; relations tests with stimulus lists of 0 to 5 items,
// so rows must be padded to a width known only at the end.
TCLTSession sessionOfRow(std::size_t i)
{
    const int kind = 1 + static_cast<int>(i % 4);
    TCLTSession s =
        SessionBuilder(kind).Choice(1, Tags({3, 4, 2, 1, 5, 6, 0, 7})).Choice(2, Tags({4, 3, 2, 5, 1, 0, 6, 7}));
    s.Surname = "Фамилия " + std::to_string(i);
    s.Group = i % 5 == 0 ? "=формула" : "Группа; вторая";
    s.SourceFile = "/data/" + std::to_string(i) + ".dat";
    if (kind == KindRelations)
        for (std::size_t k = 0; k < (i / 4) % 6; ++k)
            s.CtoItems.AddNew().StimulusName = "Стимул \"" + std::to_string(k) + '"';
    return s;
}

// Rows left out: gone or not sessions, damaged, and one that throws.
CsvRowRead outcomeOf(std::size_t i)
{
    if (i % 89 == 7)
        return CsvRowRead::NotSession;
    if (i % 97 == 5)
        return CsvRowRead::Damaged;
    return CsvRowRead::Read;
}

class ResearchCsvExportTest : public testing::Test {
protected:
    fs::path folder = fs::temp_directory_path() / ("palettor-csv-export-" + std::to_string(::getpid()));
    fs::path target = folder / "list.csv";
    const std::string earlier = "Number;File\r\n1;old.dat\r\n";

    void SetUp() override
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::ofstream(target, std::ios::binary) << earlier;
    }
    void TearDown() override { fs::remove_all(folder); }

    static CsvExportResult Export(const fs::path &path, std::size_t count, CsvExportOptions options)
    {
        return ExportResearchCsv(
            path.string(), count,
            [](std::size_t i, TCLTSession &whole, TSimpleFileStream &) {
                if (i == 500)
                    throw std::runtime_error("damaged");
                const CsvRowRead outcome = outcomeOf(i);
                if (outcome == CsvRowRead::Read)
                    whole = sessionOfRow(i);
                return outcome;
            },
            options);
    }
};

TEST_F(ResearchCsvExportTest, TheStreamedTableIsTheOneBuiltInMemory)
{
    constexpr std::size_t count = 1000;
    std::vector<TCLTSession> sessions;
    std::vector<const TCLTSession *> kept;
    std::vector<std::size_t> damaged;
    for (std::size_t i = 0; i < count; ++i)
        sessions.push_back(sessionOfRow(i));
    for (std::size_t i = 0; i < count; ++i) {
        if (outcomeOf(i) == CsvRowRead::Read && i != 500)
            kept.push_back(&sessions[i]);
        if (outcomeOf(i) == CsvRowRead::Damaged || i == 500)
            damaged.push_back(i);
    }
    ResearchCsvOptions csv = ResearchCsvOptionsFor(",");
    csv.PersonCode = [](const TCLTSession &s) { return "P-" + s.Surname; };
    std::string expected;
    ASSERT_TRUE(WriteResearchCsv(kept, csv, expected));

    struct Case {
        unsigned readers;
        std::size_t window;
    };
    for (const Case c : {Case{1, 1}, Case{4, 3}, Case{3, 256}}) {
        SCOPED_TRACE(testing::Message() << c.readers << " readers, window " << c.window);
        CsvExportOptions options;
        options.Csv = csv;
        options.Readers = c.readers;
        options.Window = c.window;
        std::vector<std::size_t> told;
        options.Progress = [&told](std::size_t done, std::size_t total) {
            EXPECT_EQ(total, 1000u);
            told.push_back(done);
            return true;
        };
        const CsvExportResult result = Export(target, count, options);
        ASSERT_TRUE(result.Written) << result.Problem;
        EXPECT_EQ(readFile(target), expected);
        EXPECT_EQ(result.Rows, kept.size());
        EXPECT_EQ(result.Damaged, damaged);
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"list.csv"});
        // Every whole percent once at most, rising, ending with all rows.
        EXPECT_LE(told.size(), 101u);
        EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
        ASSERT_FALSE(told.empty());
        EXPECT_EQ(told.back(), count);
    }

    // No sessions: the header alone.
    std::string header;
    ASSERT_TRUE(WriteResearchCsv({}, csv, header));
    CsvExportOptions options;
    options.Csv = csv;
    ASSERT_TRUE(Export(target, 0, options).Written);
    EXPECT_EQ(readFile(target), header);
}

TEST_F(ResearchCsvExportTest, CancelledOrFailedItLeavesTheFileAsItWasAndNothingElse)
{
    std::atomic<bool> cancel{false};
    struct Case {
        const char *name;
        std::function<void(CsvExportOptions &)> set;
        bool cancelled;
        const char *reason;
    };
    const Case cases[] = {
        {"cancelled in the progress",
         [](CsvExportOptions &o) { o.Progress = [](std::size_t done, std::size_t) { return done < 500; }; }, true, ""},
        {"cancelled by the flag",
         [&cancel](CsvExportOptions &o) {
             o.Cancel = &cancel;
             o.Progress = [&cancel](std::size_t done, std::size_t) {
                 cancel = done >= 300;
                 return true;
             };
         },
         true, ""},
        {"a full disk while the table is put together",
         [](CsvExportOptions &o) {
             o.Replace.Hooks.BeforeWrite = [](std::size_t offset, std::size_t &count) {
                 count = std::min<std::size_t>(count, 4096);
                 return offset > 0 ? ENOSPC : 0;
             };
         },
         false, "нет места на диске"},
        {"the rename refused",
         [](CsvExportOptions &o) {
             o.Replace.Hooks.BeforeStep = [](ReplaceStep s) { return s == ReplaceStep::Renaming ? EACCES : 0; };
         },
         false, "нет прав доступа"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        cancel = false;
        CsvExportOptions options;
        options.Csv = ResearchCsvOptionsFor(".");
        c.set(options);
        const CsvExportResult result = Export(target, 1000, options);
        EXPECT_FALSE(result.Written);
        EXPECT_EQ(result.Cancelled, c.cancelled);
        EXPECT_NE(result.Problem.find(c.reason), std::string::npos) << result.Problem;
        EXPECT_EQ(readFile(target), earlier);
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"list.csv"});
    }

    // A folder that cannot take the file is known before any session is read.
    std::size_t reads = 0;
    const CsvExportResult missing = ExportResearchCsv((folder / "missing" / "list.csv").string(), 10,
                                                      [&reads](std::size_t, TCLTSession &, TSimpleFileStream &) {
                                                          ++reads;
                                                          return CsvRowRead::NotSession;
                                                      },
                                                      {});
    EXPECT_FALSE(missing.Written);
    EXPECT_NE(missing.Problem.find("нет такой папки"), std::string::npos) << missing.Problem;
    EXPECT_EQ(reads, 0u);
}

} // namespace
