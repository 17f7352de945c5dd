#include "core/DurationText.h"

std::string DurationText(int seconds)
{
    const int hours = seconds / 3600;
    const int minutes = seconds % 3600 / 60;
    std::string text;
    if (hours != 0)
        text += std::to_string(hours) + " ч ";
    if (minutes != 0)
        text += std::to_string(minutes) + " мин ";
    return text + std::to_string(seconds % 60) + " сек";
}
