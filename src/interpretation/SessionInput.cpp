#include "interpretation/SessionInput.h"

#include <algorithm>
#include <array>

bool IsTagPermutation(const OneBased<int, 8> &choice)
{
    std::array<bool, 9> seen{};
    for (int tag : choice) {
        if (tag < 1 || tag > 8 || seen[static_cast<std::size_t>(tag)])
            return false;
        seen[static_cast<std::size_t>(tag)] = true;
    }
    return true;
}

bool IsPairWinTable(const OneBased<int, 4> &wins)
{
    std::array<int, 4> sorted{};
    for (int s = 1; s <= 4; ++s) {
        if (wins[s] < 0 || wins[s] > 3)
            return false;
        sorted[static_cast<std::size_t>(s - 1)] = wins[s];
    }
    std::sort(sorted.begin(), sorted.end());
    int sum = 0;
    for (int k = 1; k <= 4; ++k) {
        sum += sorted[static_cast<std::size_t>(k - 1)];
        if (sum < k * (k - 1) / 2)
            return false;
    }
    return sum == 6;
}

std::string FindSessionInputFault(const TCLTSession &session)
{
    if (session.TestKind < 1 || session.TestKind > 4)
        return "TestKind " + std::to_string(session.TestKind) + " is not a test kind (1 to 4)";

    const int choices = session.TestKind == 1 ? 1 : 2;
    for (int r = 1; r <= choices; ++r)
        if (!IsTagPermutation(session.Choice[r]))
            return "Choice " + std::to_string(r) + " is not a permutation of the colour tags 1 to 8";

    if (session.TestKind == 3) {
        const auto &grey = session.AchromaticChoice;
        for (int k = 1; k <= 3; ++k)
            if (grey[k] < 1 || grey[k] > 5)
                return "AchromaticChoice holds " + std::to_string(grey[k]) + ", not a grey tile 1 to 5";
        if (grey[1] == grey[2] || grey[1] == grey[3] || grey[2] == grey[3])
            return "AchromaticChoice does not hold three different grey tiles";
        for (int t = 1; t <= 5; ++t)
            if (!IsPairWinTable(session.PairWins[t]))
                return "PairWins of table " + std::to_string(t)
                    + " cannot come from the six pair comparisons of a four-colour table";
    }

    if (session.TestKind == 4 && session.CtoItems.Count() < 2)
        return "a Colour Relations Test needs at least two stimuli, found " + std::to_string(session.CtoItems.Count());
    for (std::size_t i = 0; i < session.CtoItems.Count(); ++i)
        for (int p = 1; p <= 2; ++p) {
            const int colour = session.CtoItems[i].AssociatedColour[p];
            if (colour < 0 || colour > 7)
                return "stimulus " + std::to_string(i + 1) + " has associated colour " + std::to_string(colour)
                    + " in pass " + std::to_string(p) + ", not a colour 0 to 7";
        }
    return {};
}

void PrepareForInterpretation(TCLTSession &session)
{
    if (session.TestKind == 1)
        session.Choice[2] = session.Choice[1];

    const TCLTSession fresh;
    session.FunctionSign = fresh.FunctionSign;
    session.AcMark = fresh.AcMark;
    session.AcWeight = fresh.AcWeight;
    session.AcIntensity = fresh.AcIntensity;
    session.FunctionGroups.Clear();
    session.ShadeScore = fresh.ShadeScore;
    session.ShadeTendency = fresh.ShadeTendency;
    for (auto &item : session.CtoItems)
        item.AssociationRank = TCTOChoiceItem().AssociationRank;
    session.BriefConclusion.clear();
    session.DetailedConclusion.clear();
    session.AdditionalFindings.clear();
}
