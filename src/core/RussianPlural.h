#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// "1 сеанс", "3 сеанса", "11 сеансов": the number and the noun in the form
// Russian gives it after that number.
std::string CountWithNoun(std::size_t count, std::string_view one, std::string_view few, std::string_view many);
