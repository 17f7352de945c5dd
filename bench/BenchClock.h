#pragma once

#include <chrono>

using BenchClock = std::chrono::steady_clock;

inline double msSince(BenchClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}
