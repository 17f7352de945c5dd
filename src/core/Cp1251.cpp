#include "Cp1251.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
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

// UTF-8 of every Windows-1251 byte.
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

// The texts of a session are most of its bytes, and most of their letters
// are Cyrillic (0xC0..0xFF, two UTF-8 bytes each) or plain ASCII: both are
// computed without the table, eight bytes at a time where a whole word is of
// one kind. The exact length is counted first so the text is written once,
// straight into its string, and the archive keeps no slack.
constexpr uint64_t ones = 0x0101010101010101ULL;
constexpr uint64_t highBits = 0x8080808080808080ULL;
constexpr uint64_t sixthBits = 0x4040404040404040ULL;

// Bytes 0x80..0xBF: the only ones whose UTF-8 length needs the table.
uint64_t punctuationBytes(uint64_t word) { return word & ~(word << 1) & highBits; }

std::size_t utf8Length(const char *in, std::size_t size, uint64_t keys, unsigned char key)
{
    std::size_t length = size;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, in + i, 8);
        word ^= keys;
        length += static_cast<std::size_t>(std::popcount(word & highBits));
        if (punctuationBytes(word) != 0)
            for (std::size_t k = i; k < i + 8; ++k) {
                const auto byte = static_cast<unsigned char>(in[k] ^ key);
                length += utf8Table[byte].Length == 3;
            }
    }
    for (; i < size; ++i)
        length += utf8Table[static_cast<unsigned char>(in[i] ^ key)].Length - 1u;
    return length;
}

// А..п (0xC0..0xEF) are D0 90..D0 BF, р..я (0xF0..0xFF) are D1 80..D1 8F.
char *putCyrillic(char *next, unsigned char byte)
{
    const unsigned upper = byte >= 0xF0;
    next[0] = static_cast<char>(0xD0 + upper);
    next[1] = static_cast<char>(byte - 0x30 - 0x40 * upper);
    return next + 2;
}

char *putAny(char *next, unsigned char byte)
{
    if (byte < 0x80) {
        *next = static_cast<char>(byte);
        return next + 1;
    }
    if (byte >= 0xC0)
        return putCyrillic(next, byte);
    const Utf8Of &entry = utf8Table[byte];
    std::memcpy(next, entry.Bytes.data(), entry.Length);
    return next + entry.Length;
}

std::string decode(std::string_view bytes, unsigned char key)
{
    const uint64_t keys = ones * key;
    const char *in = bytes.data();
    const std::size_t size = bytes.size();
    // Zero-filled once by the string and then overwritten: still far cheaper
    // than a scratch buffer and a second copy.
    std::string out(utf8Length(in, size, keys, key), '\0');
    char *next = out.data();
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, in + i, 8);
        word ^= keys;
        if ((word & highBits) == 0) {
            std::memcpy(next, &word, 8);
            next += 8;
        } else if ((word & highBits & (word << 1)) == highBits) {
            for (int k = 0; k < 8; ++k)
                next = putCyrillic(next, static_cast<unsigned char>(word >> (8 * k)));
        } else {
            for (int k = 0; k < 8; ++k)
                next = putAny(next, static_cast<unsigned char>(word >> (8 * k)));
        }
    }
    for (; i < size; ++i)
        next = putAny(next, static_cast<unsigned char>(in[i] ^ key));
    return out;
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
