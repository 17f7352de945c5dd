#include "core/ByteBuilder.h"
#include "core/SessionStream.h"
#include "core/TCLTOutcome.h"
#include "core/TCLTSession.h"
#include "core/TSimpleFileStream.h"
#include "support/SessionBuilder.h"

#include <gtest/gtest.h>

namespace {

// A completed session of the kind with a value in every stored field; the
// bytes below are worked out by hand from these values.
TCLTSession sampleSession(int kind)
{
    SessionBuilder b(kind, 45000.25, 45000);
    b.Duration(65)
        .Name("Петров", "Иван")
        .Group("A")
        .Sex(2)
        .Born(30000)
        .Positions([](int, int p) {
            return SessionBuilder::Position{9 - p, p % 5, p == 8 ? 1 : 0, p == 8 ? 3 : 0};
        })
        .Intensities(3, 3)
        .Conclusions("Кратко\r\nдва", "D")
        .FunctionGroup(5, 3, 4);
    if (kind == SessionBuilder::Clinical)
        b.With([](TCLTSession &s) {
            s.AchromaticChoice[1] = 2;
            s.AchromaticChoice[2] = 5;
            s.AchromaticChoice[3] = 1;
            for (int t = 1; t <= 5; ++t)
                for (int i = 1; i <= 4; ++i)
                    s.PairWins[t][i] = (t + i) % 4;
            s.ShadeScore[1] = 1000;
        });
    if (kind == SessionBuilder::Relations)
        for (const char *name : {"Мать", "%s %d"})
            b.Stimulus(name, {3, 7}, {{{1, 2}, {7, 8}}});
    return b;
}

std::string expectedBytes(int kind)
{
    ByteBuilder b;
    b.float64(45000.25).int32(65).int32(kind);
    b.shortText("\xC8\xE2\xE0\xED").shortText("\xCF\xE5\xF2\xF0\xEE\xE2").shortText("").shortText("A");
    b.int32(2).float64(30000);
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p)
            b.int32(9 - p).int32(p % 5).int32(p == 8 ? 1 : 0).int32(p == 8 ? 3 : 0);
    if (kind == 3) {
        b.int32(2).int32(5).int32(1);
        for (int t = 1; t <= 5; ++t)
            for (int i = 1; i <= 4; ++i)
                b.int32((t + i) % 4);
        b.int32(1000).int32(0).int32(0).int32(0); // scores
        b.int32(1).int32(2).int32(3).int32(4);    // tendencies at creation
        b.int32(0).int32(0).int32(0).int32(0);    // reserved
    }
    b.int32(0); // reserved value
    b.longText("\xCA\xF0\xE0\xF2\xEA\xEE\r\n\xE4\xE2\xE0").longText("").longText("D");
    b.int32(3).int32(3);
    b.int32(1).int32(5).int32(3).int32(4).byte(0);
    if (kind == 4) {
        b.int32(2);
        b.shortText("\xCC\xE0\xF2\xFC").int32(3).int32(7).int32(1).int32(2).int32(7).int32(8).byte(0);
        b.shortText("%s %d").int32(3).int32(7).int32(1).int32(2).int32(7).int32(8).byte(0);
    } else {
        b.int32(0);
    }
    b.byte(0);
    return b.bytes;
}

} // namespace

class SessionLayout : public ::testing::TestWithParam<int> {};

