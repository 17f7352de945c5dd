#include "core/RussianPlural.h"

std::string CountWithNoun(std::size_t count, std::string_view one, std::string_view few, std::string_view many)
{
    const std::size_t lastTwo = count % 100;
    const std::size_t last = count % 10;
    const std::string_view noun = (last == 1 && lastTwo != 11)       ? one
        : (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) ? few
                                                                     : many;
    return std::to_string(count) + ' ' + std::string(noun);
}
