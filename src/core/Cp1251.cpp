#include "Cp1251.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace {

// Code points of the bytes 0x80..0xBF; 0x98 has no character and maps to the
// C1 control of the same number so every byte survives a round trip.
constexpr std::array<char32_t, 64> upperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

constexpr char32_t toCodePoint(unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    if (byte < 0xC0)
        return upperHalf[byte - 0x80];
    return 0x0410 + (byte - 0xC0); // А..я
}

const std::unordered_map<char32_t, unsigned char> &reverseTable()
{
    static const std::unordered_map<char32_t, unsigned char> table = [] {
        std::unordered_map<char32_t, unsigned char> t;
        for (int b = 0x80; b < 0x100; ++b)
            t.emplace(toCodePoint(static_cast<unsigned char>(b)), static_cast<unsigned char>(b));
        return t;
    }();
    return table;
}

// UTF-8 of every Windows-1251 byte, padded to four bytes so the decoder can
// store a whole entry and step by its length.
struct Utf8Of {
    std::array<char, 4> Bytes{};
    unsigned char Length = 0;
};

constexpr std::array<Utf8Of, 256> makeUtf8Table()
{
    std::array<Utf8Of, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = toCodePoint(static_cast<unsigned char>(b));
        Utf8Of &entry = table[static_cast<std::size_t>(b)];
        if (cp < 0x80) {
            entry.Bytes[0] = static_cast<char>(cp);
            entry.Length = 1;
        } else if (cp < 0x800) {
            entry.Bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
            entry.Bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
            entry.Length = 2;
        } else {
            entry.Bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
            entry.Bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            entry.Bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
            entry.Length = 3;
        }
    }
    return table;
}

constexpr std::array<Utf8Of, 256> utf8Table = makeUtf8Table();

// Appends the UTF-8 of one Windows-1251 byte; the padding of the entry lands
// where the next character is written.
char *putCharacter(char *next, unsigned char byte)
{
    const Utf8Of &entry = utf8Table[byte];
    std::memcpy(next, entry.Bytes.data(), 4);
    return next + entry.Length;
}

// The texts of a session are most of its bytes. One pass into room for the
// longest result (three bytes a character), then one exact-size copy, so the
// archive keeps no slack; eight-byte words of plain ASCII are copied whole.
std::string decode(std::string_view bytes, unsigned char key)
{
    constexpr uint64_t ones = 0x0101010101010101ULL;
    constexpr uint64_t highBits = 0x8080808080808080ULL;
    const uint64_t keys = ones * key;
    const char *in = bytes.data();
    const std::size_t size = bytes.size();
    // Left uninitialised: every byte that is kept is written first.
    const auto out = std::make_unique_for_overwrite<char[]>(size * 3 + 4); // + the padding of the last entry
    char *next = out.get();
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, in + i, 8);
        word ^= keys;
        if ((word & highBits) == 0) {
            std::memcpy(next, &word, 8);
            next += 8;
            continue;
        }
        for (std::size_t k = i; k < i + 8; ++k)
            next = putCharacter(next, static_cast<unsigned char>(in[k] ^ key));
    }
    for (; i < size; ++i)
        next = putCharacter(next, static_cast<unsigned char>(in[i] ^ key));
    return std::string(out.get(), static_cast<std::size_t>(next - out.get()));
}

} // namespace

std::string Cp1251ToUtf8(std::string_view cp1251) { return decode(cp1251, 0); }

std::string Cp1251ToUtf8(std::string_view masked, unsigned char xorKey) { return decode(masked, xorKey); }

std::string Utf8ToCp1251(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    const auto &table = reverseTable();
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        int length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
        char32_t cp = length == 4 ? (lead & 0x07) : length == 3 ? (lead & 0x0F) : (lead & 0x1F);
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid) {
            // A broken sequence stands for one unknown character.
            out += '?';
            ++i;
            continue;
        }
        const auto found = table.find(cp);
        out += found != table.end() ? static_cast<char>(found->second) : '?';
        i += static_cast<std::size_t>(length);
    }
    return out;
}
