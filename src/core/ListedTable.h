#pragma once

#include "core/FileStamp.h"
#include "core/OleDate.h"
#include "core/SessionFigures.h"
#include "core/SessionListFields.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The list fields of listed sessions in compact form: a row of fixed fields
// each, and their texts in shared blocks; rows and texts never move, so
// views into them stay good while rows are added, removed or reordered.
// About a hundred bytes a row and its texts.
// Built on the loading thread from the index's bytes and handed to the
// window whole: no object, no text of its own per session.
class ListedTable {
public:
    // The texts of a row, in the order they are stored.
    enum Text { FirstName, Surname, Patronymic, Group, Path, TextCount };

    struct Row {
        OleDate StartedAt = 0;
        OleDate BirthDate = 0;
        FileStamp Stamp;
        std::int32_t DurationSeconds = 0;
        std::int32_t TestKind = 0;
        std::uint32_t Block = 0;
        std::uint32_t Offset = 0;
        std::uint16_t Lengths[TextCount] = {};
        std::uint8_t Sex = 0;
        bool HasFigures = false;
        SessionFigures Figures;
    };

    // The longest text a row holds; a longer one (never written by the
    // program) needs a session object instead.
    static constexpr std::size_t MostTextBytes = 0xFFFF;

    std::size_t Count() const { return order.size(); }
    bool Empty() const { return order.empty(); }
    const Row &operator[](std::size_t i) const { return *order[i]; }
    Row &operator[](std::size_t i) { return *order[i]; }
    std::string_view TextOf(const Row &row, Text which) const;
    // The file name of the row: its path after folderPrefix.
    std::string_view NameOf(const Row &row, std::size_t folderPrefixBytes) const
    {
        return TextOf(row, Path).substr(folderPrefixBytes);
    }

    // A row with these fields and texts (the path as folderPrefix + name),
    // not yet in the table: fixed fields set, its texts copied into the
    // blocks. Texts must fit (Fits).
    Row Make(const Row &fixed, const std::string_view (&texts)[Path], std::string_view folderPrefix,
             std::string_view name);
    static bool Fits(const std::string_view (&texts)[Path], std::string_view folderPrefix, std::string_view name);
    // The same from a session's list fields and its file's stamp.
    Row Make(const SessionListFields &fields, const FileStamp &stamp, std::string_view folderPrefix,
             std::string_view name);
    static bool Fits(const SessionListFields &fields, std::string_view folderPrefix, std::string_view name);
    void Append(const Row &row);
    // Room for that many more rows: their places, and with rows also their
    // storage (made, and so taken from the system, at once: only for rows
    // sure to come, as a table read from the index).
    void Reserve(std::size_t count, bool rows = false);

    // Moves every row of other (emptied) to the end, with its texts. The
    // rows themselves stay where they are: only their places are copied, so
    // a list built on the loading thread is taken in at the cost of a
    // pointer a row.
    void Take(ListedTable &other);
    // Keeps the rows for which keep(i) is true, in their order.
    template <typename Keep>
    void KeepIf(Keep keep)
    {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < order.size(); ++i)
            if (keep(i))
                order[kept++] = order[i];
        order.resize(kept);
    }
    // Puts the rows in this order (a permutation of the positions).
    void Reorder(const std::vector<std::size_t> &positions);
    void Clear();

private:
    // Rows and texts live in storage that never moves; a removed row's place
    // stays taken until the table is cleared (a few a day).
    std::vector<Row *> order;
    std::vector<std::unique_ptr<Row[]>> segments;
    std::size_t segmentUsed = 0;
    std::size_t segmentSize = 0;
    std::vector<std::unique_ptr<char[]>> blocks;
    std::size_t blockUsed = 0;
    std::size_t blockSize = 0;
};
