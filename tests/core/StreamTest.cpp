#include "core/ByteBuilder.h"
#include "core/Cp1251.h"
#include "core/TCLTSession.h"
#include "core/TSimpleFileStream.h"

#include <gtest/gtest.h>

namespace {
std::string written(const std::string &text, int mode)
{
    TSimpleFileStream s;
    WriteText(s, text, mode);
    return s.Bytes();
}
} // namespace

TEST(TextEncoding, EmptyTextInEachMode)
{
    EXPECT_EQ(written("", ShortTextMode), std::string(1, '\0'));
    EXPECT_EQ(written("", LongTextMode), std::string(4, '\0'));
    EXPECT_EQ(written("", BareCutMode), "");
    EXPECT_EQ(written("", BareUncutMode), "");
    EXPECT_EQ(written("abc", 7), "");
}

TEST(TextEncoding, ShortTextIsCutTo255BytesAndReadsBackCut)
{
    const std::string text(300, 'x');
    const std::string bytes = written(text, ShortTextMode);
    ASSERT_EQ(bytes.size(), 256u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 255);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 'x' ^ 0x6E);
    EXPECT_EQ(written(text, BareCutMode).size(), 255u);
    EXPECT_EQ(written(text, BareUncutMode).size(), 300u);
    TSimpleFileStream in(bytes);
    EXPECT_EQ(ReadShortText(in), std::string(255, 'x'));
}

TEST(TextEncoding, CyrillicIsStoredAsScrambledWindows1251)
{
    // "Яд" is DF E4 in Windows-1251; the key byte 'n' (0x6E) becomes 0.
    EXPECT_EQ(written("Ядn", ShortTextMode), ByteBuilder().shortText("\xDF\xE4n").bytes);
    EXPECT_EQ(written("n", BareUncutMode), std::string(1, '\0'));
    EXPECT_EQ(written("Ё№", LongTextMode), ByteBuilder().longText("\xA8\xB9").bytes);
}

TEST(TextEncoding, AllBytesRoundTripAndForeignCharactersBecomeQuestionMarks)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
    EXPECT_EQ(Utf8ToCp1251("a€中b"), "a\x88?b");
    EXPECT_EQ(Utf8ToCp1251("\xFF\xC3"), "??"); // broken UTF-8
    EXPECT_EQ(Utf8ToCp1251("😀"), "?");
    EXPECT_EQ(Scramble(Scramble("text")), "text");
}

TEST(NumberEncoding, LittleEndianAndDateTimeEqualsDouble)
{
    TSimpleFileStream s;
    WriteInt32(s, -2);
    WriteByte(s, 0xAB);
    WriteDouble(s, 45000.5);
    WriteDateTime(s, 45000.5);
    EXPECT_EQ(s.Bytes(), ByteBuilder().int32(-2).byte(0xAB).float64(45000.5).float64(45000.5).bytes);
    TSimpleFileStream in(s.Bytes());
    EXPECT_EQ(ReadInt32(in), -2);
    EXPECT_EQ(ReadByte(in), 0xAB);
    EXPECT_EQ(ReadDouble(in), 45000.5);
    EXPECT_EQ(ReadDateTime(in), 45000.5);
    EXPECT_THROW(ReadByte(in), StreamError);
}

TEST(TextDecoding, NegativeOrAbsurdLengths)
{
    TSimpleFileStream negative(ByteBuilder().int32(-5).byte(1).bytes);
    EXPECT_EQ(ReadLongText(negative), "");
    EXPECT_EQ(negative.Position(), 4u);
    EXPECT_EQ(ReadBareText(negative, 0), "");

    // A length far beyond the data is refused before anything is allocated.
    TSimpleFileStream huge(ByteBuilder().int32(0x7FFFFFFF).bytes);
    EXPECT_THROW(ReadLongText(huge), StreamError);
    TSimpleFileStream cut(ByteBuilder().byte(10).scrambled("abc").bytes);
    EXPECT_THROW(ReadShortText(cut), StreamError);
}

TEST(TextDecoding, EveryByteOfAStoredTextDecodesAsTheTableSays)
{
    // Long and short texts of all 256 bytes, stored scrambled, decode to the
    // same UTF-8 as the plain conversion, with nothing after the last
    // character and the stream standing right behind the text.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string expected = Cp1251ToUtf8(all);
    EXPECT_EQ(expected.size(), 128u + 2 * 128 + 18); // 18 punctuation marks and signs take three bytes
    TSimpleFileStream in(ByteBuilder().longText(all).shortText(all.substr(192)).byte(7).bytes);
    const std::string text = ReadLongText(in);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.size(), expected.size());
    EXPECT_EQ(ReadShortText(in), Cp1251ToUtf8(all.substr(192)));
    EXPECT_EQ(ReadByte(in), 7);
    EXPECT_EQ(ScrambledCp1251ToUtf8(Scramble("\xC0\xFF\x88")),
              "А"
              "я"
              "€");
    // Plain and Cyrillic runs crossing eight-byte words, odd lengths.
    const std::string mixed = Utf8ToCp1251("Ivanov Иван 1234567 ёЁ №5 abcdefghi");
    for (std::size_t cut = 0; cut <= mixed.size(); ++cut)
        EXPECT_EQ(ScrambledCp1251ToUtf8(Scramble(mixed.substr(0, cut))), Cp1251ToUtf8(mixed.substr(0, cut))) << cut;
    EXPECT_EQ(Cp1251ToUtf8(mixed), "Ivanov Иван 1234567 ёЁ №5 abcdefghi");
}

