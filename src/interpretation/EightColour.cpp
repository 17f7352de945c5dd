#include "interpretation/EightColour.h"

#include <array>

namespace {

constexpr int Anxiety = 1;
constexpr int Compensation = 2;

// Signs one choice by the stable pairs against the other choice; groups are
// added only for choice 2.
void SignByPairs(TCLTSession &session, int choice)
{
    auto &sign = session.FunctionSign[choice];
    const bool withGroups = choice == 2;
    auto colour = [&](int position) { return ColourAt(session, choice, position); };
    auto stable = [&](int i) { return IsStablePair(session, choice, i, i + 1); };
    auto group = [&](int code, int a, int b) {
        if (withGroups)
            AddFunctionGroup(session, code, colour(a), colour(b));
    };

    // "+"
    const bool plusPair = stable(1);
    sign[1] = 1;
    if (plusPair) {
        sign[2] = 1;
        group(1, 1, 2);
    } else {
        group(1, 1, 1);
    }

    // "x"
    int nextFree;
    if (stable(2)) {
        sign[2] = sign[3] = 2;
        group(2, 2, 3);
        nextFree = 4;
    } else {
        const int s = plusPair ? 3 : 2;
        if (stable(s)) {
            sign[s] = sign[s + 1] = 2;
            group(2, s, s + 1);
            nextFree = s + 2;
        } else {
            sign[s] = 2;
            group(2, s, s);
            nextFree = s + 1;
        }
    }

    // "-"
    const bool minusPair = stable(7);
    sign[8] = 4;
    if (minusPair) {
        sign[7] = 4;
        group(4, 7, 8);
    } else {
        group(4, 8, 8);
    }

    // "=": the positions left between "x" and "-".
    const int zoneEnd = minusPair ? 6 : 7;
    const int zoneLength = zoneEnd - nextFree + 1;
    int pairedEnd = zoneEnd;
    if (minusPair && zoneLength > 2 && stable(6)) {
        sign[6] = sign[7] = 3;
        group(3, 6, 7);
        pairedEnd = 5;
    }
    for (int k = nextFree; k <= pairedEnd; ++k)
        sign[k] = 3;
    const int pairedLength = pairedEnd - nextFree + 1;
    for (int a = nextFree; a + 1 <= pairedEnd; a += 2)
        group(3, a, a + 1);
    if (pairedLength % 2 == 1)
        group(3, pairedEnd - 1, pairedEnd);

    if (withGroups)
        for (int k = nextFree; k <= zoneEnd; ++k)
            group(3, k, k);
}

void AddTensionGroups(TCLTSession &session)
{
    static constexpr std::array<std::pair<int, int>, 9> pairs{
        {{1, 8}, {1, 7}, {2, 8}, {2, 7}, {1, 6}, {2, 6}, {3, 8}, {3, 7}, {3, 6}}};
    auto colour = [&](int position) { return ColourAt(session, 2, position); };
    if (session.CountAnxieties(2) >= 2 || session.CountCompensations(2) >= 2) {
        for (const auto &[p, q] : pairs)
            if ((p == 1 || session.AcMark[2][p] > 0) && (q == 8 || session.AcMark[2][q] > 0))
                AddFunctionGroup(session, 5, colour(p), colour(q));
    } else {
        AddFunctionGroup(session, 5, colour(1), colour(8));
    }
}

} // namespace

int ColourAt(const TCLTSession &session, int choice, int position) { return session.Choice[choice][position] - 1; }

bool IsMainColour(int colourNumber) { return colourNumber >= 1 && colourNumber <= 4; }

bool IsAchromaticColour(int colourNumber) { return colourNumber == 0 || colourNumber == 6 || colourNumber == 7; }

void MarkAnxietyCompensation(TCLTSession &session)
{
    for (int r = 1; r <= 2; ++r) {
        auto &mark = session.AcMark[r];
        auto &weight = session.AcWeight[r];
        auto n = [&](int position) { return ColourAt(session, r, position); };

        if (IsMainColour(n(6)))
            mark[6] = mark[7] = mark[8] = Anxiety;
        else if (IsMainColour(n(7)))
            mark[7] = mark[8] = Anxiety;
        else if (IsMainColour(n(8)))
            mark[8] = Anxiety;

        const bool anyAnxiety = mark[6] == Anxiety || mark[7] == Anxiety || mark[8] == Anxiety;
        if (IsAchromaticColour(n(3)))
            mark[1] = mark[2] = mark[3] = Compensation;
        else if (IsAchromaticColour(n(2)))
            mark[1] = mark[2] = Compensation;
        else if (IsAchromaticColour(n(1)) || anyAnxiety)
            mark[1] = Compensation;

        if (mark[8] != Anxiety && (mark[1] == Compensation || mark[2] == Compensation || mark[3] == Compensation))
            mark[8] = Anxiety;

        // A weight belongs to the colour standing there, not to the mark.
        if (IsMainColour(n(6)))
            weight[6] = 1;
        if (IsMainColour(n(7)))
            weight[7] = 2;
        if (IsMainColour(n(8)))
            weight[8] = 3;
        if (IsAchromaticColour(n(3)))
            weight[3] = 1;
        if (IsAchromaticColour(n(2)))
            weight[2] = 2;
        if (IsAchromaticColour(n(1)))
            weight[1] = 3;

        int intensity = 0;
        for (int w : weight)
            if (w > 0)
                intensity += w;
        session.AcIntensity[r] = intensity;
    }
}

