#pragma once

#include <string>

// "1 ч 2 мин 3 сек": hours and minutes only when they are not 0.
std::string DurationText(int seconds);
