#include "interpretation/StimulusSets.h"
#include "interpretation/StimulusProfileFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

// Windows-1251 bytes of a few words used below.
const std::string Mother1251 = "\xCC\xE0\xF2\xFC";          // Мать
const std::string Father1251 = "\xCE\xF2\xE5\xF6";          // Отец
const std::string Family1251 = "\xD1\xE5\xEC\xFC\xFF";      // Семья
const std::string FamilyUpper1251 = "\xD1\xC5\xCC\xDC\xDF"; // СЕМЬЯ

struct ValueCase {
    const char *What;
    std::string File;
    std::string Section;
    std::string Key;
    std::string Expected;
};

void PrintTo(const ValueCase &c, std::ostream *os) { *os << c.What; }

class ProfileValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ProfileValues, ReadAsWindowsDoes)
{
    const auto &c = GetParam();
    EXPECT_EQ(StimulusProfileFile(c.File).Value(c.Section, c.Key, "<none>"), c.Expected) << c.What;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileValues,
    ::testing::Values(
        ValueCase{"plain", "[s]\r\nName=abc\r\n", "s", "Name", "abc"},
        ValueCase{"blanks around key and value", "[s]\r\n \tName \t=  a b \t\r\n", "s", "Name", "a b"},
        ValueCase{"double quotes removed", "[s]\nName=\"abc\"\n", "s", "Name", "abc"},
        ValueCase{"single quotes removed", "[s]\nName='abc'\n", "s", "Name", "abc"},
        ValueCase{"blanks inside quotes kept", "[s]\nName=  \"  a b  \"  \n", "s", "Name", "  a b  "},
        ValueCase{"only one pair removed", "[s]\nName=\"\"abc\"\"\n", "s", "Name", "\"abc\""},
        ValueCase{"unmatched quotes kept", "[s]\nName=\"abc'\n", "s", "Name", "\"abc'"},
        ValueCase{"lone quote kept", "[s]\nName=\"\n", "s", "Name", "\""},
        ValueCase{"empty quotes give empty", "[s]\nName=\"\"\n", "s", "Name", ""},
        ValueCase{"inner quote kept", "[s]\nName=a\"b\n", "s", "Name", "a\"b"},
        ValueCase{"empty value", "[s]\nName=\n", "s", "Name", ""},
        ValueCase{"key without = takes the fallback", "[s]\nName\n", "s", "Name", "<none>"},
        ValueCase{"missing key", "[s]\nOther=1\n", "s", "Name", "<none>"},
        ValueCase{"missing section", "[s]\nName=1\n", "t", "Name", "<none>"},
        ValueCase{"first = splits", "[s]\nName=a=b\n", "s", "Name", "a=b"},
        ValueCase{"key case ignored", "[s]\nNAME=x\n", "s", "name", "x"},
        ValueCase{"section case ignored", "[Set]\nName=x\n", "sET", "Name", "x"},
        ValueCase{"Cyrillic section case ignored", "[" + FamilyUpper1251 + "]\nName=x\n", Family1251, "Name", "x"},
        ValueCase{"first key wins", "[s]\nName=1\nName=2\n", "s", "Name", "1"},
        ValueCase{"first section of a name wins", "[s]\nName=1\n[S]\nName=2\nValues=v\n", "s", "Values", "<none>"},
        ValueCase{"keys stay in their section", "[a]\nName=1\n[b]\nValues=2\n", "a", "Values", "<none>"},
        ValueCase{"keys ahead of any section are unreachable", "Name=1\n[s]\n", "", "Name", "<none>"},
        ValueCase{"header without ] is a key line", "[a]\nName=1\n[b\nValues=2\n", "a", "Values", "2"},
        ValueCase{"last ] closes the name", "[a]b]\nName=1\n", "a]b", "Name", "1"},
        ValueCase{"text after ] ignored", "[a] junk\nName=1\n", "a", "Name", "1"},
        ValueCase{"NUL ends a value", std::string("[s]\nName=ab\0cd\n", 15), "s", "Name", "ab"},
        ValueCase{"CR inside a value kept", "[s]\nName=a\rb\n", "s", "Name", "a\rb"},
        ValueCase{"no final line break", "[s]\nName=end", "s", "Name", "end"},
        ValueCase{"2047 characters kept", "[s]\nName=" + std::string(2047, 'x') + "\n", "s", "Name",
                  std::string(2047, 'x')},
        ValueCase{"2048 characters cut to 2047", "[s]\nName=" + std::string(2047, 'x') + "y\n", "s", "Name",
                  std::string(2047, 'x')},
        ValueCase{"far longer values cut to 2047", "[s]\nName=" + std::string(5000, 'x') + "y\n", "s", "Name",
                  std::string(2047, 'x')},
        ValueCase{"quoted long value cut after the quote", "[s]\nName=\"" + std::string(3000, 'q') + "\"\n", "s",
                  "Name", std::string(2047, 'q')}));

