#include "core/ListedTable.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t blockBytes = std::size_t{1} << 20;
}

std::string_view ListedTable::TextOf(const Row &row, Text which) const
{
    std::size_t offset = row.Offset;
    for (int i = 0; i < which; ++i)
        offset += row.Lengths[i];
    return {blocks[row.Block].get() + offset, row.Lengths[which]};
}

bool ListedTable::Fits(const std::string_view (&texts)[Path], std::string_view folderPrefix, std::string_view name)
{
    return std::all_of(std::begin(texts), std::end(texts), [](std::string_view t) { return t.size() <= MostTextBytes; })
        && folderPrefix.size() + name.size() <= MostTextBytes;
}

ListedTable::Row ListedTable::Make(const Row &fixed, const std::string_view (&texts)[Path],
                                   std::string_view folderPrefix, std::string_view name)
{
    Row row = fixed;
    std::size_t total = folderPrefix.size() + name.size();
    for (const std::string_view t : texts)
        total += t.size();
    if (blocks.empty() || blockUsed + total > blockSize) {
        blockSize = std::max(blockBytes, total);
        blocks.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
        blockUsed = 0;
    }
    row.Block = static_cast<std::uint32_t>(blocks.size() - 1);
    row.Offset = static_cast<std::uint32_t>(blockUsed);
    char *at = blocks.back().get() + blockUsed;
    for (int i = 0; i < Path; ++i) {
        std::memcpy(at, texts[i].data(), texts[i].size());
        at += texts[i].size();
        row.Lengths[i] = static_cast<std::uint16_t>(texts[i].size());
    }
    std::memcpy(at, folderPrefix.data(), folderPrefix.size());
    std::memcpy(at + folderPrefix.size(), name.data(), name.size());
    row.Lengths[Path] = static_cast<std::uint16_t>(folderPrefix.size() + name.size());
    blockUsed += total;
    return row;
}

void ListedTable::Take(ListedTable &other)
{
    const auto base = static_cast<std::uint32_t>(blocks.size());
    // Grown by half at least: a list taken in tens of tables is not copied at each.
    const std::size_t needed = rows.size() + other.rows.size();
    if (needed > rows.capacity())
        rows.reserve(std::max(needed, rows.capacity() + rows.capacity() / 2));
    for (Row row : other.rows) {
        row.Block += base;
        rows.push_back(row);
    }
    for (auto &block : other.blocks)
        blocks.push_back(std::move(block));
    // Later texts go to a block of their own: the last one taken is other's.
    if (!other.blocks.empty()) {
        blockUsed = other.blockUsed;
        blockSize = other.blockSize;
    }
    other.Clear();
}

void ListedTable::Reorder(const std::vector<std::size_t> &order)
{
    std::vector<Row> sorted;
    sorted.reserve(order.size());
    for (const std::size_t i : order)
        sorted.push_back(rows[i]);
    rows = std::move(sorted);
}

void ListedTable::Clear()
{
    rows.clear();
    blocks.clear();
    blockUsed = 0;
    blockSize = 0;
}
