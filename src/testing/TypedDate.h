#pragma once

#include <string_view>

// Reading a date as a person types it: day, month and year, with separators
// (".", "/", "-", ",", blank) or as digits only ("15031985").
enum class TypedDateState {
    Invalid,      // cannot become a date by typing on
    Intermediate, // may become one
    Complete,     // a whole date
};

struct TypedDate {
    TypedDateState State = TypedDateState::Invalid;
    int Year = 0;
    int Month = 0;
    int Day = 0;
};

// While typing a year needs all four digits; when finishing (the person
// leaves the field) two digits do too, and "150385" is read as 15.03.1985:
// a two-digit year not after this year's is of this century, else of the
// last.
TypedDate ReadTypedDate(std::string_view text, int currentYear, bool finishing);
