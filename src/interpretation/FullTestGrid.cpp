#include "interpretation/FullTestGrid.h"

#include "interpretation/FullTestRules.h"
#include "testing/ColourTables.h"

FullTestGridCaptions FullTestGridCaptionsOf(const TCLTSession &session)
{
    FullTestGridCaptions captions;
    for (int i = 1; i <= 3; ++i) {
        const int tile = session.AchromaticChoice[i];
        if (tile >= 1 && tile <= TableSize(ColourTable::Achromatic))
            captions.Greys[static_cast<std::size_t>(i - 1)] = (i < 3 ? "+" : "-") + std::to_string(tile - 1);
    }
    for (int shade = 1; shade <= 4; ++shade) {
        const auto at = static_cast<std::size_t>(shade - 1);
        const int score = session.ShadeScore[shade];
        captions.Scores[at] = score == UndeterminedScore ? "±" : std::to_string(score);
        const ShadeRange norm = ShadeNorm(shade);
        captions.Norms[at] = std::to_string(norm.Lowest) + "-" + std::to_string(norm.Highest);
        const int tendency = session.ShadeTendency[shade];
        captions.Positions[at] = tendency == UndeterminedScore ? "±" + std::to_string(shade) : std::to_string(tendency);
    }
    return captions;
}
