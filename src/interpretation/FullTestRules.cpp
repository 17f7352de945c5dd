#include "interpretation/FullTestRules.h"

#include "interpretation/EightColour.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>

namespace {

const std::string LineBreak = "\r\n";

const std::string AchromaticTitle =
    "Характеристика общего настроения (самочувствие, реакции и настроение в данный момент и при данных "
    "обстоятельствах, при относительно нейтральном положении, без перегрузок и кризисных обстоятельств "
    "(ахроматическая таблица)):";

// Headings of the function codes 1..5, each ending with a line break.
const std::array<std::string, 5> FunctionSectionHeadings{
    "II. Устремление (поведение, к которому стремятся, которого добиваются как цели, желаемые цели и средства "
    "эмоционального поведения; устремления и защитное эмоциональное поведение (\"+\"-функция восьмицветного "
    "субтеста)):\r\n",
    "III. Состояние (существующее эмоциональное положение, текущее состояние, собственно настрой, уместное "
    "эмоциональное поведение (\"x\"-функция восьмицветного субтеста)):\r\n",
    "IV. Индифферентность (сдерживаемые качества, временно утраченные свойства, отложенные возможности, "
    "ограничиваемые, воспринимаемые как неуместные и находящиеся в резерве (\"=\"-функция восьмицветного "
    "субтеста)):\r\n",
    "V. Отклонение (источники неосознаваемой тревожности, сознательно заторможенные потребности ввиду "
    "нецелесообразности (\"-\"-функция восьмицветного субтеста)):\r\n",
    "VI. Актуальная эмоциональная проблема (возможно поведение, являющееся следствием стресса (\"+-\"-функция - "
    "напряжение \"+\" и \"-\" групп в восьмицветном субтесте)):\r\n",
};

// One section per four-colour table, in table order (main, blue, green,
// yellow, red); each title names the table whose counts key its entry.
struct TableSection {
    const char *Numeral;
    const char *Title;
    int Kind;
    int Table;
};
const std::array<TableSection, 5> TableSections{{
    {"VII. ", "Стремления, мотивированные самопониманием (таблица основных цветов):", 9, 1},
    {"VIII. ", "Эмоциональное отношение к высокозначимым лицам (таблица синих цветов):", 10, 2},
    {"IX. ", "Характеристика воли и самооценка (таблица зеленых цветов):", 11, 3},
    {"X. ", "Ожидания и отношение к окружению (таблица желтых цветов):", 12, 4},
    {"XI. ", "Возбудимость и импульсивность (таблица красных цветов):", 13, 5},
}};

const std::string ContradictoryResult =
    "Противоречивый результат, не подлежащий стандартной интерпретации. Возможно наличие устойчивого "
    "расстройства невротического или психотического характера.";

const std::string CubeTitle = "XII. Основная эмоциональная структура (суммарная оценка по модели \"куб\"):";

const std::string RecommendationsHeading =
    "Терапевтические рекомендации (в соответствии с наиболее выраженными тревогами и/или компенсациями): ";

const TCLTOutcome &Entry(const TCLTKnowledgeBase &base, int index) { return base[static_cast<std::size_t>(index)]; }

int FindAchromaticEntry(const TCLTSession &session, const TCLTKnowledgeBase &base)
{
    return FindOutcome(
        base, 8, {session.AchromaticChoice[1] - 1, session.AchromaticChoice[2] - 1, session.AchromaticChoice[3] - 1});
}

int FindTableEntry(const TCLTSession &session, const TCLTKnowledgeBase &base, int kind, int table)
{
    const auto &wins = session.PairWins[table];
    return FindOutcome(base, kind, {wins[1], wins[2], wins[3], wins[4]});
}

std::string VectorText(const OneBased<int, 4> &values)
{
    std::string text;
    for (int value : values)
        text += value == UndeterminedScore ? std::string(" ±") : " " + std::to_string(value);
    return text;
}

} // namespace

ShadeRange ShadeNorm(int shade)
{
    static const std::array<ShadeRange, 4> norms{{{3, 7}, {3, 8}, {5, 10}, {3, 9}}};
    return norms.at(static_cast<std::size_t>(shade - 1));
}

int FindOutcome(const TCLTKnowledgeBase &base, int kind, std::initializer_list<int> keys)
{
    for (std::size_t i = 0; i < base.Count(); ++i) {
        const TCLTOutcome &entry = base[i];
        if (entry.Kind != kind)
            continue;
        const std::array<int, 4> entryKeys{entry.Key1, entry.Key2, entry.Key3, entry.Key4};
        bool matches = keys.size() <= entryKeys.size();
        std::size_t k = 0;
        for (auto key = keys.begin(); matches && key != keys.end(); ++key, ++k)
            matches = entryKeys[k] == *key;
        if (matches)
            return static_cast<int>(i);
    }
    return -1;
}

int ShadeScoreFromCounts(const int (&counts)[4])
{
    int zeros = 0;
    int threes = 0;
    int sum = 0;
    for (int v : counts) {
        zeros += v == 0;
        threes += v == 3;
        sum += v;
    }
    if (zeros >= 3)
        return 0;
    if (threes >= 3)
        return 12;

    // The two strongest and the two weakest preferences; a spread of four or
    // more between equally sized pairs leaves the shade undetermined.
    int high = 3 * threes;
    int highCount = threes;
    for (int v : counts) {
        if (highCount >= 2)
            break;
        if (v == 2) {
            high += v;
            ++highCount;
        }
    }

    int low = 0;
    int lowCount = zeros;
    for (int fill : {1, 2}) {
        for (int v : counts) {
            if (lowCount >= 2)
                break;
            if (v == fill) {
                low += v;
                ++lowCount;
            }
        }
    }

    if (lowCount == highCount && high - low >= 4)
        return UndeterminedScore;
    return sum;
}

