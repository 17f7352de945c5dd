#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The keys the interpretation rules can ask the knowledge base for, by entry
// kind. Keys a lookup does not compare are 0.
using EntryKeys = std::array<int32_t, 4>;

// Keys a lookup of this kind compares: 2, 3 or 4; 0 for a kind no lookup
// asks for.
int ComparedKeyCount(int kind);

// Every key of the kind that some session can make a lookup ask for, sorted;
// empty for a kind no lookup asks for.
//   1-5  every ordered pair of colour numbers, single colours included
//   6    the achromatic colours grey, brown, black (0, 6, 7), second key 0
//   7    the main colours blue, green, red, yellow (1 to 4), second key 0
//   8    every ordered triple of distinct greys
//   9-13 every win vector the pair comparisons of a table can produce
//   14   every tendency pair the cube can ask for
std::vector<EntryKeys> KeysAskedFor(int kind);

// The same keys grouped as one session asks for them: a single key for kinds
// 1 to 13; for a cube pair with tendencies a and b the four keys a b, b a,
// -a -b, -b -a, every entry found among them being shown. So one entry
// answers a cube pair, and two answer it together.
std::vector<std::vector<EntryKeys>> QuestionsFor(int kind);

// The win counts of the four shades of one table after its six pair
// comparisons, over every way the comparisons can go (a tie is put to the
// person once more and then stands, so every outcome can be final); sorted.
std::vector<std::array<int, 4>> PossibleWinVectors();
