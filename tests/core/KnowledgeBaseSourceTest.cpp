#include "core/KnowledgeBaseSource.h"
#include "core/ByteBuilder.h"
#include "core/KnowledgeBaseFile.h"
#include "core/ReplaceFile.h"
#include "core/TSimpleFileStream.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

namespace fs = std::filesystem;

namespace {

// Characters a source must carry unchanged, one each: Cyrillic, the CSV
// specials, both line-break bytes (so CRLF, LF and CR all occur), a NUL, and
// U+0098 (the one Windows-1251 byte without a character of its own).
const std::vector<std::string> Pieces = {"Ё",        "ж", "A", " ",  ",", "\"", "\n", "\r", std::string(1, '\0'),
                                         "\xC2\x98", "№", "—", "\t", "«"};

std::string randomText(std::mt19937 &random, std::size_t characters)
{
    std::string text;
    for (std::size_t i = 0; i < characters; ++i)
        text += Pieces[random() % Pieces.size()];
    return text;
}

int32_t randomNumber(std::mt19937 &random)
{
    static const int32_t odd[] = {
        0, 1, -1, 7, -4, 1000, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
    return random() % 2 ? odd[random() % 8] : static_cast<int32_t>(random());
}

double randomDouble(std::mt19937 &random)
{
    static const double odd[] = {0.0,
                                 -0.0,
                                 12.5,
                                 -3.25,
                                 1e300,
                                 5e-324,
                                 std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity(),
                                 std::bit_cast<double>(0x7FF8000000000123ULL),
                                 46000.5,
                                 0.1};
    return random() % 2 ? odd[random() % 11] : std::bit_cast<double>(uint64_t{random()} << 32 | random());
}

KnowledgeBaseImage randomImage(std::mt19937 &random)
{
    KnowledgeBaseImage image;
    image.FormatNumber = randomNumber(random);
    image.Written =
        random() % 2 ? ToOleDate({2026, 12, 9, 10, 20, 30, static_cast<int>(random() % 1000)}) : randomDouble(random);
    image.Reserved = static_cast<uint8_t>(random());
    image.Trailer = static_cast<uint8_t>(random());
    image.Records.resize(random() % 6);
    for (KnowledgeBaseRecord &record : image.Records) {
        for (const OutcomeNumberField &field : OutcomeNumberFields)
            record.Entry.*field.Member = randomNumber(random);
        record.Entry.Percent = randomDouble(random);
        for (const OutcomeTextField &field : OutcomeTextFields) {
            // Short texts up to and at their limit of 255 characters.
            const std::size_t length = field.Short ? (random() % 3 ? random() % 40 : 255) : random() % 400;
            record.Entry.*field.Member = randomText(random, length);
        }
        record.Trailer = static_cast<uint8_t>(random());
    }
    return image;
}

std::vector<std::string> problemTexts(const KnowledgeBaseSource &source)
{
    std::vector<std::string> texts;
    for (const SourceProblem &problem : source.Problems)
        texts.push_back(problem.Text());
    return texts;
}

KnowledgeBaseSource readOne(const std::string &csv) { return ReadKnowledgeBaseSources({{"a.csv", csv}}); }

} // namespace

TEST(KnowledgeBaseSource, FileToSourceToFileIsByteIdentical)
{
    std::mt19937 random(20261209);
    for (int round = 0; round < 200; ++round) {
        const std::string bytes = KnowledgeBaseBytes(randomImage(random));
        const std::string csv = KnowledgeBaseCsv(ReadKnowledgeBaseImage(bytes));
        const KnowledgeBaseSource source = readOne(csv);
        ASSERT_TRUE(source.Problems.empty()) << round << ": " << problemTexts(source).front();
        ASSERT_EQ(KnowledgeBaseBytes(source.Image), bytes) << "round " << round;
    }
}

TEST(KnowledgeBaseSource, TheProgramLoadsWhatTheWriterWrites)
{
    std::mt19937 random(7);
    const KnowledgeBaseImage image = randomImage(random);
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "palettor-kb-load.dat";
    std::ofstream(path, std::ios::binary) << KnowledgeBaseBytes(image);
    TCLTKnowledgeBase base;
    const bool loaded = LoadKnowledgeBase(path.string(), base);
    std::filesystem::remove(path);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(base.Count(), image.Records.size());
    for (std::size_t i = 0; i < image.Records.size(); ++i) {
        EXPECT_EQ(base[i].Kind, image.Records[i].Entry.Kind);
        EXPECT_EQ(base[i].PsychologicallyText, image.Records[i].Entry.PsychologicallyText);
    }
}

TEST(KnowledgeBaseSource, WriterFollowsTheRecordLayoutAndKeepsTheOddBytes)
{
    KnowledgeBaseImage image;
    image.FormatNumber = -2;
    image.Written = 45000.5;
    image.Reserved = 7;
    image.Trailer = 9;
    KnowledgeBaseRecord &record = image.Records.emplace_back();
    record.Entry.EntryId = 5;
    record.Entry.Kind = 14;
    record.Entry.Key1 = -3;
    record.Entry.Key2 = 4;
    record.Entry.RefNumber = -1;
    record.Entry.Percent = -0.0;
    record.Entry.BriefText = "Да";
    record.Entry.PsychologicallyText = "x";
    record.Trailer = 0xAB;

    ByteBuilder expected;
    expected.bytes = Scramble("Color Test Data"); // a bare text, stored scrambled
    expected.int32(-2).float64(45000.5).byte(7).int32(1);
    expected.int32(5).int32(14).int32(-3).int32(4).int32(0).int32(0).int32(-1).int32(0).int32(0).float64(-0.0);
    expected.shortText("\xC4\xE0").longText("").longText("").shortText("").shortText("").longText("");
    expected.longText("x").shortText("").shortText("").byte(0xAB).byte(9);
    EXPECT_EQ(KnowledgeBaseBytes(image), expected.bytes);
}

TEST(KnowledgeBaseSource, ImageReaderRefusesWhatItCouldNotGiveBack)
{
    KnowledgeBaseImage image;
    image.Records.resize(2);
    image.Records[1].Entry.PhysiologicalText = "abc";
    const std::string good = KnowledgeBaseBytes(image);
    // Cut short anywhere: an error, never a crash or a partial image.
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_THROW(ReadKnowledgeBaseImage(good.substr(0, n)), StreamError) << "cut at " << n;

    std::string negativeCount = good;
    negativeCount.replace(28, 4, std::string("\xFF\xFF\xFF\xFF", 4));
    std::string negativeLength = good;
    const std::size_t secondPhysiological = 32 + 66 + 36 + 8 + 1; // after entry 1, its numbers and BriefText
    negativeLength.replace(secondPhysiological, 4, std::string("\xFE\xFF\xFF\xFF", 4));
    const struct {
        std::string bytes;
        std::string message;
    } cases[] = {
        {negativeCount, "entry count below zero"},
        {negativeLength, "entry 2, field PhysiologicalText: text length below zero"},
        {good + "x", "1 bytes after the file trailer"},
        {"Colour Test Dat" + good.substr(15), "not a knowledge-base file"},
    };
    for (const auto &c : cases) {
        try {
            ReadKnowledgeBaseImage(c.bytes);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const StreamError &error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

TEST(KnowledgeBaseSource, WritersSubsetOfColumnsInAnyOrder)
{
    const std::string first = "\xEF\xBB\xBF"
                              "Kind,Key1,Key2,BriefText,PhysiologicalText,PsychologicalText\n"
                              "1,3,4,\"Кратко, ясно\",\"Строка 1\nСтрока 2\",\"Слово \"\"в кавычках\"\"\"\n"
                              "\n"
                              ",,,,,\n"
                              "6,2,,Компенсация,,\n";
    const std::string second = "BriefText,EntryId,Key2,Kind\r\nчужой,77,5,2\r\nбез номера,,1,3";
    const KnowledgeBaseSource source = ReadKnowledgeBaseSources({{"a.csv", first}, {"b.csv", second}});
    ASSERT_TRUE(source.Problems.empty()) << problemTexts(source).front();
    const auto &r = source.Image.Records;
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].Entry.EntryId, 1);
    EXPECT_EQ(r[0].Entry.BriefText, "Кратко, ясно");
    EXPECT_EQ(r[0].Entry.PhysiologicalText, "Строка 1\nСтрока 2");
    EXPECT_EQ(r[0].Entry.PsychologicalText, "Слово \"в кавычках\"");
    EXPECT_EQ(r[1].Entry.EntryId, 2); // blank rows skipped, running number in build order
    EXPECT_EQ(r[1].Entry.Kind, 6);
    EXPECT_EQ(r[1].Entry.Key2, 0);
    EXPECT_EQ(r[2].Entry.EntryId, 77);
    EXPECT_EQ(r[3].Entry.EntryId, 4);
    EXPECT_EQ(r[3].Entry.Kind, 3);
    EXPECT_EQ(r[3].Entry.BriefText, "без номера");
    EXPECT_EQ(source.Places[0].Line, 2);
    EXPECT_EQ(source.Places[1].Line, 6);
    EXPECT_EQ(source.Places[3].File, "b.csv");
    EXPECT_EQ(source.Places[3].Line, 3);
    // No file row: the defaults.
    EXPECT_EQ(source.Image.FormatNumber, 1);
    EXPECT_EQ(source.Image.Written, 0.0);
    EXPECT_FALSE(source.WrittenGiven);
}

TEST(KnowledgeBaseSource, BadInputNamesFileLineAndField)
{
    const std::string long256(256, 'a');
    const struct {
        std::string csv;
        std::string message;
    } cases[] = {
        {"", "a.csv:1: нет строки с названиями столбцов"},
        {"Kind,Colour\n1,2\n", "a.csv:1: Colour: неизвестный столбец"},
        {"Kind,Key1,Kind\n", "a.csv:1: Kind: столбец назван дважды"},
        {"Kind;Key1\n1;2\n", "a.csv:1: столбцы должны разделяться запятыми"},
        {"Kind,\n", "a.csv:1: у столбца 2 нет названия"},
        {"Kind,Key1\n1,2\nx,3\n", "a.csv:3: Kind: «x» — не целое число"},
        {"Key1\n2147483648\n", "a.csv:2: Key1: «2147483648» — вне допустимого"},
        {"RecordTrailer\n256\n", "a.csv:2: RecordTrailer: «256» — вне допустимого (от 0 до 255)"},
        {"Percent\n\"12,5\"\n", "a.csv:2: Percent: «12,5» — не число"},
        {"Kind,Key1\n1,2,3\n", "a.csv:2: полей в строке 3, а столбцов в заголовке 2"},
        {"Kind,BriefText\n1,\"open\n\n", "a.csv:2: BriefText: кавычка поля не закрыта"},
        {"Kind,BriefText\n1,\"a\"b\n", "a.csv:2: BriefText: текст после закрывающей кавычки"},
        {"Kind,BriefText\n1,a\"b\n", "a.csv:2: BriefText: кавычка в поле без кавычек"},
        {"Kind,BriefText\n1,\"" + long256 + "\"\n", "a.csv:2: BriefText: текст длиной 256 байт"},
        {"Kind,PhysiologicalText,Remark\n1,\"1\n2\n3\",\xE4\xB8\xAD\n",
         "a.csv:4: Remark: символа U+4E2D нет в Windows-1251"},
        {"Kind,HeadingText\n1,\xD1\x8F\xD0\n", "a.csv:2: HeadingText: испорченный UTF-8 в байте 3"},
        // A file in another encoding is named once, not cell by cell.
        {"Kind,BriefText\n1,\xD1\xE5\xF0\xFB\xE9\n2,\xC7\xE5\xEB\xB8\xED\xFB\xE9\n",
         "a.csv:1: файл сохранён в кодировке Windows-1251, а читается только UTF-8: откройте его в редакторе таблиц и "
         "сохраните как «CSV UTF-8»"},
        {std::string("\xFF\xFEK\0i\0n\0d\0\n\0", 12), "a.csv:1: файл сохранён в кодировке UTF-16"},
        {std::string("K\0i\0n\0d\0\n\0", 10), "a.csv:1: файл сохранён в кодировке UTF-16"},
        {std::string("\0K\0i\0n\0d\0\n", 10), "a.csv:1: файл сохранён в кодировке UTF-16"},
        {"Kind,FileFormat\n1,2\n", "a.csv:2: значения файла и значения записи в одной строке"},
        {"FileWritten\n2026-02-30\n", "a.csv:2: FileWritten: «2026-02-30» — не время"},
    };
    for (const auto &c : cases) {
        const auto texts = problemTexts(readOne(c.csv));
        ASSERT_EQ(texts.size(), 1u) << c.message;
        EXPECT_EQ(texts.front().rfind(c.message, 0), 0u) << texts.front();
    }
    // Byte-order marks are dropped wherever they stand: doubled at the start,
    // or left inside by files joined one after another.
    const std::string mark = "\xEF\xBB\xBF";
    const KnowledgeBaseSource marked =
        readOne(mark + mark + "Kind,BriefText\r\n1,один\r\n" + mark + "2,два" + mark + "\r\n");
    ASSERT_TRUE(marked.Problems.empty()) << problemTexts(marked).front();
    ASSERT_EQ(marked.Image.Records.size(), 2u);
    EXPECT_EQ(marked.Image.Records[1].Entry.Kind, 2);
    EXPECT_EQ(marked.Image.Records[1].Entry.BriefText, "два");
    EXPECT_EQ(marked.BlankKeys, (std::vector<unsigned>{0xF, 0xF}));
    EXPECT_EQ(readOne("Key1,Key2,Key4\n1,,3\n").BlankKeys, (std::vector<unsigned>{0x2 | 0x4}));
    // Long texts have no limit.
    EXPECT_TRUE(readOne("PhysiologicalText\n" + std::string(5000, 'a') + "\n").Problems.empty());

    const KnowledgeBaseSource twice =
        ReadKnowledgeBaseSources({{"a.csv", "FileFormat\n1\n"}, {"b.csv", "Kind,FileTrailer\n1,\n,3\n"}});
    ASSERT_EQ(twice.Problems.size(), 1u);
    EXPECT_EQ(twice.Problems.front().Text(), "b.csv:3: значения файла заданы второй раз (впервые в a.csv:2)");
}

TEST(KnowledgeBaseSource, WrittenTimeTexts)
{
    const struct {
        const char *text;
        std::optional<LocalDateTime> time;
    } cases[] = {
        {"2026-12-01", LocalDateTime{2026, 12, 1, 0, 0, 0, 0}},
        {"2026-12-01T10:20", LocalDateTime{2026, 12, 1, 10, 20, 0, 0}},
        {"2024-02-29 23:59:59.5", LocalDateTime{2024, 2, 29, 23, 59, 59, 500}},
        {"1899-12-29T06:00:00.123", LocalDateTime{1899, 12, 29, 6, 0, 0, 123}},
        {"2025-02-29", std::nullopt},
        {"2026-12-01T24:00", std::nullopt},
        {"2026-12-01T10:20:30.", std::nullopt},
        {"2026-12-1", std::nullopt},
        {"now", std::nullopt},
    };
    for (const auto &c : cases) {
        const auto parsed = ParseWrittenTime(c.text);
        ASSERT_EQ(parsed.has_value(), c.time.has_value()) << c.text;
        if (c.time) {
            EXPECT_EQ(FromOleDate(*parsed), *c.time) << c.text;
        }
    }
    EXPECT_EQ(WrittenTimeText(ToOleDate({2026, 12, 1, 10, 20, 30, 40})), "2026-12-01T10:20:30.040");
    EXPECT_EQ(WrittenTimeText(-0.0), "0x8000000000000000");
    EXPECT_EQ(std::bit_cast<uint64_t>(*ParseWrittenTime("0x8000000000000000")), 0x8000000000000000ULL);
}

TEST(ReplaceFile, PutsTheWholeFileOrNothing)
{
    char pattern[] = "/tmp/palettor-replace-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path folder = pattern;
    const std::string target = (folder / "ColorTest.dat").string();

    ReplaceFileAtomically(target, "one");
    ReplaceFileAtomically(target, "second");
    EXPECT_EQ(TSimpleFileStream::OpenRead(target).Bytes(), "second");

    EXPECT_THROW(ReplaceFileAtomically((folder / "missing" / "x.dat").string(), "x"), StreamError);
    fs::create_directory(folder / "taken");
    EXPECT_THROW(ReplaceFileAtomically((folder / "taken").string(), "x"), StreamError);

    // Only the two names the test made: no temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
    fs::remove_all(folder);
}
