#include "interpretation/Conclusion.h"
#include "interpretation/EightColour.h"
#include "interpretation/FullTestRules.h"
#include "interpretation/InterpretationFixtures.h"
#include "interpretation/Relations.h"

#include <gtest/gtest.h>

namespace {

OleDate At(int hour, int minute, int second, int millisecond)
{
    return ToOleDate(LocalDateTime{2024, 5, 17, hour, minute, second, millisecond});
}

const std::string AllHeadings = HeadingPlus + HeadingX + HeadingEq + HeadingMinus + HeadingTension;

TEST(Duration, CountsWholeSecondsWhicheverTimeComesFirst)
{
    struct Case {
        OleDate start;
        OleDate end;
        int seconds;
    };
    const Case cases[] = {
        {At(10, 0, 0, 0), At(10, 1, 5, 0), 65},        {At(10, 1, 5, 0), At(10, 0, 0, 0), 65},
        {At(10, 0, 0, 1), At(10, 1, 5, 0), 64},        {At(10, 0, 0, 0), At(10, 0, 0, 999), 0},
        {At(9, 59, 59, 500), At(11, 2, 3, 499), 3723}, {At(10, 0, 0, 0), At(10, 0, 0, 0), 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DurationSecondsBetween(c.start, c.end), c.seconds) << c.start << " " << c.end;
}

// Red and yellow lead choice 1 and close choice 2: no stable pair in choice 2,
// a mild autonomic finding, exhaustion and two ambivalent colours.
TCLTSession DoubleSession()
{
    return SessionBuilder(2).Choice(1, Tags({3, 4, 2, 5, 1, 6, 0, 7})).Choice(2, Tags({0, 1, 2, 5, 6, 7, 4, 3}));
}

TEST(FinishTestSession, DoubleAdministrationStoresAllThreeTexts)
{
    TCLTKnowledgeBase base;
    AddEntry(base, 6, 0, 0, "Другой вид");
    AddEntry(base, 1, 0, 0, "Один");
    auto &rejected = AddEntry(base, 4, 3, 3, "Отказ");
    rejected.Percent = 5;
    AddEntry(base, 3, 2, 5, "Пара");
    AddEntry(base, 3, 5, 2, "Пара наоборот");
    AddEntry(base, 3, 2, 2, "Одиночка");
    AddEntry(base, 5, 3, 3, "Амбивалентность");

    auto session = DoubleSession();
    FinishTestSession(session, base, At(10, 0, 0, 0), At(10, 1, 5, 0), ",");

    EXPECT_EQ(session.StartedAt, At(10, 0, 0, 0));
    EXPECT_EQ(session.DurationSeconds, 65);
    EXPECT_EQ(session.AcIntensity[1], 0);
    EXPECT_EQ(session.AcIntensity[2], 8);
    EXPECT_EQ(GroupsOf(session),
              (std::vector<Group>{{1, 0, 0},
                                  {2, 1, 1},
                                  {4, 3, 3},
                                  {3, 2, 5},
                                  {3, 6, 7},
                                  {3, 7, 4},
                                  {3, 2, 2},
                                  {3, 5, 5},
                                  {3, 6, 6},
                                  {3, 7, 7},
                                  {3, 4, 4},
                                  {5, 0, 3},
                                  {5, 0, 4},
                                  {5, 3, 3},
                                  {5, 4, 4}}));
    EXPECT_EQ(session.BriefConclusion, "\r\nОдин\r\nОтказ\r\nПара\r\nОдиночка\r\nАмбивалентность");
    EXPECT_EQ(session.DetailedConclusion,
              HeadingPlus + "+0\r\nОдин\r\n" + HeadingX + HeadingEq + "=2=5\r\nПара\r\n=2\r\nОдиночка\r\n"
                  + HeadingMinus + "-3\r\nОтказ (Статистика: 5,0 % )\r\n" + HeadingTension
                  + "+3-3\r\nАмбивалентность\r\n");
    EXPECT_EQ(session.AdditionalFindings,
              "\r\nЧисло тревог \"A\" (по 1 выбору): 0\r\nЧисло компенсаций \"C\" (по 1 выбору): 0"
              "\r\nЧисло тревог \"A\" (по 2 выбору): 2\r\nЧисло компенсаций \"C\" (по 2 выбору): 1"
              "\r\nИнтенсивность тревоги и компенсации (по 1 выбору): 0 (Статистика: 25,9 %, \"лучше\" - у 0 %, "
              "\"хуже\" - у 74,1 %).\r\n"
              "Интенсивность тревоги и компенсации (по 2 выбору): 8 (Статистика: 3,4 %, \"лучше\" - у 92,1 %, "
              "\"хуже\" - у 4,5 %).\r\n"
              "\r\nНезначительная неустойчивость саморегуляции ВНС, которая, скорее всего, еще не достигла опасных "
              "пределов.\r\n"
              "\r\nНизкая работоспособность вследствие истощения. \r\nПри текущей работоспособности, прогноз "
              "относительно работы, выполняемой в данное время, нельзя назвать благоприятным.\r\n"
              "Причины снижения работоспособности:\r\n"
              "- истощение физической энергии;\r\n"
              "- снижение удовлетворенности от работы и возрастание сомнений в целесообразности и эффективности "
              "действий;\r\n"
              "\r\nАмбивалентное отношение к цвету (нравится и отталкивает, предпочитается и отвергается):\r\n"
              "Красный цвет (3) стоит на 1-й позиции в первом выборе и на 8-й позиции во втором выборе "
              "(интерпретируется как +3-3 группа).\r\n"
              "Желтый цвет (4) стоит на 2-й позиции в первом выборе и на 7-й позиции во втором выборе "
              "(интерпретируется как +4-4 группа).\r\n");
}

TEST(FinishTestSession, SingleAdministrationUsesTheFixedGroups)
{
    TCLTKnowledgeBase base;
    AddEntry(base, 3, 4, 5, "Середина");
    AddEntry(base, 3, 4, 4, "Не бывает при одном выборе");
    auto session =
        SessionBuilder(1).Choice(1, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Choice(2, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Build();
    FinishTestSession(session, base, At(10, 0, 0, 0), At(10, 0, 30, 0), ",");

    EXPECT_EQ(session.DurationSeconds, 30);
    EXPECT_EQ(session.BriefConclusion, "\r\nСередина");
    EXPECT_EQ(session.DetailedConclusion,
              HeadingPlus + HeadingX + HeadingEq + "=4=5\r\nСередина\r\n" + HeadingMinus + HeadingTension);
}

TEST(FinishTestSession, EmptyKnowledgeBaseGivesOnlyTheFixedParts)
{
    auto session = DoubleSession();
    FinishTestSession(session, TCLTKnowledgeBase{}, At(10, 0, 0, 0), At(10, 0, 1, 0), ",");
    EXPECT_EQ(session.BriefConclusion, "");
    EXPECT_EQ(session.DetailedConclusion, AllHeadings);
    EXPECT_FALSE(session.AdditionalFindings.empty());
}

TEST(FinishTestSession, RelationsTestHeadsBothConclusionsWithItsTexts)
{
    TCLTSession session = SessionBuilder(4)
                              .Choice(1, Tags({0, 1, 2, 3, 4, 5, 6, 7}))
                              .Choice(2, Tags({3, 4, 2, 5, 1, 6, 0, 7}))
                              .Stimulus("Мать", {7, 0})
                              .Stimulus("Работа", {3, 3});

    TCLTKnowledgeBase base;
    AddEntry(base, 1, 3, 3, "Цель");
    FinishTestSession(session, base, At(10, 0, 0, 0), At(10, 5, 0, 0), ".");

    // Ranks: position of the colour in choice 1 and in choice 2, per pass.
    EXPECT_EQ(session.CtoItems[0].AssociationRank[1][1], 8);
    EXPECT_EQ(session.CtoItems[0].AssociationRank[1][2], 8);
    EXPECT_EQ(session.CtoItems[0].AssociationRank[2][1], 1);
    EXPECT_EQ(session.CtoItems[0].AssociationRank[2][2], 7);
    EXPECT_EQ(session.CtoItems[1].AssociationRank[1][1], 4);
    EXPECT_EQ(session.CtoItems[1].AssociationRank[2][2], 1);

    const auto brief = BuildBriefRelationsText(session);
    const auto detailed = BuildDetailedRelationsText(session);
    ASSERT_FALSE(brief.empty());
    ASSERT_FALSE(detailed.empty());
    // Choice 2 opens with red alone: "+" is the single group (1, 3, 3).
    EXPECT_EQ(session.BriefConclusion, brief + "\r\nЦель");
    EXPECT_EQ(session.DetailedConclusion,
              detailed + HeadingPlus + "+3\r\nЦель\r\n" + HeadingX + HeadingEq + HeadingMinus + HeadingTension);
    EXPECT_EQ(session.Context.DecimalSeparator, ".");
}

TEST(FinishTestSession, FullTestWritesTheCubeThenItsOwnTexts)
{
    auto session = DoubleSession();
    session.TestKind = 3;
    session.AchromaticChoice[1] = 1;
    session.AchromaticChoice[2] = 2;
    session.AchromaticChoice[3] = 3;
    for (int t = 1; t <= 5; ++t)
        for (int s = 1; s <= 4; ++s)
            session.PairWins[t][s] = 4 - s; // 3, 2, 1, 0 in every table

    TCLTKnowledgeBase base;
    auto &plus = AddEntry(base, 1, 0, 0, "");
    plus.HeadingText = "Цель";
    FinishTestSession(session, base, At(10, 0, 0, 0), At(10, 20, 0, 0), ",");

    // Shade 1 has four threes, 2 four twos, 3 four ones, 4 four zeros.
    EXPECT_EQ(session.ShadeScore[1], 12);
    EXPECT_EQ(session.ShadeScore[2], 8);
    EXPECT_EQ(session.ShadeScore[3], 4);
    EXPECT_EQ(session.ShadeScore[4], 0);
    EXPECT_EQ(session.ShadeTendency[1], 1);
    EXPECT_EQ(session.ShadeTendency[2], 0);
    EXPECT_EQ(session.ShadeTendency[3], -3);
    EXPECT_EQ(session.ShadeTendency[4], -4);
    // The "+" group (1, 0, 0) exists only once the groups are built.
    EXPECT_EQ(session.BriefConclusion, "\r\nЦель\r\n\r\n");
    EXPECT_EQ(session.DetailedConclusion, BuildFullTestDetailed(session, base, ","));
    EXPECT_NE(session.DetailedConclusion.find("Цель"), std::string::npos);
    EXPECT_EQ(session.DurationSeconds, 1200);
}

TEST(FinishTestSession, AnUnknownKindKeepsItsTexts)
{
    auto session = DoubleSession();
    session.TestKind = 7;
    session.BriefConclusion = "краткое";
    session.DetailedConclusion = "подробное";
    TCLTKnowledgeBase base;
    AddEntry(base, 1, 0, 0, "Один");
    FinishTestSession(session, base, At(10, 0, 0, 0), At(10, 0, 1, 0), ",");
    EXPECT_EQ(session.BriefConclusion, "краткое");
    EXPECT_EQ(session.DetailedConclusion, "подробное");
}

} // namespace