TEST(ProfileSections, NamesInFileOrder)
{
    const StimulusProfileFile profile(
        "Name=ahead\r\n[zeta]\r\n[alpha]\r\nx=1\r\n[]\r\n[ mid ]\r\n[broken\r\n[zeta]\r\n");
    const std::vector<std::string> expected = {"zeta", "alpha", " mid ", "zeta"};
    EXPECT_EQ(profile.SectionNames(), expected);
    EXPECT_EQ(profile.Value(" mid ", "x", "-"), "-");
    EXPECT_EQ(profile.Value("alpha", "x", "-"), "1");
}

TEST(ProfileSections, OversizedInputIsEmpty)
{
    std::string big = "[s]\nName=x\n";
    big.resize(StimulusProfileFile::MaxFileBytes + 1, ' ');
    EXPECT_TRUE(StimulusProfileFile(big).SectionNames().empty());
    big.resize(StimulusProfileFile::MaxFileBytes);
    EXPECT_EQ(StimulusProfileFile(big).Value("s", "Name"), "x");
}

TEST(ProfileSections, BinaryGarbageGivesBoundedResults)
{
    std::mt19937 random(20240611);
    std::string bytes(256 * 1024, '\0');
    for (auto &b : bytes) {
        // Plenty of brackets, separators and line breaks so all paths run.
        const unsigned v = random() % 300;
        b = v < 256 ? static_cast<char>(v) : "[]=;\n\"'\r"[v % 8];
    }
    const StimulusProfileFile profile(bytes);
    for (const auto &name : profile.SectionNames()) {
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(name.find('\n'), std::string::npos);
        EXPECT_EQ(name.find('\0'), std::string::npos);
        EXPECT_LE(profile.Value(name, "Name").size(), StimulusProfileFile::MaxValueLength);
    }
    const StimulusSets sets = ReadStimulusSets(bytes);
    ASSERT_EQ(sets.Names.size(), sets.Values.size());
    for (size_t i = 0; i < sets.Count(); ++i) {
        EXPECT_FALSE(sets.Names[i].empty());
        EXPECT_FALSE(sets.Values[i].empty());
        EXPECT_LE(sets.Values[i].size(), 3 * StimulusProfileFile::MaxValueLength);
    }
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path()
            / ("stimulsets_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Write(const std::string &name, const std::string &bytes)
    {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    std::filesystem::path folder;
};

TEST_F(TempFolder, FileReading)
{
    EXPECT_TRUE(LoadStimulusSets((folder / "missing.ini").string()).Empty());
    EXPECT_TRUE(LoadStimulusSets(folder.string()).Empty()) << "a folder is no file";
    EXPECT_TRUE(LoadStimulusSets(Write("empty.ini", "")).Empty());

    const StimulusSets sets = LoadStimulusSets(
        Write("one.ini", "[a]\r\nName=" + Family1251 + "\r\nValues=" + Mother1251 + ";" + Father1251 + "\r\n"));
    ASSERT_EQ(sets.Count(), 1u);
    EXPECT_EQ(sets.Names[0], "Семья");
    EXPECT_EQ(sets.Values[0], "Мать;Отец");

    std::string big(StimulusProfileFile::MaxFileBytes + 10, '\n');
    big.insert(0, "[a]\nName=n\nValues=v\n");
    EXPECT_TRUE(LoadStimulusSets(Write("big.ini", big)).Empty());
}

TEST(StimulusSetReading, SetsNeedNameAndValues)
{
    const std::string file = "; comment line\r\n"
                             "[first]\r\nName="
        + Family1251 + "\r\nValues=;" + Mother1251 + ";;" + Father1251
        + ";\r\n"
          "[no values]\r\nName=n\r\n"
          "[no name]\r\nValues=v\r\n"
          "[empty values]\r\nName=n\r\nValues=\r\n"
          "[quoted empty]\r\nName=\"\"\r\nValues=v\r\n"
          "[FIRST]\r\nName=again\r\nValues=again\r\n"
          "[second]\r\nValues = \"a; b\" \r\nName= 'B' \r\n";
    const StimulusSets sets = ReadStimulusSets(file);
    ASSERT_EQ(sets.Count(), 2u);
    EXPECT_EQ(sets.Names[0], "Семья");
    EXPECT_EQ(sets.Values[0], ";Мать;;Отец;");
    EXPECT_EQ(sets.Names[1], "B");
    EXPECT_EQ(sets.Values[1], "a; b");
}

TEST(StimulusSetReading, ShippedFileHoldsUsableSets)
{
    const StimulusSets sets = LoadStimulusSets(
        (std::filesystem::path(PALETTOR_TEST_DATA).parent_path().parent_path() / "install" / "StimulSet.ini").string());
    ASSERT_GE(sets.Count(), 3u);
    EXPECT_EQ(sets.Names[0], "Семья");
    EXPECT_EQ(SplitStimulusSet(sets.Values[0]).front(), "Мать");
    for (size_t i = 0; i < sets.Count(); ++i)
        EXPECT_GE(SplitStimulusSet(sets.Values[i]).size(), 5u) << sets.Names[i];
}

struct SplitCase {
    std::string Values;
    std::vector<std::string> Words;
};

TEST(StimulusSetSplitting, WordsBetweenSemicolons)
{
    const SplitCase cases[] = {
        {";Мать;;Отец;", {"Мать", "Отец"}},
        {"Мать;Отец", {"Мать", "Отец"}},
        {" Мать ; Отец ", {" Мать ", " Отец "}},
        {";;;", {}},
        {"", {}},
        {"один", {"один"}},
        {"%s;%d", {"%s", "%d"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SplitStimulusSet(c.Values), c.Words) << c.Values;
    EXPECT_EQ(StimulusSetText(";Мать;;Отец;"), "Мать\r\nОтец");
    EXPECT_EQ(StimulusSetText(";"), "");
}

TEST(StimulusListLines, SplitAtLineBreaksOnly)
{
    const SplitCase cases[] = {
        {"", {}},
        {"Мать", {"Мать"}},
        {"Мать\r\nОтец", {"Мать", "Отец"}},
        {"Мать\r\nОтец\r\n", {"Мать", "Отец"}},
        {"Мать\nОтец\n", {"Мать", "Отец"}},
        {"Мать\rОтец", {"Мать", "Отец"}},
        {"Мать\r\n\r\nОтец", {"Мать", "", "Отец"}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {" Мать \r\n\tОтец", {" Мать ", "\tОтец"}},
        {"а\u2028б\fв\vг\u0085д", {"а\u2028б\fв\vг\u0085д"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SplitStimulusLines(c.Values), c.Words) << c.Values;
}

TEST(StimulusListLines, AtLeastTwoLinesBlankOnesCounting)
{
    EXPECT_FALSE(StimulusListAccepted(SplitStimulusLines("")));
    EXPECT_FALSE(StimulusListAccepted(SplitStimulusLines("Мать")));
    EXPECT_FALSE(StimulusListAccepted(SplitStimulusLines("Мать\r\n")));
    EXPECT_TRUE(StimulusListAccepted(SplitStimulusLines("Мать\r\n\r\n")));
    EXPECT_TRUE(StimulusListAccepted(SplitStimulusLines("Мать\r\nОтец")));
}

} // namespace
