#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

// A colour value: red in the lowest byte, green next, blue third, 0 on top.
using ColourValue = uint32_t;

constexpr ColourValue MakeColour(int red, int green, int blue)
{
    return static_cast<ColourValue>(red & 0xFF) | (static_cast<ColourValue>(green & 0xFF) << 8)
        | (static_cast<ColourValue>(blue & 0xFF) << 16);
}
constexpr int RedOf(ColourValue c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(ColourValue c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(ColourValue c) { return static_cast<int>((c >> 16) & 0xFF); }

// The seven tables in the order of the 33 stored colours.
enum class ColourTable { Achromatic, EightColour, Main, Blue, Green, Yellow, Red };

constexpr int ColourTableCount = 7;
constexpr int ColourCount = 33;

// Entries of a table: 5, 8 or 4.
int TableSize(ColourTable table);
// Position of (table, entry 1..size) in the 33 colours, 0-based.
int ColourIndex(ColourTable table, int entry);
// Four-colour table by its number 1..5 (main, blue, green, yellow, red).
ColourTable FourColourTable(int tableNumber);

// Caption on the preferences page, the preference key prefix ("BWColor",
// "Color", "MainColor"...), the full key of an entry ("Color4"), and the
// label under a swatch ("0".."7", "0".."4", "I" "D" "O" "P").
const std::string &TableCaption(ColourTable table);
const std::string &TableKeyPrefix(ColourTable table);
std::string ColourKey(ColourTable table, int entry);
std::string SwatchLabel(ColourTable table, int entry);

// The 33 colours: achromatic 5, eight-colour 8, main, blue, green, yellow, red 4 each.
using ColourSet = std::array<ColourValue, ColourCount>;
extern const ColourSet DefaultColours;

// Names of the colour numbers 0..7 ("Серый" ... "Черный"); empty outside.
const std::string &ColourName(int colourNumber);
extern const std::array<std::string, 8> ColourNames;

// Shade letters of the four-colour tables, shade index 1..4.
extern const std::array<std::string, 4> ShadeLetters;

// The six pair comparisons of every four-colour table, pair index 1..6:
// (left shade, right shade).
std::pair<int, int> PairOrder(int pairIndex);
