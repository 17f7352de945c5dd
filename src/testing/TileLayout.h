#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Place of one colour tile in the test area, in pixels.
struct TileRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TileRect &) const = default;
};

// n tiles side by side in an area width x height: 10 pixels of margin and
// gap, equal integer widths, full height less the margins. Sizes never go
// below 0 however small the area.
std::vector<TileRect> LayOutTileRects(int count, int width, int height);

// Uniform integer in 0..bound-1. Injected so a test can fix the sequence.
using RandomSource = std::function<int(int bound)>;

// A source drawing from a Mersenne twister with the given seed.
RandomSource SeededRandom(uint32_t seed);
// A source seeded from the clock, for the running program.
RandomSource ClockSeededRandom();

// A random permutation of the tags 1..8: draws 0..7 and keeps each new value
// (+1) until all eight are there, so every order is equally likely.
std::vector<int> NewTileOrder(const RandomSource &random);
