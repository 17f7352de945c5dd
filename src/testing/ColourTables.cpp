#include "testing/ColourTables.h"

#include <stdexcept>

// The tables below are aligned by hand, one case a line.
// clang-format off

namespace {

struct TableInfo {
    int size;
    int firstIndex;
    std::string caption;
    std::string keyPrefix;
};

const std::array<TableInfo, ColourTableCount> tables = {{
    {5, 0, "Ахроматическая таблица (серых цветов)", "BWColor"},
    {8, 5, "Таблица восьмицветного субтеста", "Color"},
    {4, 13, "Таблица основных цветов", "MainColor"},
    {4, 17, "Таблица синих цветов", "BlueColor"},
    {4, 21, "Таблица зеленых цветов", "GreenColor"},
    {4, 25, "Таблица желтых цветов", "YellowColor"},
    {4, 29, "Таблица красных цветов", "RedColor"},
}};

const TableInfo &info(ColourTable table) { return tables.at(static_cast<size_t>(table)); }

const std::string empty;

} // namespace

const ColourSet DefaultColours = {
    // Achromatic
    MakeColour(174, 174, 174), MakeColour(89, 89, 89), MakeColour(0, 0, 0), MakeColour(238, 238, 238),
    MakeColour(255, 255, 255),
    // Eight-colour: grey, blue, green, red, yellow, violet, brown, black
    MakeColour(89, 89, 89), MakeColour(0, 80, 97), MakeColour(0, 109, 60), MakeColour(255, 97, 0),
    MakeColour(255, 198, 0), MakeColour(141, 44, 101), MakeColour(165, 101, 0), MakeColour(0, 0, 0),
    // Main
    MakeColour(0, 80, 97), MakeColour(0, 109, 60), MakeColour(255, 97, 0), MakeColour(255, 198, 0),
    // Blue
    MakeColour(0, 80, 97), MakeColour(0, 97, 85), MakeColour(85, 0, 85), MakeColour(76, 117, 113),
    // Green
    MakeColour(117, 113, 76), MakeColour(0, 109, 60), MakeColour(68, 93, 0), MakeColour(121, 129, 0),
    // Yellow
    MakeColour(186, 109, 0), MakeColour(137, 133, 0), MakeColour(218, 105, 0), MakeColour(255, 198, 0),
    // Red
    MakeColour(133, 64, 0), MakeColour(109, 0, 60), MakeColour(255, 97, 0), MakeColour(186, 97, 0),
};

const std::array<std::string, 8> ColourNames = {"Серый",  "Синий",      "Зеленый",    "Красный",
                                                 "Желтый", "Фиолетовый", "Коричневый", "Черный"};

const std::array<std::string, 4> ShadeLetters = {"I", "D", "O", "P"};

int TableSize(ColourTable table) { return info(table).size; }

int ColourIndex(ColourTable table, int entry)
{
    const TableInfo &t = info(table);
    if (entry < 1 || entry > t.size)
        throw std::out_of_range("colour table entry out of range");
    return t.firstIndex + entry - 1;
}

ColourTable FourColourTable(int tableNumber)
{
    if (tableNumber < 1 || tableNumber > 5)
        throw std::out_of_range("four-colour table number out of range");
    return static_cast<ColourTable>(static_cast<int>(ColourTable::Main) + tableNumber - 1);
}

const std::string &TableCaption(ColourTable table) { return info(table).caption; }
const std::string &TableKeyPrefix(ColourTable table) { return info(table).keyPrefix; }

std::string ColourKey(ColourTable table, int entry)
{
    ColourIndex(table, entry); // range check
    return info(table).keyPrefix + std::to_string(entry);
}

std::string SwatchLabel(ColourTable table, int entry)
{
    ColourIndex(table, entry);
    switch (table) {
    case ColourTable::Achromatic:
    case ColourTable::EightColour:
        // Swatches show colour numbers, which start at 0 while entries start at 1.
        return std::to_string(entry - 1);
    default:
        return ShadeLetters[static_cast<size_t>(entry - 1)];
    }
}

const std::string &ColourName(int colourNumber)
{
    if (colourNumber < 0 || colourNumber > 7)
        return empty;
    return ColourNames[static_cast<size_t>(colourNumber)];
}

std::pair<int, int> PairOrder(int pairIndex)
{
    static const std::array<std::pair<int, int>, 6> order = {{{1, 4}, {2, 3}, {1, 2}, {3, 4}, {1, 3}, {2, 4}}};
    if (pairIndex < 1 || pairIndex > 6)
        throw std::out_of_range("pair index out of range");
    return order[static_cast<size_t>(pairIndex - 1)];
}
// clang-format on