bool IsStablePair(const TCLTSession &session, int choice, int i, int j)
{
    const auto &c = session.Choice[choice];
    const auto &o = session.Choice[choice == 1 ? 2 : 1];
    auto sameTwo = [&](int a, int b) { return (o[a] == c[i] && o[b] == c[j]) || (o[b] == c[i] && o[a] == c[j]); };
    if (sameTwo(i, j))
        return true;
    if (i > 1 && sameTwo(i - 1, j - 1))
        return true;
    if (j < 8 && sameTwo(i + 1, j + 1))
        return true;
    return false;
}

bool AddFunctionGroup(TCLTSession &session, int code, int first, int second)
{
    for (const auto &group : session.FunctionGroups)
        if (group.FunctionCode == code && group.FirstColour == first && group.SecondColour == second)
            return false;
    auto &group = session.FunctionGroups.AddNew();
    group.FunctionCode = code;
    group.FirstColour = first;
    group.SecondColour = second;
    return true;
}

bool BuildFunctionGroups(TCLTSession &session)
{
    session.FunctionGroups.Clear();
    for (int r = 1; r <= 2; ++r)
        session.FunctionSign[r].fill(0);

    if (session.TestKind == 1) {
        for (int g = 1; g <= 4; ++g) {
            for (int r = 1; r <= 2; ++r)
                session.FunctionSign[r][2 * g - 1] = session.FunctionSign[r][2 * g] = g;
            AddFunctionGroup(session, g, ColourAt(session, 2, 2 * g - 1), ColourAt(session, 2, 2 * g));
        }
    } else {
        SignByPairs(session, 1);
        SignByPairs(session, 2);
    }

    AddTensionGroups(session);

    // A colour liked in the first choice and rejected in the second.
    if (session.AmbivalentPosition(1) >= 0) {
        const int c = ColourAt(session, 1, 1);
        AddFunctionGroup(session, 5, c, c);
    }
    if (session.AmbivalentPosition(2) >= 0) {
        const int c = ColourAt(session, 1, 2);
        AddFunctionGroup(session, 5, c, c);
    }
    return true;
}

int FindOutcomeForGroup(const TCLTKnowledgeBase &base, const TCLTFunctionGroup *group)
{
    if (group == nullptr)
        return -1;
    // Function codes 1..5 are kinds whose lookup compares Key1 and Key2 only.
    return LookupOutcome(base, group->FunctionCode, group->FirstColour, group->SecondColour);
}

int FindOutcomeForGroup(const TCLTKnowledgeBase &base, const TCLTSession &session, int groupIndex)
{
    if (groupIndex < 0 || static_cast<std::size_t>(groupIndex) >= session.FunctionGroups.Count())
        return -1;
    return FindOutcomeForGroup(base, &session.FunctionGroups[static_cast<std::size_t>(groupIndex)]);
}

const std::string &FunctionHeading(int code)
{
    static const std::array<std::string, 6> headings{
        "",
        "Желаемые цели, или Поведение, руководимое желаемыми целями (\"+\"-функция):\r\n",
        "Существующая ситуация, или Поведение, уместное в существующей ситуации (\"x\"-функция):\r\n",
        "Сдерживаемые свойства, или Поведение, неуместное в существующей ситуации (\"=\"-функция):\r\n",
        "Отвергаемые или подавляемые свойства или Свойства, имеющие тревожную нагрузку "
        "(\"-\"-функция):\r\n",
        "\"Актуальная проблема\" или Поведение, являющееся следствием стресса (\"+-\"-функция):\r\n",
    };
    return headings.at(code >= 1 && code <= 5 ? static_cast<std::size_t>(code) : 0);
}

std::string BuildBriefFunctionText(const TCLTSession &session, const TCLTKnowledgeBase &base, std::string_view opening)
{
    std::string text(opening);
    for (const auto &group : session.FunctionGroups) {
        const int index = FindOutcomeForGroup(base, &group);
        if (index >= 0)
            text += "\r\n" + BriefEntryText(base[static_cast<std::size_t>(index)]);
    }
    return text;
}

std::string BuildDetailedFunctionText(const TCLTSession &session, const TCLTKnowledgeBase &base,
                                      std::string_view opening, std::string_view decimalSeparator)
{
    std::string text(opening);
    for (int code = 1; code <= 5; ++code) {
        text += "\r\n" + FunctionHeading(code);
        for (const auto &group : session.FunctionGroups) {
            if (group.FunctionCode != code)
                continue;
            const int index = FindOutcomeForGroup(base, &group);
            if (index >= 0)
                text += DetailedEntryText(base[static_cast<std::size_t>(index)], decimalSeparator) + "\r\n";
        }
    }
    return text;
}
