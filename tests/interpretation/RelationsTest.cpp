#include "interpretation/Relations.h"
#include "interpretation/InterpretationFixtures.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

// The tables below are aligned by hand, one case a line.
// clang-format off

namespace {

struct Stimulus {
    std::string Name;
    int Colour1;
    int Colour2;
    std::array<int, 4> Ranks; // [1][1], [1][2], [2][1], [2][2]
};

TCTOChoiceItem MakeItem(const Stimulus &s)
{
    TCTOChoiceItem item;
    item.StimulusName = s.Name;
    item.AssociatedColour[1] = s.Colour1;
    item.AssociatedColour[2] = s.Colour2;
    item.AssociationRank[1][1] = s.Ranks[0];
    item.AssociationRank[1][2] = s.Ranks[1];
    item.AssociationRank[2][1] = s.Ranks[2];
    item.AssociationRank[2][2] = s.Ranks[3];
    return item;
}

SessionBuilder MakeSession(const std::vector<Stimulus> &stimuli, const std::string &separator = ",")
{
    SessionBuilder session(SessionBuilder::Relations);
    session.Context(0, separator);
    for (const auto &s : stimuli)
        session.Stimulus(s.Name, {s.Colour1, s.Colour2}, {{{s.Ranks[0], s.Ranks[1]}, {s.Ranks[2], s.Ranks[3]}}});
    return session;
}

const std::string Head = "\r\nРезультат по Цветовому тесту отношений:\r\n"
                         "\r\n"
                         "Эмоциональное отношение к значимым лицам и понятиям:\r\n";
const std::string Tail = "\r\n\r\nРезультат по Цветовому тесту Люшера:\r\n";

// The worked example: ranks come from the two choices.
TCLTSession MotherAndFather()
{
    TCLTSession session = MakeSession({{"Мать", 2, 2, {}}, {"Отец", 3, 7, {}}})
                              .Choice(1, Tags({2, 3, 1, 4, 5, 0, 6, 7}))
                              .Choice(2, Tags({1, 2, 3, 4, 5, 0, 7, 6}));
    FillAssociationRanks(session);
    return session;
}

TEST(RelationsWorkedExample, RanksComeFromBothChoices)
{
    const TCLTSession session = MotherAndFather();
    const auto &mother = session.CtoItems[0];
    const auto &father = session.CtoItems[1];
    EXPECT_EQ(mother.AssociationRank[1][1], 1);
    EXPECT_EQ(mother.AssociationRank[1][2], 2);
    EXPECT_EQ(mother.AssociationRank[2][1], 1);
    EXPECT_EQ(mother.AssociationRank[2][2], 2);
    EXPECT_EQ(father.AssociationRank[1][1], 2);
    EXPECT_EQ(father.AssociationRank[1][2], 3);
    EXPECT_EQ(father.AssociationRank[2][1], 8);
    EXPECT_EQ(father.AssociationRank[2][2], 7);
    EXPECT_EQ(RelationSum(mother), 4);
    EXPECT_EQ(RelationSum(father), 0);
}

TEST(RelationsWorkedExample, Classification)
{
    const TCLTSession session = MotherAndFather();
    const RelationClass mother = ClassifyRelation(session.CtoItems[0]);
    EXPECT_EQ(mother.Label, "Положительное ");
    EXPECT_FALSE(mother.Ambiguous);
    EXPECT_EQ(mother.Description, "Однозначно ассоциирован с цветом \"2 - Зеленый\" (Ранг: 1 -> 2)");

    const RelationClass father = ClassifyRelation(session.CtoItems[1]);
    EXPECT_EQ(father.Label, "Нейтральное или равнодушное ");
    EXPECT_FALSE(father.Ambiguous);
    EXPECT_EQ(father.Description,
              "Ассоциируется с цветами: \"3 - Красный\" (Ранг: 2 -> 3) и \"7 - Черный\" (Ранг: 8 -> 7)");
}

TEST(RelationsWorkedExample, BriefText)
{
    const std::string expected = Head
        + "Положительное  отношение к объекту \"Мать\";\r\n"
          "Нейтральное или равнодушное  отношение к объекту \"Отец\";\r\n"
          "\r\n"
          "Предположение об идентификации объектов:\r\n"
          "Однозначное пересечение цветоасоциаций не обнаружено.\r\n"
        + Tail;
    EXPECT_EQ(BuildBriefRelationsText(MotherAndFather()), expected);
}

TEST(RelationsWorkedExample, DetailedText)
{
    const std::string expected = Head
        + "Положительное  отношение к объекту \"Мать\" (Однозначно ассоциирован с цветом \"2 - Зеленый\" "
          "(Ранг: 1 -> 2));\r\n"
          "Нейтральное или равнодушное  отношение к объекту \"Отец\" (Ассоциируется с цветами: "
          "\"3 - Красный\" (Ранг: 2 -> 3) и \"7 - Черный\" (Ранг: 8 -> 7));\r\n"
          "\r\n"
          "Акцентуированные отношения не обнаружены.\r\n"
          "\r\n"
          "Предположение об идентификации объектов вследствие пересечения цветоассоциаций:\r\n"
          "Однозначное пересечение цветоасоциаций не обнаружено.\r\n"
          "\r\n"
          "Сложность цветоассоциативных реакций:\r\n"
          "Тестируемому был предложен набор из 2 (x2=4) стимулов.\r\n"
          "При цветоассоциировании было задействовано 3 цветов.\r\n"
          "Отношение числа задействованных цветов к числу стимулов =  1,50 ( 0,75).\r\n"
          "1 из 2 стимулов были однозначно ассоциированы с одним цветом.\r\n"
          "Со цветом \"0 - Серый\" произведено 0 из 4 ассоциаций ( 0,00%), 0 объектов ( 0,00%) ассоциированы однозначно;\r\n"
          "Со цветом \"1 - Синий\" произведено 0 из 4 ассоциаций ( 0,00%), 0 объектов ( 0,00%) ассоциированы однозначно;\r\n"
          "Со цветом \"2 - Зеленый\" произведено 2 из 4 ассоциаций (50,00%), 1 объектов (50,00%) ассоциированы однозначно;\r\n"
          "Со цветом \"3 - Красный\" произведено 1 из 4 ассоциаций (25,00%), 0 объектов ( 0,00%) ассоциированы однозначно;\r\n"
          "Со цветом \"4 - Желтый\" произведено 0 из 4 ассоциаций ( 0,00%), 0 объектов ( 0,00%) ассоциированы однозначно;\r\n"
          "Со цветом \"5 - Фиолетовый\" произведено 0 из 4 ассоциаций ( 0,00%), 0 объектов ( 0,00%) ассоциированы однозначно;\r\n"
          "Со цветом \"6 - Коричневый\" произведено 0 из 4 ассоциаций ( 0,00%), 0 объектов ( 0,00%) ассоциированы однозначно;\r\n"
          "Со цветом \"7 - Черный\" произведено 1 из 4 ассоциаций (25,00%), 0 объектов ( 0,00%) ассоциированы однозначно;\r\n"
        + Tail;
    EXPECT_EQ(BuildDetailedRelationsText(MotherAndFather()), expected);
}

// Brother and Work share brown in both passes, "Я" sums to 3, the fourth is
// ambiguous and carries format characters and quotes in its name.
TCLTSession FourStimuli(const std::string &separator = ",")
{
    return MakeSession({{"Брат", 6, 6, {7, 8, 7, 8}},
                        {"Работа", 6, 6, {7, 8, 7, 8}},
                        {"Я", 2, 4, {1, 2, 4, 3}},
                        {"\"%s\" и %d%%", 3, 1, {2, 6, 3, 2}}},
                       separator);
}

TEST(RelationsTexts, BriefWithIdentificationAndAmbiguity)
{
    const std::string expected = Head
        + "Негативное или конфликтное  отношение к объекту \"Брат\";\r\n"
          "Негативное или конфликтное  отношение к объекту \"Работа\";\r\n"
          "Положительное  отношение к объекту \"Я\";\r\n"
          "\r\n"
          "Предположение об идентификации объектов:\r\n"
          "Идентифицируемые объекты: \"Брат\", \"Работа\";\r\n"
        + Tail;
    EXPECT_EQ(BuildBriefRelationsText(FourStimuli()), expected);
}

TEST(RelationsTexts, DetailedWithAccentuationAndIdentification)
{
    const std::string expected = Head
        + "Негативное или конфликтное  отношение к объекту \"Брат\" (Однозначно ассоциирован с цветом "
          "\"6 - Коричневый\" (Ранг: 7 -> 8));\r\n"
          "Негативное или конфликтное  отношение к объекту \"Работа\" (Однозначно ассоциирован с цветом "
          "\"6 - Коричневый\" (Ранг: 7 -> 8));\r\n"
          "Положительное  отношение к объекту \"Я\" (Ассоциируется с цветами: \"2 - Зеленый\" (Ранг: 1 -> 2) и "
          "\"4 - Желтый\" (Ранг: 4 -> 3));\r\n"
          "Неоднозначное  отношение к объекту \"\"%s\" и %d%%\" (Ассоциируется с цветами: \"3 - Красный\" "
          "(Ранг: 2 -> 6) и \"1 - Синий\" (Ранг: 3 -> 2));\r\n"
          "\r\n"
          "Акцентуированные отношения:\r\n"
          "Выраженно позитивное отношение к 1 объектам: \"Я\"\r\n"
          "\r\n"
          "Предположение об идентификации объектов вследствие пересечения цветоассоциаций:\r\n"
          "Идентифицируемые объекты: \"Брат\", \"Работа\" (Цвет: 6 - Коричневый);\r\n"
          "\r\n"
          "Сложность цветоассоциативных реакций:\r\n"
          "Тестируемому был предложен набор из 4 (x2=8) стимулов.\r\n"
          "При цветоассоциировании было задействовано 5 цветов.\r\n"
          "Отношение числа задействованных цветов к числу стимулов =  1.25 ( 0.63).\r\n"
          "2 из 4 стимулов были однозначно ассоциированы с одним цветом.\r\n"
          "Со цветом \"0 - Серый\" произведено 0 из 8 ассоциаций ( 0.00%), 0 объектов ( 0.00%) ассоциированы однозначно;\r\n"
          "Со цветом \"1 - Синий\" произведено 1 из 8 ассоциаций (12.50%), 0 объектов ( 0.00%) ассоциированы однозначно;\r\n"
          "Со цветом \"2 - Зеленый\" произведено 1 из 8 ассоциаций (12.50%), 0 объектов ( 0.00%) ассоциированы однозначно;\r\n"
          "Со цветом \"3 - Красный\" произведено 1 из 8 ассоциаций (12.50%), 0 объектов ( 0.00%) ассоциированы однозначно;\r\n"
          "Со цветом \"4 - Желтый\" произведено 1 из 8 ассоциаций (12.50%), 0 объектов ( 0.00%) ассоциированы однозначно;\r\n"
          "Со цветом \"5 - Фиолетовый\" произведено 0 из 8 ассоциаций ( 0.00%), 0 объектов ( 0.00%) ассоциированы однозначно;\r\n"
          "Со цветом \"6 - Коричневый\" произведено 4 из 8 ассоциаций (50.00%), 2 объектов (50.00%) ассоциированы однозначно;\r\n"
          "Со цветом \"7 - Черный\" произведено 0 из 8 ассоциаций ( 0.00%), 0 объектов ( 0.00%) ассоциированы однозначно;\r\n"
        + Tail;
    EXPECT_EQ(BuildDetailedRelationsText(FourStimuli(".")), expected);
}

TEST(RelationsTexts, EveryStimulusAmbiguous)
{
    const TCLTSession session = MakeSession({{"А", 1, 3, {1, 1, 7, 2}}, {"Б", 3, 1, {2, 6, 3, 2}}});
    const std::string expected = Head
        + "Выявленная информация неоднозначна."
          "\r\n"
          "Предположение об идентификации объектов:\r\n"
          "Однозначное пересечение цветоасоциаций не обнаружено.\r\n"
        + Tail;
    EXPECT_EQ(BuildBriefRelationsText(session), expected);
}

TEST(RelationsTexts, NegativeAccentuationAloneAndNamesTakenLiterally)
{
    const TCLTSession session =
        MakeSession({{"%s%n", 7, 7, {8, 8, 8, 4}}, {"%d", 7, 7, {6, 7, 5, 8}}, {"Мать", 2, 2, {1, 1, 1, 1}}});
    const std::string detailed = BuildDetailedRelationsText(session);
    EXPECT_NE(detailed.find("\r\nАкцентуированные отношения:\r\n"
                            "Выраженно негативное отношение к 2 объектам: \"%s%n\", \"%d\"\r\n"
                            "\r\nПредположение"),
              std::string::npos)
        << detailed;
    EXPECT_EQ(detailed.find("позитивное"), std::string::npos);
    EXPECT_NE(detailed.find("Идентифицируемые объекты: \"%s%n\", \"%d\" (Цвет: 7 - Черный);\r\n"), std::string::npos);
}

TEST(RelationsTexts, NamesWithBlanksAndSeparatorsComeOutUnchanged)
{
    const std::vector<std::string> names = {"%s", "%d%%", "\"кавычки\"", "таб\tуляция", "строка\u2028разрыв",
                                            "абзац\u2029", "   ", ""};
    std::vector<Stimulus> stimuli;
    for (const auto &name : names)
        stimuli.push_back({name, 1, 1, {1, 2, 3, 1}});
    const std::string brief = BuildBriefRelationsText(MakeSession(stimuli));
    std::string lines;
    for (const auto &name : names)
        lines += "Положительное  отношение к объекту \"" + name + "\";\r\n";
    EXPECT_EQ(brief.substr(Head.size(), lines.size()), lines);
}

TEST(RelationsTexts, ShareOfColoursWithFourStimuliAndThreeColours)
{
    const TCLTSession session =
        MakeSession({{"А", 1, 1, {1, 1, 1, 1}}, {"Б", 2, 2, {2, 2, 2, 2}}, {"В", 3, 1, {3, 3, 1, 1}}, {"Г", 3, 3, {3, 3, 3, 3}}});
    EXPECT_NE(BuildDetailedRelationsText(session).find(
                  "Отношение числа задействованных цветов к числу стимулов =  0,75 ( 0,38).\r\n"),
              std::string::npos);
}

TEST(RelationsTexts, SessionWithoutStimuliWritesNoNonsenseNumbers)
{
    const std::string detailed = BuildDetailedRelationsText(MakeSession({}));
    EXPECT_NE(detailed.find("Тестируемому был предложен набор из 0 (x2=0) стимулов.\r\n"
                            "При цветоассоциировании было задействовано 0 цветов.\r\n"
                            "Отношение числа задействованных цветов к числу стимулов =  0,00 ( 0,00).\r\n"
                            "0 из 0 стимулов"),
              std::string::npos)
        << detailed;
    EXPECT_EQ(detailed.find("nan"), std::string::npos);
    EXPECT_EQ(detailed.find("inf"), std::string::npos);
    EXPECT_NE(BuildBriefRelationsText(MakeSession({})).find("Выявленная информация неоднозначна."), std::string::npos);
}

struct ClassificationCase {
    std::array<int, 4> Ranks;
    int Sum;
    const char *Label;
    bool Ambiguous;
};

void PrintTo(const ClassificationCase &c, std::ostream *os)
{
    *os << "ranks " << c.Ranks[0] << ' ' << c.Ranks[1] << ' ' << c.Ranks[2] << ' ' << c.Ranks[3];
}

class RelationClassification : public ::testing::TestWithParam<ClassificationCase> {};

TEST_P(RelationClassification, LabelAndAmbiguity)
{
    const auto &c = GetParam();
    const TCTOChoiceItem item = MakeItem({"x", 0, 0, c.Ranks});
    EXPECT_EQ(RelationSum(item), c.Sum);
    const RelationClass relation = ClassifyRelation(item);
    EXPECT_EQ(relation.Label, c.Label);
    EXPECT_EQ(relation.Ambiguous, c.Ambiguous);
}

constexpr const char *Neutral = "Нейтральное или равнодушное ";
constexpr const char *Positive = "Положительное ";
constexpr const char *Negative = "Негативное или конфликтное ";
constexpr const char *Unclear = "Неоднозначное ";

INSTANTIATE_TEST_SUITE_P(
    Table, RelationClassification,
    ::testing::Values(
        // rule 1
        ClassificationCase{{4, 5, 4, 5}, 0, Neutral, false}, ClassificationCase{{1, 8, 2, 7}, 0, Neutral, false},
        ClassificationCase{{3, 4, 5, 4}, 1, Neutral, false}, ClassificationCase{{6, 4, 5, 4}, -1, Neutral, false},
        // rule 2
        ClassificationCase{{1, 2, 4, 5}, 2, Positive, false}, ClassificationCase{{1, 2, 3, 5}, 3, Positive, false},
        ClassificationCase{{1, 2, 3, 3}, 4, Positive, false},
        // rule 3
        ClassificationCase{{6, 7, 4, 5}, -2, Negative, false}, ClassificationCase{{6, 7, 8, 4}, -3, Negative, false},
        ClassificationCase{{8, 8, 8, 8}, -4, Negative, false},
        // rule 4: mixed signs that no other rule takes
        ClassificationCase{{1, 2, 8, 4}, 1, Unclear, true}, ClassificationCase{{7, 8, 1, 5}, -1, Unclear, true},
        ClassificationCase{{1, 2, 3, 8}, 2, Unclear, true}, ClassificationCase{{6, 7, 8, 1}, -2, Unclear, true},
        // ranks outside 1..8 (damaged data) score 0
        ClassificationCase{{0, 9, -1, 100}, 0, Neutral, false},
        ClassificationCase{{0, 1, 2, 3}, 3, Positive, false}));

struct ScoreCase {
    int Rank;
    int Score;
};

TEST(RelationRanks, ScoreOfEveryRank)
{
    const ScoreCase cases[] = {{1, 1}, {2, 1}, {3, 1}, {4, 0}, {5, 0}, {6, -1}, {7, -1}, {8, -1}, {0, 0}, {9, 0}, {-3, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(RankScore(c.Rank), c.Score) << "rank " << c.Rank;
}

TEST(RelationRanks, FirstPositionAndZeroWhenAbsent)
{
    TCLTSession session = MakeSession({{"a", 0, 7, {9, 9, 9, 9}}, {"b", 5, 12, {9, 9, 9, 9}}})
                              .Choice(1, Tags({7, 6, 5, 4, 3, 2, 1, 0}))
                              // A damaged second choice: colour 7 twice, colour 5 missing.
                              .Choice(2, Tags({1, 7, 2, 3, 4, 7, 6, 0}));
    FillAssociationRanks(session);
    const auto &a = session.CtoItems[0];
    const auto &b = session.CtoItems[1];
    EXPECT_EQ(a.AssociationRank[1][1], 8);
    EXPECT_EQ(a.AssociationRank[1][2], 8);
    EXPECT_EQ(a.AssociationRank[2][1], 1);
    EXPECT_EQ(a.AssociationRank[2][2], 2);
    EXPECT_EQ(b.AssociationRank[1][1], 3);
    EXPECT_EQ(b.AssociationRank[1][2], 0);
    EXPECT_EQ(b.AssociationRank[2][1], 0);
    EXPECT_EQ(b.AssociationRank[2][2], 0);
}

TEST(RelationParts, DescribeAssociation)
{
    const TCTOChoiceItem item = MakeItem({"x", 5, 0, {4, 4, 6, 8}});
    EXPECT_EQ(DescribeAssociation(item, 1), "\"5 - Фиолетовый\" (Ранг: 4)");
    EXPECT_EQ(DescribeAssociation(item, 2), "\"0 - Серый\" (Ранг: 6 -> 8)");
}

TEST(RelationParts, ListRelationsWithSumIsExact)
{
    const TCLTSession session = MakeSession({{"четыре", 1, 1, {1, 1, 1, 1}},
                                             {"три", 1, 1, {1, 1, 1, 4}},
                                             {"минус три", 7, 7, {8, 8, 8, 5}},
                                             {"тоже три", 1, 1, {5, 1, 1, 1}}});
    const RelationList three = ListRelationsWithSum(session, 3);
    EXPECT_EQ(three.Count, 2);
    EXPECT_EQ(three.Text, "\"три\", \"тоже три\"");
    const RelationList four = ListRelationsWithSum(session, 4);
    EXPECT_EQ(four.Count, 1);
    EXPECT_EQ(four.Text, "\"четыре\"");
    EXPECT_EQ(ListRelationsWithSum(session, -4).Count, 0);
    EXPECT_EQ(ListRelationsWithSum(session, -4).Text, "");
    // S = 4 is positive but not accentuated.
    EXPECT_EQ(BuildDetailedRelationsText(session).find("\"четыре\"\r\n"), std::string::npos);
}

TEST(RelationParts, IdentifiedObjectsNeedTwoStimuliOfOneColourInBothPasses)
{
    const TCLTSession session = MakeSession({{"Отец", 7, 7, {}},
                                             {"Работа", 7, 3, {}},
                                             {"Начальник", 7, 7, {}},
                                             {"Мать", 2, 2, {}},
                                             {"Страх", 7, 7, {}}});
    EXPECT_EQ(ListIdentifiedObjects(session, 7, true),
              "Идентифицируемые объекты: \"Отец\", \"Начальник\", \"Страх\" (Цвет: 7 - Черный);\r\n");
    EXPECT_EQ(ListIdentifiedObjects(session, 7, false), "Идентифицируемые объекты: \"Отец\", \"Начальник\", \"Страх\";\r\n");
    EXPECT_EQ(ListIdentifiedObjects(session, 2, true), "");
    EXPECT_EQ(ListIdentifiedObjects(session, 3, false), "");
}

TEST(RelationParts, Counting)
{
    const TCLTSession session =
        MakeSession({{"a", 7, 7, {}}, {"b", 7, 3, {}}, {"c", 3, 7, {}}, {"d", 2, 2, {}}, {"e", 0, 0, {}}});
    struct CountCase {
        int Colour;
        int All;
        int Equal;
    };
    const CountCase cases[] = {{7, 4, 2}, {3, 2, 0}, {2, 2, 2}, {0, 2, 2}, {1, 0, 0}, {6, 0, 0}};
    for (const auto &c : cases) {
        EXPECT_EQ(CountAssociations(session, c.Colour, false), c.All) << "colour " << c.Colour;
        EXPECT_EQ(CountAssociations(session, c.Colour, true), c.Equal) << "colour " << c.Colour;
    }
    EXPECT_EQ(CountUsedColours(session), 4);
    EXPECT_EQ(CountUsedColours(MakeSession({})), 0);
    // Colour numbers outside 0..7 (damaged data) are not colours in use.
    EXPECT_EQ(CountUsedColours(MakeSession({{"x", -1, 8, {}}, {"y", 5, 5, {}}})), 1);
}

} // namespace
// clang-format on
