#include "interpretation/Findings.h"
#include "interpretation/EightColour.h"
#include "interpretation/InterpretationFixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string Findings(int kind, const Colours &first, const Colours &second, const char *separator = ",")
{
    auto session = SessionBuilder(kind).Choice(1, Tags(first)).Choice(2, Tags(second)).Build();
    MarkAnxietyCompensation(session);
    return BuildAdditionalFindings(session, separator);
}

const std::string NoDisorder = "\r\nНарушений саморегуляции вегетативной нервной системы (ВНС) не обнаружено.\r\n";
const std::string MildDisorder =
    "\r\nНезначительная неустойчивость саморегуляции ВНС, которая, скорее всего, еще не достигла опасных пределов.\r\n";
const std::string StrongDisorder =
    "\r\nЗначительная неустойчивость саморегуляции ВНС, которая существует уже давно и, возможно, успела привести к "
    "серьезным изменениям патофизиологического характера.\r\n";
const std::string SteadilyLow =
    "\r\nУстойчиво низкая работоспособность. \r\nПри текущей работоспособности, прогноз относительно работы, "
    "выполняемой в данное время, нельзя назвать благоприятным.\r\n";
const std::string Forecast = "\r\nПрогноз относительно текущей работы благоприятен - работа будет завершена и сделана "
                             "хорошо при условии, что это та работа, которая нравится.\r\nЦель: ";
const std::string High = "\r\nВысокая работоспособность.\r\nЭнергия направлена на выполнение работы, вероятно работа "
                         "является защитой (цвета \"рабочей группы\" соединяются вместе даже при небольшом усилии "
                         "необходимости концентрировать внимание).";
const std::string GreyAfter = "\r\nМожет непосредственно воспринимать только то, что связано с работой или "
                              "деятельностью (\"отключающий\" серый после полной \"рабочей группы\").";

const Colours Ascending{0, 1, 2, 3, 4, 5, 6, 7};
const Colours Neutral{3, 4, 2, 5, 1, 6, 0, 7};

TEST(AdditionalFindings, SingleAdministrationShowsOneCountPairAndOneIntensity)
{
    EXPECT_EQ(Findings(1, Ascending, Ascending),
              "\r\nЧисло тревог \"A\": 1\r\nЧисло компенсаций \"C\": 1"
              "\r\nИнтенсивность тревоги и компенсации: 3 (Статистика: 11,7 %, \"лучше\" - у 52,4 %, \"хуже\" - у "
              "35,9 %).\r\n"
                  + NoDisorder + SteadilyLow);
}

TEST(AdditionalFindings, IdenticalChoicesEndWithRigidity)
{
    // Grey first, then the whole working group in both choices.
    const Colours choice{0, 2, 3, 4, 1, 5, 6, 7};
    const std::string statistics = "3 (Статистика: 11,7 %, \"лучше\" - у 52,4 %, \"хуже\" - у 35,9 %).\r\n";
    EXPECT_EQ(Findings(2, choice, choice),
              "\r\nЧисло тревог \"A\" (по 1 выбору): 1\r\nЧисло компенсаций \"C\" (по 1 выбору): 1"
              "\r\nЧисло тревог \"A\" (по 2 выбору): 1\r\nЧисло компенсаций \"C\" (по 2 выбору): 1"
              "\r\nИнтенсивность тревоги и компенсации (по 1 выбору): "
                  + statistics + "Интенсивность тревоги и компенсации (по 2 выбору): " + statistics + NoDisorder
                  + "\r\nСтабильно высокая работоспособность - способность сохранять максимальную продуктивность "
                    "деятельности, несмотря на ее длительность и предполагаемые трудности (цельность \"рабочей "
                    "группы\" в начале ряда в обоих выборах)."
                    "\r\nРабота выполняется по привычке, машинально, без творческого включения (\"рабочей группе\" "
                    "предшествует \"отключающий\" серый)."
                  + Forecast
                  + "Повышение самоуважения и своего статуса в глазах других.\r\n"
                    "\r\nНепреклонность убеждений и эмоциональная ригидность (согласно абсолютной идентичности обоих "
                    "выборов цветов).\r\n");
}

TEST(AdditionalFindings, AmbivalenceExhaustionAndStrongDisorder)
{
    // Red and yellow lead choice 1 and close choice 2; blue and black open it.
    const Colours second{1, 7, 0, 2, 5, 6, 4, 3};
    EXPECT_EQ(Findings(4, Neutral, second, "."),
              "\r\nЧисло тревог \"A\" (по 1 выбору): 0\r\nЧисло компенсаций \"C\" (по 1 выбору): 0"
              "\r\nЧисло тревог \"A\" (по 2 выбору): 2\r\nЧисло компенсаций \"C\" (по 2 выбору): 3"
              "\r\nИнтенсивность тревоги и компенсации (по 1 выбору): 0 (Статистика: 25.9 %, \"лучше\" - у 0 %, "
              "\"хуже\" - у 74.1 %).\r\n"
              "Интенсивность тревоги и компенсации (по 2 выбору): 8 (Статистика: 3.4 %, \"лучше\" - у 92.1 %, "
              "\"хуже\" - у 4.5 %).\r\n"
                  + StrongDisorder
                  + "\r\nНизкая работоспособность вследствие истощения. \r\nПри текущей работоспособности, прогноз "
                    "относительно работы, выполняемой в данное время, нельзя назвать благоприятным.\r\n"
                    "Причины снижения работоспособности:\r\n"
                    "- истощение физической энергии;\r\n"
                    "- снижение удовлетворенности от работы и возрастание сомнений в целесообразности и "
                    "эффективности действий;\r\n"
                    "\r\nАмбивалентное отношение к цвету (нравится и отталкивает, предпочитается и отвергается):\r\n"
                    "Красный цвет (3) стоит на 1-й позиции в первом выборе и на 8-й позиции во втором выборе "
                    "(интерпретируется как +3-3 группа).\r\n"
                    "Желтый цвет (4) стоит на 2-й позиции в первом выборе и на 7-й позиции во втором выборе "
                    "(интерпретируется как +4-4 группа).\r\n");
}

