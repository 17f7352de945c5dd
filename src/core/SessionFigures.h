#pragma once

#include <array>
#include <cstdint>

// What the group statistics read of a session besides its list fields, small
// enough for the list to hold for every session: the colour tags of both
// eight-colour choices by position, the intensity of anxiety and
// compensation of each choice, and how many anxieties and compensations each
// marks. Stored values are kept as they are, only narrowed with saturation
// (a value outside the byte's range stays outside every valid range).
struct SessionFigures {
    std::array<std::array<std::int8_t, 8>, 2> Choice{}; // [choice-1][position-1]
    std::array<std::int8_t, 2> Intensity{};
    std::array<std::uint8_t, 2> Anxieties{};
    std::array<std::uint8_t, 2> Compensations{};

    bool operator==(const SessionFigures &) const = default;
};
