#include "core/TCLTOutcome.h"

#include <gtest/gtest.h>

namespace {

TCLTOutcome Entry(int kind, int k1, int k2, int k3 = 0, int k4 = 0)
{
    TCLTOutcome e;
    e.Kind = kind;
    e.Key1 = k1;
    e.Key2 = k2;
    e.Key3 = k3;
    e.Key4 = k4;
    return e;
}

TEST(OutcomeLookup, FirstMatchAndOnlyComparedKeys)
{
    TCLTKnowledgeBase base;
    EXPECT_EQ(LookupOutcome(base, 1, 3, 3), -1);
    const TCLTOutcome entries[] = {
        Entry(1, 3, 4, 9, 9), Entry(1, 3, 4),         Entry(8, 0, 1, 2, 7), Entry(9, 1, 2, 3, 4),
        Entry(9, 1, 2, 3, 5), Entry(14, 2, -1, 5, 5), Entry(6, 3, 0),
    };
    for (const auto &e : entries)
        base.AddNew() = e;
    struct Case {
        int kind, k1, k2, k3, k4, expected;
    };
    const Case cases[] = {
        {1, 3, 4, 0, 0, 0}, // duplicate keys: first in order; Key3/Key4 ignored
        {2, 3, 4, 0, 0, -1},  {1, 4, 3, 0, 0, -1}, {8, 0, 1, 2, 0, 2}, // Key4 not compared for kind 8
        {8, 0, 1, 3, 7, -1},  {9, 1, 2, 3, 5, 4},  {9, 1, 2, 3, 6, -1},
        {14, 2, -1, 0, 0, 5}, {6, 3, 0, 0, 0, 6},  {7, 3, 0, 0, 0, -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LookupOutcome(base, c.kind, c.k1, c.k2, c.k3, c.k4), c.expected) << c.kind << " " << c.k1;
}

TEST(OutcomeText, IsBlankTrimsControlBytes)
{
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(std::string(" \t\r\n\0 ", 6)));
    EXPECT_FALSE(IsBlank(" x "));
    EXPECT_FALSE(IsBlank("Ж"));
}

TEST(OutcomeText, DesignationForEveryKind)
{
    struct Case {
        TCLTOutcome entry;
        int ref;
        const char *expected;
    };
    const Case cases[] = {
        {Entry(8, 0, 1, 2), 12, "(12) +0 +1 -2"},
        {Entry(9, 1, 2, 3, 4), 0, "1234"},
        {Entry(14, 2, -1), 0, " +2 -1"},
        {Entry(14, -2, 3), 0, " -2 +3"},
        {Entry(15, 3, 4), 0, "3 : 4"},
        {Entry(1, 3, 3), 0, " +3"},
        {Entry(1, 3, 4), 0, " +3 +4"},
        {Entry(5, 3, 3), 0, " +3 -3"},
        {Entry(2, 1, 2), 0, " *1 *2"},
        {Entry(-4, 1, 2), 0, " 1 2"},
        {Entry(13, 4, 3, 2, 1), 5, "(5)4321"},
    };
    for (auto c : cases) {
        c.entry.RefNumber = c.ref;
        EXPECT_EQ(EntryDesignation(c.entry), c.expected);
    }
}

TEST(OutcomeText, BriefTextsKeepLineBreaksBeforeMissingFirstParagraph)
{
    TCLTOutcome e = Entry(1, 3, 3);
    e.BriefText = "  ";
    e.PhysiologicalText = " Физ ";
    e.PsychologicalText = "Псих";
    EXPECT_EQ(BriefEntryText(e), "\r\n Физ \r\nПсих");
    e.BriefText = "Кратко";
    e.PsychologicalText = "\r\n";
    EXPECT_EQ(BriefEntryText(e), "Кратко\r\n Физ ");

    TCLTOutcome t = Entry(9, 1, 2, 3, 4);
    t.PrimaryActionText = "Действие";
    t.PsychologicallyText = " ";
    t.SummaryText = "Итог";
    EXPECT_EQ(BriefTableEntryText(t), "\r\nДействие\r\nИтог");
    t.HeadingText = "Заголовок";
    EXPECT_EQ(BriefTableEntryText(t), "Заголовок\r\nДействие\r\nИтог");
}

TEST(OutcomeText, DetailedEntryText)
{
    TCLTOutcome e = Entry(5, 3, 4);
    e.BriefText = "Текст";
    e.Remark = "прим";
    e.Percent = 12.5;
    EXPECT_EQ(DetailedEntryText(e, ","), "+3-4\r\nТекст (прим) (Статистика: 12,5 % )");
    e.EightColourStars = 2;
    e.PhysiologicalText = "Ф";
    e.PsychologicalText = "П";
    EXPECT_EQ(DetailedEntryText(e, ","),
              "+3-4\r\nТекст (прим) (Статистика: 12,5 % **)"
              "\r\nФизиологическая интерпретация: Ф\r\nПсихологическая интерпретация: П");
    TCLTOutcome plain = Entry(1, 3, 3);
    plain.PsychologicalText = "П";
    EXPECT_EQ(DetailedEntryText(plain, ","), "+3\r\nП");
    EXPECT_EQ(DetailedEntryText(Entry(2, 3, 4), ","), "*3*4");
}

TEST(OutcomeText, DetailedTableEntryText)
{
    TCLTOutcome e = Entry(8, 0, 1, 2);
    e.FullTestStars = 3;
    e.HeadingText = "Заголовок";
    EXPECT_EQ(DetailedTableEntryText(e, ","), " +0 +1 -2 ***\r\nЗаголовок");
    e.Percent = 12.5;
    e.FullTestStars = 0;
    e.PsychologicallyText = "Псих";
    e.TableRemark = "прим";
    e.SummaryText = "Итог";
    EXPECT_EQ(DetailedTableEntryText(e, ","),
              " +0 +1 -2\r\nЗаголовок (Статистика: 12,5 %)\r\nПсих (прим)\r\nКратко: Итог");
    e.FullTestStars = 1;
    e.PrimaryActionText = "Д";
    EXPECT_EQ(DetailedTableEntryText(e, ","),
              " +0 +1 -2\r\nЗаголовок (Статистика: 12,5 % *)"
              "\r\nПервичное действие: Д\r\nПсихологически: Псих (прим)\r\nКратко: Итог");
    TCLTOutcome tendency = Entry(14, 2, -1);
    tendency.SummaryText = "Итог";
    EXPECT_EQ(DetailedTableEntryText(tendency, ","), " +2 -1\r\nИтог");
}

TEST(OutcomeText, MarkEntryText)
{
    TCLTOutcome c = Entry(6, 3, 0);
    c.PsychologicallyText = "Совет";
    EXPECT_EQ(MarkEntryText(c, 2), "+3 (C !!)\r\nСовет");
    TCLTOutcome a = Entry(7, 5, 0);
    EXPECT_EQ(MarkEntryText(a, 0), "-5 (A)\r\n");
    EXPECT_EQ(MarkEntryText(Entry(1, 2, 2), -1), "2)\r\n");
}

} // namespace
