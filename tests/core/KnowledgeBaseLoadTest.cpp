#include "core/ByteBuilder.h"
#include "core/KnowledgeBaseFile.h"
#include "core/TSimpleFileStream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A base of three entries as the installation has it, and the ways the file
// under its name can be other than that; each tells its state and keeps
// what was read before the damage.
struct KnowledgeBaseLoadTest : ::testing::Test {
    fs::path folder = fs::temp_directory_path() / ("kb-load-" + std::to_string(::getpid()));
    fs::path file = folder / "ColorTest.dat";
    std::string good;

    void SetUp() override
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        ByteBuilder bytes;
        bytes.scrambled("Color Test Data").int32(1).float64(46000).byte(0).int32(3);
        TSimpleFileStream entries;
        for (int i = 1; i <= 3; ++i) {
            TCLTOutcome entry;
            entry.Kind = 1;
            entry.Key1 = entry.Key2 = i;
            entry.BriefText = "текст " + std::to_string(i);
            entry.PhysiologicalText = std::string(200, 'a');
            entry.SaveToStream(&entries);
        }
        good = bytes.bytes + entries.Bytes() + std::string(1, '\0');
    }
    void TearDown() override { fs::remove_all(folder); }
    void Write(const std::string &bytes) const { std::ofstream(file, std::ios::binary) << bytes; }
};

TEST_F(KnowledgeBaseLoadTest, EachDamageIsToldWithItsReasonAndKeepsTheWholeEntriesBeforeIt)
{
    std::string lengthFlipped = good;
    // The first entry's long text length (after the header, nine Int32, a
    // Double and a short text of 7 bytes) made huge.
    lengthFlipped[32 + 36 + 8 + 8 + 3] = '\x7F';
    std::string signatureFlipped = good;
    signatureFlipped[3] = static_cast<char>(signatureFlipped[3] ^ 0x01);

    const struct {
        const char *name;
        std::string bytes;
        KnowledgeBaseState state;
        std::size_t entries;
        const char *reason; // part of the reason
    } cases[] = {
        {"whole", good, KnowledgeBaseState::Loaded, 3, ""},
        {"without its last byte", good.substr(0, good.size() - 1), KnowledgeBaseState::Damaged, 3, "обрывается"},
        {"cut in the second entry", good.substr(0, good.size() - 300), KnowledgeBaseState::Damaged, 1,
         "за конец файла"},
        {"cut in the header", good.substr(0, 20), KnowledgeBaseState::Damaged, 0, "обрывается"},
        {"a text length flipped", lengthFlipped, KnowledgeBaseState::Damaged, 0, "за конец файла"},
        {"a signature byte flipped", signatureFlipped, KnowledgeBaseState::Foreign, 0, "подписи"},
        {"empty", "", KnowledgeBaseState::Foreign, 0, "подписи"},
    };
    for (const auto &c : cases) {
        Write(c.bytes);
        TCLTKnowledgeBase base;
        const KnowledgeBaseLoad load = LoadKnowledgeBaseFile(file.string(), base);
        EXPECT_EQ(load.State, c.state) << c.name;
        EXPECT_EQ(base.Count(), c.entries) << c.name;
        EXPECT_EQ(load.EntriesRead, c.entries) << c.name;
        EXPECT_NE(load.Reason.find(c.reason), std::string::npos) << c.name << ": " << load.Reason;
        EXPECT_EQ(load.State == KnowledgeBaseState::Loaded, load.Reason.empty()) << c.name;
    }
}

TEST_F(KnowledgeBaseLoadTest, AMissingBaseIsSilentAndOtherThingsUnderItsNameAreNamed)
{
    TCLTKnowledgeBase base;
    KnowledgeBaseLoad load = LoadKnowledgeBaseFile(file.string(), base);
    EXPECT_EQ(load.State, KnowledgeBaseState::Missing);
    EXPECT_TRUE(load.Reason.empty());
    EXPECT_FALSE(LoadKnowledgeBase(file.string(), base));

    fs::create_directory(file);
    load = LoadKnowledgeBaseFile(file.string(), base);
    EXPECT_EQ(load.State, KnowledgeBaseState::NotAFile);
    EXPECT_NE(load.Reason.find("папка"), std::string::npos);
    fs::remove(file);

    // A gigabyte with the right signature (sparse, so the test writes only
    // its first bytes) is refused by its size: the reader would throw on a
    // short read if it were read at all.
    Write(good.substr(0, 32));
    fs::resize_file(file, std::uintmax_t{1} << 30);
    load = LoadKnowledgeBaseFile(file.string(), base);
    EXPECT_EQ(load.State, KnowledgeBaseState::TooLarge);
    EXPECT_EQ(load.FileBytes, std::uint64_t{1} << 30);
    EXPECT_NE(load.Reason.find("1073741824"), std::string::npos) << load.Reason;
    EXPECT_EQ(base.Count(), 0u);
    EXPECT_THROW(LoadKnowledgeBase(file.string(), base), StreamError);
}

} // namespace
