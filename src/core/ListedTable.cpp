#include "core/ListedTable.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t blockBytes = std::size_t{1} << 20;
constexpr std::size_t segmentRows = 4096;
} // namespace

void ListedTable::Reserve(std::size_t count, bool rows)
{
    order.reserve(order.size() + count);
    if (rows && segmentSize - segmentUsed < count) {
        segmentSize = count;
        segments.push_back(std::make_unique_for_overwrite<Row[]>(segmentSize));
        segmentUsed = 0;
    }
}

void ListedTable::Append(const Row &row)
{
    if (segments.empty() || segmentUsed == segmentSize) {
        segmentSize = segmentRows;
        segments.push_back(std::make_unique_for_overwrite<Row[]>(segmentSize));
        segmentUsed = 0;
    }
    Row *at = segments.back().get() + segmentUsed++;
    *at = row;
    order.push_back(at);
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

bool ListedTable::Fits(const SessionListFields &f, std::string_view folderPrefix, std::string_view name)
{
    const std::string_view texts[] = {f.FirstName, f.Surname, f.Patronymic, f.Group};
    return Fits(texts, folderPrefix, name);
}

ListedTable::Row ListedTable::Make(const SessionListFields &f, const FileStamp &stamp, std::string_view folderPrefix,
                                   std::string_view name)
{
    Row fixed;
    fixed.Stamp = stamp;
    fixed.StartedAt = f.StartedAt;
    fixed.BirthDate = f.BirthDate;
    fixed.DurationSeconds = f.DurationSeconds;
    fixed.TestKind = f.TestKind;
    fixed.Sex = f.Sex;
    fixed.HasFigures = f.Figures.has_value();
    if (f.Figures)
        fixed.Figures = *f.Figures;
    const std::string_view texts[] = {f.FirstName, f.Surname, f.Patronymic, f.Group};
    return Make(fixed, texts, folderPrefix, name);
}

void ListedTable::Take(ListedTable &other)
{
    // Grown by half at least: a list taken in tens of tables is not copied at each.
    const std::size_t needed = order.size() + other.order.size();
    if (needed > order.capacity())
        order.reserve(std::max(needed, order.capacity() + order.capacity() / 2));
    order.insert(order.end(), other.order.begin(), other.order.end());
    // The rows point into other's blocks by number: renumbered to where those
    // blocks go. Later rows and texts go to other's last segment and block.
    const auto base = static_cast<std::uint32_t>(blocks.size());
    if (base != 0)
        for (std::size_t i = order.size() - other.order.size(); i < order.size(); ++i)
            order[i]->Block += base;
    for (auto &block : other.blocks)
        blocks.push_back(std::move(block));
    if (!other.blocks.empty()) {
        blockUsed = other.blockUsed;
        blockSize = other.blockSize;
    }
    for (auto &segment : other.segments)
        segments.push_back(std::move(segment));
    if (!other.segments.empty()) {
        segmentUsed = other.segmentUsed;
        segmentSize = other.segmentSize;
    }
    other.Clear();
}

void ListedTable::Reorder(const std::vector<std::size_t> &positions)
{
    std::vector<Row *> sorted;
    sorted.reserve(positions.size());
    for (const std::size_t i : positions)
        sorted.push_back(order[i]);
    order = std::move(sorted);
}

void ListedTable::Clear()
{
    order.clear();
    segments.clear();
    segmentUsed = segmentSize = 0;
    blocks.clear();
    blockUsed = blockSize = 0;
}
