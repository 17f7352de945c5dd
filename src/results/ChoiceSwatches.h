#pragma once

#include "core/TCLTSession.h"
#include "testing/ColourTables.h"

class SwatchPanel;

// How a session's choices are laid out as swatches and captions on a panel
// of the detail view. Positions follow the panel's current width.

// Replaces the drawing with eight-colour choice 1 or 2; the second stays
// empty for a test with a single choice.
void DrawEightColourChoice(SwatchPanel &panel, const TCLTSession &session, int choice, const ColourSet &colours);

// Replaces the drawing with the full-test grid: the achromatic picks, the
// five four-colour tables with their pair counts, and the cube rows.
void DrawFullTestGrid(SwatchPanel &panel, const TCLTSession &session, const ColourSet &colours);