TEST(TextDecoding, WholeWordsDecodeAsTheirBytesOneByOne)
{
    // Every byte at every place of a Cyrillic eight-byte word (and of a plain
    // one) decodes as it does alone, where the word paths are not taken.
    auto oneByOne = [](const std::string &cp1251) {
        std::string utf8;
        for (char c : cp1251)
            utf8 += Cp1251ToUtf8(std::string(1, c));
        return utf8;
    };
    EXPECT_EQ(oneByOne("\xC0\xEF\xF0\xFF\xA8\xB8\xB9"), "АпряЁё№");
    // Texts of three words and a byte, long enough for the word paths.
    for (const std::string &word : {std::string(8, '\xE6'), std::string(8, 'w')})
        for (int b = 0; b < 256; ++b)
            for (std::size_t at = 0; at < 8; ++at) {
                std::string text = word + word + word + "\xFF";
                text[8 + at] = static_cast<char>(b);
                ASSERT_EQ(ScrambledCp1251ToUtf8(Scramble(text)), oneByOne(text)) << b << " at " << at;
            }
    // Every mix of letters and plain bytes in a word, letters from both
    // halves of the alphabet (0xC0..0xEF, 0xF0..0xFF), and the table alone.
    for (unsigned letters = 0; letters < 256; ++letters) {
        std::string text = "\xC0\xEF\xF0\xFF Ab1" + std::string(8, ' ') + "\xC0\xEF\xF0\xFF Ab1";
        for (unsigned k = 0; k < 8; ++k)
            text[8 + k] = letters >> k & 1 ? static_cast<char>(0xC7 + 7 * k) : static_cast<char>('!' + 11 * k);
        ASSERT_EQ(ScrambledCp1251ToUtf8(Scramble(text)), oneByOne(text)) << letters;
        ASSERT_EQ(TableCp1251ToUtf8(Scramble(text), ScrambleKey), oneByOne(text)) << letters;
    }
}

TEST(ItemLists, RoundTripReplacesPreviousItemsAndRefusesAbsurdCounts)
{
    TOrvantaCollection<TCLTFunctionGroup> groups;
    for (int i = 1; i <= 3; ++i) {
        auto &g = groups.AddNew();
        g.FunctionCode = i;
        g.FirstColour = i + 1;
        g.SecondColour = i + 2;
    }
    TSimpleFileStream s;
    WriteItems(s, &groups);
    WriteItems(s, nullptr); // writes nothing, not even a count
    EXPECT_EQ(s.Bytes().size(), 4u + 3 * 13);

    TOrvantaCollection<TCLTFunctionGroup> read;
    read.AddNew().FunctionCode = 99;
    TSimpleFileStream in(s.Bytes());
    int hooks = 0;
    in.BeforeEachItem = [&] { ++hooks; };
    ReadItems(in, &read, 13);
    ASSERT_EQ(read.Count(), 3u);
    EXPECT_EQ(hooks, 3);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(read[i].IsEqualTo(&groups[i]));

    TSimpleFileStream absurd(ByteBuilder().int32(1000000000).int32(1).bytes);
    EXPECT_THROW(ReadItems(absurd, &read, 13), StreamError);
    EXPECT_EQ(read.Count(), 0u);

    TSimpleFileStream none(ByteBuilder().int32(-3).bytes);
    read.AddNew();
    ReadItems(none, &read, 13);
    EXPECT_EQ(read.Count(), 0u);
}

// Damage is reported in the user's language: these reasons reach the
// window's messages unchanged.
TEST(StreamErrors, DamageIsToldInRussian)
{
    const auto reasonOf = [](auto read) {
        try {
            read();
        } catch (const StreamError &error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    TSimpleFileStream cut(std::string("\x01\x02", 2));
    cut.FileName = "/a/b.dat";
    EXPECT_EQ(reasonOf([&] { ReadInt32(cut); }), "файл обрывается (неожиданный конец данных) в файле /a/b.dat");
    TSimpleFileStream shortText(std::string("\x05", 1));
    EXPECT_EQ(reasonOf([&] { ReadShortText(shortText); }), "длина текста выходит за конец файла");
    TSimpleFileStream small(std::string("abc"));
    EXPECT_EQ(reasonOf([&] { small.Seek(10); }), "переход за конец файла");
}
