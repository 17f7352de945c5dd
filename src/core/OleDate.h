#pragma once

// OLE Automation dates: days since 1899-12-30 00:00 local time, the fraction
// being the time of day. No time zone is stored, so conversion is pure
// calendar arithmetic.
using OleDate = double;

struct LocalDateTime {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;

    bool operator==(const LocalDateTime &) const = default;
};

// Exact to the millisecond both ways (the fraction is rounded to the nearest
// millisecond when reading back).
OleDate ToOleDate(const LocalDateTime &when);
LocalDateTime FromOleDate(OleDate date);

// Whole milliseconds between two OLE dates (later - earlier), each rounded to
// its millisecond first so floating-point noise never loses a unit.
long long MillisecondsBetween(OleDate earlier, OleDate later);

// The date part (midnight) of an OLE date.
OleDate DatePart(OleDate date);
