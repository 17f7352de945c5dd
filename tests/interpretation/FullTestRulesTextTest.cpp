#include "interpretation/FullTestRules.h"
#include "support/SessionBuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

// The tables below are aligned by hand, one case a line.
// clang-format off

namespace {

// The fixed parts, written out as the user reads them.
const std::string SectionI =
    "I. Характеристика общего настроения (самочувствие, реакции и настроение в данный момент и при данных "
    "обстоятельствах, при относительно нейтральном положении, без перегрузок и кризисных обстоятельств "
    "(ахроматическая таблица)):\r\n";
const std::string SectionII =
    "II. Устремление (поведение, к которому стремятся, которого добиваются как цели, желаемые цели и средства "
    "эмоционального поведения; устремления и защитное эмоциональное поведение (\"+\"-функция восьмицветного "
    "субтеста)):\r\n";
const std::string SectionIII =
    "III. Состояние (существующее эмоциональное положение, текущее состояние, собственно настрой, уместное "
    "эмоциональное поведение (\"x\"-функция восьмицветного субтеста)):\r\n";
const std::string SectionIV =
    "IV. Индифферентность (сдерживаемые качества, временно утраченные свойства, отложенные возможности, "
    "ограничиваемые, воспринимаемые как неуместные и находящиеся в резерве (\"=\"-функция восьмицветного "
    "субтеста)):\r\n";
const std::string SectionV =
    "V. Отклонение (источники неосознаваемой тревожности, сознательно заторможенные потребности ввиду "
    "нецелесообразности (\"-\"-функция восьмицветного субтеста)):\r\n";
const std::string SectionVI =
    "VI. Актуальная эмоциональная проблема (возможно поведение, являющееся следствием стресса (\"+-\"-функция - "
    "напряжение \"+\" и \"-\" групп в восьмицветном субтесте)):\r\n";
const std::string SectionVII = "VII. Стремления, мотивированные самопониманием (таблица основных цветов):\r\n";
const std::string SectionVIII = "VIII. Эмоциональное отношение к высокозначимым лицам (таблица синих цветов):\r\n";
const std::string SectionIX = "IX. Характеристика воли и самооценка (таблица зеленых цветов):\r\n";
const std::string SectionX = "X. Ожидания и отношение к окружению (таблица желтых цветов):\r\n";
const std::string SectionXI = "XI. Возбудимость и импульсивность (таблица красных цветов):\r\n";
const std::string SectionXII = "XII. Основная эмоциональная структура (суммарная оценка по модели \"куб\"):\r\n";
const std::string Contradictory =
    "Противоречивый результат, не подлежащий стандартной интерпретации. Возможно наличие устойчивого "
    "расстройства невротического или психотического характера.\r\n";
const std::string Recommendations =
    "Терапевтические рекомендации (в соответствии с наиболее выраженными тревогами и/или компенсациями): \r\n";

struct EntrySpec {
    int Kind;
    std::array<int, 4> Keys;
    int RefNumber = 0;
    int FullTestStars = 0;
    double Percent = 0;
    const char *Heading = "";
    const char *PrimaryAction = "";
    const char *Psychologically = "";
    const char *Summary = "";
    const char *TableRemark = "";
};

TCLTKnowledgeBase MakeBase(std::initializer_list<EntrySpec> specs)
{
    TCLTKnowledgeBase base;
    for (const EntrySpec &spec : specs) {
        TCLTOutcome &entry = base.AddNew();
        entry.Kind = spec.Kind;
        entry.Key1 = spec.Keys[0];
        entry.Key2 = spec.Keys[1];
        entry.Key3 = spec.Keys[2];
        entry.Key4 = spec.Keys[3];
        entry.RefNumber = spec.RefNumber;
        entry.FullTestStars = spec.FullTestStars;
        entry.Percent = spec.Percent;
        entry.HeadingText = spec.Heading;
        entry.PrimaryActionText = spec.PrimaryAction;
        entry.PsychologicallyText = spec.Psychologically;
        entry.SummaryText = spec.Summary;
        entry.TableRemark = spec.TableRemark;
    }
    return base;
}

void SetTables(TCLTSession &session, const std::array<std::array<int, 4>, 5> &tables)
{
    for (int t = 1; t <= 5; ++t)
        for (int s = 1; s <= 4; ++s)
            session.PairWins[t][s] = tables[static_cast<std::size_t>(t - 1)][static_cast<std::size_t>(s - 1)];
}

// Brown first and red last in the second choice, both weighted; tables whose
// cube gives the tendencies -1, 2, 0 and undetermined.
TCLTSession RichSession()
{
    TCLTSession session = SessionBuilder(SessionBuilder::Clinical)
                              .Choice(1, {7, 3, 6, 1, 8, 2, 5, 4})
                              .Choice(2, {7, 3, 6, 1, 8, 2, 5, 4})
                              .FunctionGroup(1, 2, 4)
                              .FunctionGroup(2, 3, 3)
                              .FunctionGroup(3, 0, 5) // no entry
                              .FunctionGroup(4, 7, 6)
                              .FunctionGroup(1, 5, 5)
                              .FunctionGroup(5, 1, 1);
    session.AchromaticChoice[1] = 2;
    session.AchromaticChoice[2] = 5;
    session.AchromaticChoice[3] = 3;
    session.AcWeight[2][1] = 3;
    session.AcWeight[2][8] = 2;
    SetTables(session, {{{3, 2, 1, 0}, {1, 3, 2, 0}, {1, 3, 1, 1}, {0, 2, 1, 3}, {0, 1, 2, 3}}});
    return session;
}

TCLTKnowledgeBase RichBase()
{
    return MakeBase({
        {.Kind = 8, .Keys = {1, 4, 2, 0}, .RefNumber = 12, .FullTestStars = 2, .Heading = "Серое настроение",
         .PrimaryAction = "Серое действие", .Psychologically = "Серое психологически", .Summary = "Серое кратко"},
        {.Kind = 8, .Keys = {1, 4, 2, 0}, .Heading = "Ошибка: второе с теми же ключами"},
        {.Kind = 1, .Keys = {2, 4, 0, 0}, .Percent = 12.5, .Heading = "Плюс заголовок",
         .Psychologically = "Плюс психологически", .TableRemark = "примечание"},
        {.Kind = 2, .Keys = {3, 3, 0, 0}, .FullTestStars = 1, .Percent = 40, .Heading = "Икс заголовок",
         .Summary = "Икс кратко"},
        {.Kind = 4, .Keys = {7, 6, 0, 0}, .PrimaryAction = "Минус действие"},
        {.Kind = 1, .Keys = {5, 5, 0, 0}, .Heading = "Фиолетовый плюс"},
        {.Kind = 5, .Keys = {1, 1, 0, 0}, .Heading = "Проблема"},
        {.Kind = 9, .Keys = {3, 2, 1, 0}, .Heading = "Основная таблица"},
        {.Kind = 10, .Keys = {1, 3, 2, 0}, .Heading = "Синяя таблица", .Summary = "синее кратко"},
        // Kind 12 is the yellow table, kind 13 the red one; each would be
        // found under the other's counts if the two were mixed up.
        {.Kind = 12, .Keys = {0, 1, 2, 3}, .Heading = "Ошибка: желтая с красными ключами"},
        {.Kind = 13, .Keys = {0, 2, 1, 3}, .Heading = "Ошибка: красная с желтыми ключами"},
        {.Kind = 12, .Keys = {0, 2, 1, 3}, .Heading = "Желтая таблица"},
        {.Kind = 13, .Keys = {0, 1, 2, 3}, .Heading = "Красная таблица"},
        {.Kind = 14, .Keys = {1, -2, 0, 0}, .Heading = "Куб второй", .Summary = "куб второй кратко"},
        {.Kind = 14, .Keys = {2, -1, 0, 0}, .Heading = "Куб первый"},
        // Pairs with the tendency 0 of shade 3 or the undetermined shade 4.
        {.Kind = 14, .Keys = {0, -1, 0, 0}, .Heading = "Ошибка: нулевая тенденция"},
        {.Kind = 14, .Keys = {-1, 1000, 0, 0}, .Heading = "Ошибка: неопределенная тенденция"},
        {.Kind = 6, .Keys = {3, 0, 0, 0}, .Psychologically = "Ошибка: компенсация цветом последнего места"},
        {.Kind = 7, .Keys = {6, 0, 0, 0}, .Psychologically = "Ошибка: тревога цветом первого места"},
        {.Kind = 6, .Keys = {6, 0, 0, 0}, .Psychologically = "Компенсация коричневым"},
        {.Kind = 7, .Keys = {3, 0, 0, 0}, .Psychologically = "Тревога красным"},
    });
}

TEST(FullTestTexts, BriefStringsTheEntriesTogether)
{
    TCLTSession session = RichSession();
    const TCLTKnowledgeBase base = RichBase();
    ComputeCube(session);

    const std::string expected =
        "\r\nСерое настроение\r\nСерое действие\r\nСерое психологически\r\nСерое кратко\r\n"
        "\r\nПлюс заголовок\r\nПлюс психологически\r\n"
        "\r\nИкс заголовок\r\nИкс кратко\r\n"
        "\r\n\r\nМинус действие\r\n"
        "\r\nФиолетовый плюс\r\n"
        "\r\nПроблема\r\n"
        "\r\nОсновная таблица"
        "\r\nСиняя таблица\r\nсинее кратко"
        "\r\nЖелтая таблица"
        "\r\nКрасная таблица"
        "\r\n"
        "\r\nКуб первый\r\n"
        "\r\nКуб второй\r\nкуб второй кратко\r\n";
    EXPECT_EQ(BuildFullTestBrief(session, base), expected);
}

TEST(FullTestTexts, DetailedHasTwelveSectionsAndTheRecommendations)
{
    TCLTSession session = RichSession();
    const TCLTKnowledgeBase base = RichBase();
    ComputeCube(session);

    const std::string expected =
        "\r\n" + SectionI
        + "(12) +1 +4 -2 **\r\nСерое настроение\r\nПервичное действие: Серое действие\r\n"
          "Психологически: Серое психологически\r\nКратко: Серое кратко\r\n"
        + "\r\n" + SectionII
        + " +2 +4\r\nПлюс заголовок (Статистика: 12,5 %)\r\nПлюс психологически (примечание)\r\n"
          " +5\r\nФиолетовый плюс\r\n"
        + "\r\n" + SectionIII + " *3\r\nИкс заголовок (Статистика: 40,0 % *)\r\nКратко: Икс кратко\r\n"
        + "\r\n" + SectionIV
        + "\r\n" + SectionV + " -7 -6\r\nМинус действие\r\n"
        + "\r\n" + SectionVI + " +1 -1\r\nПроблема\r\n"
        + "\r\n" + SectionVII + "3210\r\nОсновная таблица\r\n"
        + "\r\n" + SectionVIII + "1320\r\nСиняя таблица\r\nКратко: синее кратко\r\n"
        + "\r\n" + SectionIX + "1311\r\n" + Contradictory
        + "\r\n" + SectionX + "0213\r\nЖелтая таблица\r\n"
        + "\r\n" + SectionXI + "0123\r\nКрасная таблица\r\n"
        + "\r\n" + SectionXII
        + "\r\nВектор \"Сумма\":  2 9 6 ±"
          "\r\nВектор \"Отклонение от нормы\":  -1 2 0 ±"
          "\r\n"
          "\r\n +2 -1\r\nКуб первый\r\n"
          "\r\n +1 -2\r\nКуб второй\r\nкуб второй кратко\r\n"
        + "\r\n" + Recommendations
        + "\r\n+6 (C !!!)\r\nКомпенсация коричневым\r\n"
          "\r\n-3 (A !!)\r\nТревога красным\r\n";
    EXPECT_EQ(BuildFullTestDetailed(session, base, ","), expected);
}

TEST(FullTestTexts, EmptyKnowledgeBaseLeavesOnlyTheFixedParts)
{
    TCLTSession session = RichSession();
    const TCLTKnowledgeBase base;
    ComputeCube(session);

    EXPECT_EQ(BuildFullTestBrief(session, base), "\r\n");

    const std::string expected =
        "\r\n"
        + ("\r\n" + SectionII) + ("\r\n" + SectionIII) + ("\r\n" + SectionIV) + ("\r\n" + SectionV)
        + ("\r\n" + SectionVI)
        + "\r\n" + SectionVII + "3210\r\n" + Contradictory
        + "\r\n" + SectionVIII + "1320\r\n" + Contradictory
        + "\r\n" + SectionIX + "1311\r\n" + Contradictory
        + "\r\n" + SectionX + "0213\r\n" + Contradictory
        + "\r\n" + SectionXI + "0123\r\n" + Contradictory
        + "\r\n" + SectionXII
        + "\r\nВектор \"Сумма\":  2 9 6 ±"
          "\r\nВектор \"Отклонение от нормы\":  -1 2 0 ±"
          "\r\n"
        + "\r\n" + Recommendations;
    EXPECT_EQ(BuildFullTestDetailed(session, base, ","), expected);
}

// Weights only on the first choice and on the last place of the second, no
// entry for that colour; the user's separator is a point.
TEST(FullTestTexts, RecommendationHeadingAloneAndThePassedSeparator)
{
    TCLTSession session = SessionBuilder(SessionBuilder::Clinical)
                              .Choice(1, {1, 2, 3, 4, 5, 6, 7, 8})
                              .Choice(2, {1, 2, 3, 4, 5, 6, 7, 8});
    session.AchromaticChoice[1] = 1;
    session.AchromaticChoice[2] = 2;
    session.AchromaticChoice[3] = 3;
    session.AcWeight[1][1] = 3;
    session.AcWeight[2][8] = 1;
    SetTables(session, {{{0, 1, 2, 3}, {3, 2, 1, 0}, {3, 2, 1, 0}, {3, 2, 1, 0}, {3, 2, 1, 0}}});
    const TCLTKnowledgeBase base = MakeBase({
        {.Kind = 9, .Keys = {0, 1, 2, 3}, .Percent = 33.3, .Heading = "Главное"},
        {.Kind = 6, .Keys = {0, 0, 0, 0}, .Psychologically = "Ошибка: вес первого места равен нулю"},
    });
    ComputeCube(session);

    EXPECT_EQ(BuildFullTestBrief(session, base), "\r\nГлавное\r\n");

    const std::string expected =
        "\r\n"
        + ("\r\n" + SectionII) + ("\r\n" + SectionIII) + ("\r\n" + SectionIV) + ("\r\n" + SectionV)
        + ("\r\n" + SectionVI)
        + "\r\n" + SectionVII + "0123\r\nГлавное (Статистика: 33.3 %)\r\n"
        + "\r\n" + SectionVIII + "3210\r\n" + Contradictory
        + "\r\n" + SectionIX + "3210\r\n" + Contradictory
        + "\r\n" + SectionX + "3210\r\n" + Contradictory
        + "\r\n" + SectionXI + "3210\r\n" + Contradictory
        + "\r\n" + SectionXII
        + "\r\nВектор \"Сумма\":  12 8 4 0"
          "\r\nВектор \"Отклонение от нормы\":  1 0 -3 -4"
          "\r\n"
        + "\r\n" + Recommendations;
    EXPECT_EQ(BuildFullTestDetailed(session, base, "."), expected);
}

struct WeightCase {
    int First;
    int Last;
    std::string Tail; // what follows the vectors
};

TEST(FullTestTexts, RecommendationsFollowTheWeightsOfTheSecondChoice)
{
    const TCLTKnowledgeBase base = MakeBase({
        {.Kind = 6, .Keys = {6, 0, 0, 0}, .Psychologically = "К"},
        {.Kind = 7, .Keys = {3, 0, 0, 0}, .Psychologically = "Т"},
    });
    const WeightCase cases[] = {
        {0, 0, ""},
        {1, 0, "\r\n" + Recommendations + "\r\n+6 (C !)\r\nК\r\n"},
        {0, 3, "\r\n" + Recommendations + "\r\n-3 (A !!!)\r\nТ\r\n"},
        {2, 1, "\r\n" + Recommendations + "\r\n+6 (C !!)\r\nК\r\n\r\n-3 (A !)\r\nТ\r\n"},
    };
    const std::string vectors = "\r\nВектор \"Сумма\":  2 9 6 ±"
                                "\r\nВектор \"Отклонение от нормы\":  -1 2 0 ±"
                                "\r\n";
    for (const WeightCase &c : cases) {
        TCLTSession session = RichSession();
        session.FunctionGroups.Clear();
        session.AcWeight[2][1] = c.First;
        session.AcWeight[2][8] = c.Last;
        ComputeCube(session);
        const std::string text = BuildFullTestDetailed(session, base, ",");
        const std::size_t at = text.find(vectors);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(text.substr(at + vectors.size()), c.Tail) << "weights " << c.First << " " << c.Last;
    }
}

} // namespace
// clang-format on