struct RegulationCase {
    const char *name;
    Colours first;
    Colours second;
    const std::string *sentence;
};

const RegulationCase RegulationCases[] = {
    {"both conditions", Neutral, {1, 7, 0, 2, 5, 6, 4, 3}, &StrongDisorder},
    {"blue and black first only", Neutral, {1, 7, 0, 3, 4, 2, 5, 6}, &MildDisorder},
    {"red and yellow last only", Neutral, {1, 0, 2, 5, 6, 3, 4, 7}, &MildDisorder},
    {"neither", Neutral, Ascending, &NoDisorder},
    {"both, but in choice 1 only", {1, 7, 0, 2, 5, 6, 4, 3}, Neutral, &NoDisorder},
};

class RegulationTable : public ::testing::TestWithParam<RegulationCase> {};

TEST_P(RegulationTable, ReadsTheSecondChoice)
{
    const auto &c = GetParam();
    const auto text = Findings(2, c.first, c.second);
    for (const auto *sentence : {&NoDisorder, &MildDisorder, &StrongDisorder}) {
        if (sentence == c.sentence)
            EXPECT_THAT(text, HasSubstr(*sentence));
        else
            EXPECT_THAT(text, Not(HasSubstr(*sentence)));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RegulationTable, ::testing::ValuesIn(RegulationCases), CaseName());

struct CapacityCase {
    const char *name;
    Colours first;
    Colours second;
    std::string block;
};

// Every case shows no autonomic disorder, no ambivalence and different
// choices, so the capacity block is all that follows the autonomic sentence.
const CapacityCase CapacityCases[] = {
    {"high, group at 1-3",
     Ascending,
     {3, 2, 4, 1, 0, 5, 6, 7},
     High + Forecast + "Желание почувствовать достижение победы в борьбе с чем-то, что решено было преодолеть.\r\n"},
    {"high, grey right after a group at 1-3",
     Ascending,
     {4, 3, 2, 0, 1, 5, 6, 7},
     High + GreyAfter + Forecast
         + "Удовольствие от планирования и мысленного переноса к будущей интересной деятельности.\r\n"},
    {"high, grey right after a group at 2-4, goal from position 2",
     Ascending,
     {1, 2, 3, 4, 0, 5, 6, 7},
     High + GreyAfter + Forecast + "Повышение самоуважения и своего статуса в глазах других.\r\n"},
    {"group split within the first four",
     Ascending,
     {2, 1, 3, 4, 0, 5, 6, 7},
     "\r\nНевысокая работоспособность (цвета \"рабочей группы\" расположены в первой половине ряда, но не образуют "
     "единой цельной группы).\r\nПри текущей работоспособности могут возникнуть проблемы при выполнении текущей "
     "работы.\r\n"},
    {"exhausted, all three reasons",
     {2, 3, 4, 0, 1, 5, 6, 7},
     {0, 1, 5, 6, 3, 2, 4, 7},
     "\r\nНизкая работоспособность вследствие истощения. \r\nПри текущей работоспособности, прогноз относительно "
     "работы, выполняемой в данное время, нельзя назвать благоприятным.\r\nПричины снижения работоспособности:\r\n"
     "- волевые расстройства, потеря целеустремленности и общая астенизация нервной системы;\r\n"
     "- истощение физической энергии;\r\n"
     "- снижение удовлетворенности от работы и возрастание сомнений в целесообразности и эффективности "
     "действий;\r\n"},
    {"steadily low", {0, 1, 5, 6, 3, 2, 4, 7}, Ascending, SteadilyLow},
};

class CapacityTable : public ::testing::TestWithParam<CapacityCase> {};

TEST_P(CapacityTable, WritesOneBranch)
{
    const auto &c = GetParam();
    const auto text = Findings(2, c.first, c.second);
    const auto at = text.find(NoDisorder);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.substr(at + NoDisorder.size()), c.block);
}

INSTANTIATE_TEST_SUITE_P(Cases, CapacityTable, ::testing::ValuesIn(CapacityCases), CaseName());

TEST(IntensityStatistics, SharesAreShownWithTheCallersSeparator)
{
    struct Case {
        int intensity;
        const char *separator;
        std::array<std::string, 3> shares;
    };
    const Case cases[] = {
        {0, ",", {"25,9", "0", "74,1"}},
        {1, ",", {"12,2", "25,9", "61,9"}},
        {7, ",", {"4,8", "87,3", "7,9"}},
        {10, ".", {"1.4", "97.9", "0.7"}},
        {11, ",", {"0,6", "99,3", "0,21"}},
        {12, ",", {"0,1", "99,9", "0"}},
        {-1, ",", {"", "", ""}},
        {13, ",", {"", "", ""}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IntensityShares(c.intensity, c.separator), c.shares) << "intensity " << c.intensity;
}

TEST(IntensityStatistics, ThreeSharesMakeTheWholePopulation)
{
    // Exactly, lower and higher add up to 100 %, which catches a mistyped
    // figure; the published row for 11 is 0.11 % over.
    for (std::size_t i = 0; i < 13; ++i) {
        const int total = IntensityStatistics[0][i] * 10 + IntensityStatistics[1][i] + IntensityStatistics[2][i];
        EXPECT_EQ(total, i == 11 ? 10011 : 10000) << "intensity " << i;
    }
}

} // namespace
