#include "interpretation/FullTestGrid.h"

#include "interpretation/FullTestRules.h"

#include <gtest/gtest.h>

namespace {

struct ShadeCase {
    int Shade;
    int Score;
    int Tendency;
    const char *ScoreText;
    const char *Norm;
    const char *Position;
};

// Every shade once with its own norm, undetermined values on two of them.
const ShadeCase ShadeCases[] = {
    {1, 6, 0, "6", "3-7", "0"},
    {2, UndeterminedScore, UndeterminedScore, "±", "3-8", "±2"},
    {3, 12, 3, "12", "5-10", "3"},
    {4, 2, UndeterminedScore, "2", "3-9", "±4"},
};

TEST(FullTestGrid, ShadeRowsShowScoreNormAndCubePosition)
{
    TCLTSession session;
    for (const ShadeCase &c : ShadeCases) {
        session.ShadeScore[c.Shade] = c.Score;
        session.ShadeTendency[c.Shade] = c.Tendency;
    }
    const FullTestGridCaptions captions = FullTestGridCaptionsOf(session);
    for (const ShadeCase &c : ShadeCases) {
        const auto at = static_cast<std::size_t>(c.Shade - 1);
        EXPECT_EQ(captions.Scores[at], c.ScoreText) << c.Shade;
        EXPECT_EQ(captions.Norms[at], c.Norm) << c.Shade;
        EXPECT_EQ(captions.Positions[at], c.Position) << c.Shade;
    }
}

TEST(FullTestGrid, GreysAreSignedFromZeroAndPicksOutsideTheTableShowNothing)
{
    struct Case {
        std::array<int, 3> Picks;
        std::array<const char *, 3> Texts;
    };
    const Case cases[] = {
        {{5, 1, 3}, {"+4", "+0", "-2"}},
        {{0, 6, 1}, {"", "", "-0"}},
        {{-1, 2, 5}, {"", "+1", "-4"}},
    };
    for (const Case &c : cases) {
        TCLTSession session;
        for (int i = 1; i <= 3; ++i)
            session.AchromaticChoice[i] = c.Picks[static_cast<std::size_t>(i - 1)];
        const FullTestGridCaptions captions = FullTestGridCaptionsOf(session);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_EQ(captions.Greys[i], c.Texts[i]) << c.Picks[0] << c.Picks[1] << c.Picks[2] << " at " << i;
    }
}

} // namespace