TEST_P(SessionLayout, WrittenBytesFollowTheRecordLayoutAndReadBack)
{
    const int kind = GetParam();
    TCLTSession session = sampleSession(kind);
    TSimpleFileStream out;
    session.SaveToStream(&out);
    ASSERT_EQ(out.Bytes(), expectedBytes(kind));

    TSimpleFileStream in(out.Bytes());
    TCLTSession back;
    back.LoadFromStream(&in);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(back.Surname, "Петров");
    EXPECT_EQ(back.Sex, 2);
    EXPECT_EQ(back.Choice, session.Choice);
    EXPECT_EQ(back.AcWeight, session.AcWeight);
    EXPECT_EQ(back.PairWins, session.PairWins);
    EXPECT_EQ(back.BriefConclusion, session.BriefConclusion);
    ASSERT_EQ(back.FunctionGroups.Count(), 1u);
    EXPECT_TRUE(back.FunctionGroups[0].IsEqualTo(&session.FunctionGroups[0]));
    ASSERT_EQ(back.CtoItems.Count(), session.CtoItems.Count());
    for (size_t i = 0; i < back.CtoItems.Count(); ++i)
        EXPECT_TRUE(back.CtoItems[i].IsEqualTo(&session.CtoItems[i]));
}

TEST_P(SessionLayout, EveryTruncationFailsCleanly)
{
    TCLTSession session = sampleSession(GetParam());
    TSimpleFileStream out;
    session.SaveToStream(&out);
    const std::string bytes = out.Bytes();
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        TSimpleFileStream in(bytes.substr(0, cut));
        TCLTSession back;
        EXPECT_THROW(back.LoadFromStream(&in), StreamError) << "cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SessionLayout, ::testing::Values(1, 2, 3, 4));

TEST(SessionLayout, FullTestBlockAddsThirtyFiveValues)
{
    EXPECT_EQ(expectedBytes(3).size() - expectedBytes(2).size(), 35u * 4);
}

// The reader's bound on an item count must not exceed what the writer's
// smallest item takes, or a genuine file would be refused as damaged.
TEST(SessionLayout, SmallestItemsTakeTheBytesTheReaderBoundsCountsWith)
{
    TSimpleFileStream group;
    TCLTFunctionGroup().SaveToStream(&group);
    EXPECT_EQ(group.Bytes().size(), FunctionGroupRecordBytes);
    TSimpleFileStream item;
    TCTOChoiceItem().SaveToStream(&item);
    EXPECT_EQ(item.Bytes().size(), ChoiceItemRecordBytes);
}

TEST(OutcomeLayout, EntryRecordRoundTrips)
{
    TCLTOutcome entry;
    entry.EntryId = 7;
    entry.Kind = 14;
    entry.Key1 = -2;
    entry.Key2 = 3;
    entry.Percent = 12.5;
    entry.BriefText = "b";
    entry.PsychologicallyText = "Психологически";
    entry.TableRemark = "r";
    TSimpleFileStream out;
    entry.SaveToStream(&out);
    ByteBuilder b;
    b.int32(7).int32(14).int32(-2).int32(3).int32(0).int32(0).int32(0).int32(0).int32(0).float64(12.5);
    b.shortText("b").longText("").longText("").shortText("").shortText("").longText("");
    b.longText("\xCF\xF1\xE8\xF5\xEE\xEB\xEE\xE3\xE8\xF7\xE5\xF1\xEA\xE8").shortText("").shortText("r").byte(0);
    EXPECT_EQ(out.Bytes(), b.bytes);
    TSimpleFileStream in(out.Bytes());
    TCLTOutcome back;
    back.LoadFromStream(&in);
    EXPECT_EQ(back.Key1, -2);
    EXPECT_EQ(back.PsychologicallyText, entry.PsychologicallyText);
    EXPECT_EQ(back.Percent, 12.5);
}

TEST(OutcomeTexts, AbsurdStarCountsFromADamagedFileStayBounded)
{
    TCLTOutcome entry;
    entry.Kind = 9;
    entry.Percent = 1;
    entry.EightColourStars = 0x7FFFFFFF;
    entry.FullTestStars = 0x7FFFFFFF;
    EXPECT_LT(DetailedEntryText(entry, ",").size(), 200u);
    EXPECT_LT(DetailedTableEntryText(entry, ",").size(), 200u);
    entry.Kind = 6;
    EXPECT_LT(MarkEntryText(entry, 0x7FFFFFFF).size(), 200u);
    EXPECT_NE(MarkEntryText(entry, 3).find("!!!)"), std::string::npos);
}