int ShadeTendencyFor(int shade, int score)
{
    if (score == UndeterminedScore)
        return UndeterminedScore;
    const ShadeRange norm = ShadeNorm(shade);
    if (score < norm.Lowest)
        return -shade;
    if (score > norm.Highest)
        return shade;
    return 0;
}

void ComputeCube(TCLTSession &session)
{
    for (int s = 1; s <= 4; ++s) {
        const int counts[4] = {session.PairWins[2][s], session.PairWins[3][s], session.PairWins[4][s],
                               session.PairWins[5][s]};
        session.ShadeScore[s] = ShadeScoreFromCounts(counts);
        // Set from the shade index itself, not by flipping the stored value,
        // so a second run cannot turn a tendency around.
        session.ShadeTendency[s] = ShadeTendencyFor(s, session.ShadeScore[s]);
    }
}

std::vector<int> CubePairEntries(const TCLTSession &session, const TCLTKnowledgeBase &base)
{
    std::vector<int> found;
    const auto takesPart = [](int tendency) { return tendency != 0 && tendency != UndeterminedScore; };
    for (int i = 1; i <= 3; ++i) {
        for (int j = i + 1; j <= 4; ++j) {
            const int a = session.ShadeTendency[i];
            const int b = session.ShadeTendency[j];
            if (!takesPart(a) || !takesPart(b))
                continue;
            const std::array<std::pair<int, int>, 4> keys{{{a, b}, {b, a}, {-a, -b}, {-b, -a}}};
            for (const auto &[first, second] : keys) {
                const int index = FindOutcome(base, 14, {first, second});
                if (index >= 0)
                    found.push_back(index);
            }
        }
    }
    return found;
}

std::vector<std::string> FullTestSectionHeadings()
{
    const auto line = [](std::string text) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
            text.pop_back();
        return text;
    };
    std::vector<std::string> headings{"I. " + AchromaticTitle};
    for (const std::string &heading : FunctionSectionHeadings)
        headings.push_back(line(heading));
    for (const TableSection &section : TableSections)
        headings.push_back(std::string(section.Numeral) + section.Title);
    headings.push_back(CubeTitle);
    headings.push_back(line(RecommendationsHeading));
    return headings;
}

std::string BuildFullTestBrief(const TCLTSession &session, const TCLTKnowledgeBase &base)
{
    std::string text;

    const int achromatic = FindAchromaticEntry(session, base);
    if (achromatic >= 0)
        text += LineBreak + BriefTableEntryText(Entry(base, achromatic)) + LineBreak;

    for (const auto &group : session.FunctionGroups) {
        const int index = FindOutcomeForGroup(base, &group);
        if (index >= 0)
            text += LineBreak + BriefTableEntryText(Entry(base, index)) + LineBreak;
    }

    for (int kind = 9; kind <= 13; ++kind) {
        const int index = FindTableEntry(session, base, kind, kind - 8);
        if (index >= 0)
            text += LineBreak + BriefTableEntryText(Entry(base, index));
    }
    text += LineBreak;

    for (int index : CubePairEntries(session, base))
        text += LineBreak + BriefTableEntryText(Entry(base, index)) + LineBreak;
    return text;
}

std::string BuildFullTestDetailed(const TCLTSession &session, const TCLTKnowledgeBase &base,
                                  std::string_view decimalSeparator)
{
    const auto entryText = [&](int index) { return DetailedTableEntryText(Entry(base, index), decimalSeparator); };
    std::string text;

    const int achromatic = FindAchromaticEntry(session, base);
    if (achromatic >= 0)
        text += "I. " + AchromaticTitle + LineBreak + entryText(achromatic) + LineBreak;

    for (int code = 1; code <= 5; ++code) {
        text += LineBreak + FunctionSectionHeadings[static_cast<std::size_t>(code - 1)];
        for (const auto &group : session.FunctionGroups) {
            if (group.FunctionCode != code)
                continue;
            const int index = FindOutcomeForGroup(base, &group);
            if (index >= 0)
                text += entryText(index) + LineBreak;
        }
    }

    for (const TableSection &section : TableSections) {
        text += LineBreak + section.Numeral + section.Title + LineBreak;
        const int index = FindTableEntry(session, base, section.Kind, section.Table);
        if (index >= 0) {
            text += entryText(index) + LineBreak;
        } else {
            for (int count : session.PairWins[section.Table])
                text += std::to_string(count);
            text += LineBreak + ContradictoryResult + LineBreak;
        }
    }

    text = LineBreak + text + LineBreak + CubeTitle + LineBreak;
    text += LineBreak + "Вектор \"Сумма\": " + VectorText(session.ShadeScore);
    text += LineBreak + "Вектор \"Отклонение от нормы\": " + VectorText(session.ShadeTendency);
    text += LineBreak;
    for (int index : CubePairEntries(session, base))
        text += LineBreak + entryText(index) + LineBreak;

    const int firstWeight = session.AcWeight[2][1];
    const int lastWeight = session.AcWeight[2][8];
    if (firstWeight > 0 || lastWeight > 0)
        text += LineBreak + RecommendationsHeading + LineBreak;
    if (firstWeight > 0) {
        const int index = FindOutcome(base, 6, {session.Choice[2][1] - 1, 0});
        if (index >= 0)
            text += LineBreak + MarkEntryText(Entry(base, index), firstWeight) + LineBreak;
    }
    if (lastWeight > 0) {
        const int index = FindOutcome(base, 7, {session.Choice[2][8] - 1, 0});
        if (index >= 0)
            text += LineBreak + MarkEntryText(Entry(base, index), lastWeight) + LineBreak;
    }
    return text;
}
