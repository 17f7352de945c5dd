#pragma once

#include <QString>

#include <cstddef>

// "1 сеанс", "3 сеанса", "11 сеансов": the number and the noun in the form
// Russian gives it after that number.
QString CountWithNoun(std::size_t count, const QString &one, const QString &few, const QString &many);
