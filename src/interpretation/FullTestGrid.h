#pragma once

#include "core/TCLTSession.h"

#include <array>
#include <string>

// What the full-test grid of the results shows besides colours and pair
// counts, by the full-test rules; the Qt side only places these texts.
struct FullTestGridCaptions {
    // The three achromatic picks: "+N" for the first two, "-N" for the last,
    // N counted from 0; empty for a pick outside the table (nothing drawn).
    std::array<std::string, 3> Greys;
    // Per shade position 1..4 (index 0..3): the score ("±" when it cannot be
    // determined), its normal range ("3-7") and the cube position (the
    // tendency, "±s" when undetermined).
    std::array<std::string, 4> Scores;
    std::array<std::string, 4> Norms;
    std::array<std::string, 4> Positions;
};

FullTestGridCaptions FullTestGridCaptionsOf(const TCLTSession &session);
