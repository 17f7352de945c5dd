#include "core/Cp1251.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_map>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

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

constexpr uint64_t ones = 0x0101010101010101ULL;
constexpr uint64_t highBits = 0x8080808080808080ULL;

// The table for each of count bytes; both decoders end with it.
char *putBytes(char *next, const char *in, std::size_t count, unsigned char key)
{
    for (std::size_t k = 0; k < count; ++k)
        next = putCharacter(next, static_cast<unsigned char>(in[k] ^ key));
    return next;
}

// A word of plain ASCII (already unscrambled) is copied whole.
bool putAscii(char *&next, uint64_t word)
{
    if ((word & highBits) != 0)
        return false;
    std::memcpy(next, &word, 8);
    next += 8;
    return true;
}

// The texts of a session are most of its bytes. One pass into room for the
// longest result (three bytes a character), then one exact-size copy, so the
// archive keeps no slack.
struct Decoding {
    explicit Decoding(std::size_t size) : Out(std::make_unique_for_overwrite<char[]>(size * 3 + 4)), Next(Out.get()) {}
    // Left uninitialised: every byte that is kept is written first. The 4
    // are the padding of the last table entry.
    std::unique_ptr<char[]> Out;
    char *Next;

    std::string Result() const { return std::string(Out.get(), static_cast<std::size_t>(Next - Out.get())); }
};

// Eight-byte words of plain ASCII are copied whole, every other byte goes
// through the table.
std::string tableDecode(std::string_view bytes, unsigned char key)
{
    const uint64_t keys = ones * key;
    const char *in = bytes.data();
    const std::size_t size = bytes.size();
    Decoding d(size);
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, in + i, 8);
        word ^= keys;
        if (putAscii(d.Next, word))
            continue;
        d.Next = putBytes(d.Next, in + i, 8, key);
    }
    d.Next = putBytes(d.Next, in + i, size - i, key);
    return d.Result();
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

// Russian text is mostly words of letters between spaces and commas. A
// letter 0xC0..0xEF is D0 90..D0 BF in UTF-8 and 0xF0..0xFF is D1 80..D1 8F,
// so a word of eight such bytes and ASCII is computed at once: lead and
// second bytes are interleaved, and one byte shuffle drops the lead of every
// ASCII byte. The shuffle needs SSSE3, which the baseline x86-64 target
// lacks, so the decoder is chosen at run time.
struct Shuffle {
    alignas(16) std::array<unsigned char, 16> Order{};
};

// Indexed by the letters of a word (bit k for byte k): the lead and second
// byte of each letter, the second byte alone (the ASCII byte) otherwise.
constexpr std::array<Shuffle, 256> makeShuffles()
{
    std::array<Shuffle, 256> shuffles{};
    for (unsigned letters = 0; letters < 256; ++letters) {
        std::size_t out = 0;
        for (unsigned k = 0; k < 8; ++k) {
            if (letters >> k & 1)
                shuffles[letters].Order[out++] = static_cast<unsigned char>(2 * k);
            shuffles[letters].Order[out++] = static_cast<unsigned char>(2 * k + 1);
        }
        for (; out < 16; ++out)
            shuffles[letters].Order[out] = 0x80; // zero, overwritten by what follows
    }
    return shuffles;
}

constexpr std::array<Shuffle, 256> shuffles = makeShuffles();

// The table decoder, with words of only ASCII and letters shuffled: no byte
// has its top bit set without the next. Each such word stores sixteen bytes,
// within the room for three bytes a character.
__attribute__((target("ssse3"))) std::string shuffleDecode(std::string_view bytes, unsigned char key)
{
    const uint64_t keys = ones * key;
    const char *in = bytes.data();
    const std::size_t size = bytes.size();
    Decoding d(size);
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, in + i, 8);
        word ^= keys;
        if (putAscii(d.Next, word))
            continue;
        if ((word & ~(word << 1) & highBits) != 0) {
            d.Next = putBytes(d.Next, in + i, 8, key);
            continue;
        }
        const uint64_t letters = (word >> 7) & ones;
        const uint64_t upper = (word >> 4) & (word >> 5) & letters;   // 0xF0..0xFF
        const uint64_t second = word - letters * 0x30 - (upper << 6); // an ASCII byte stays itself
        const uint64_t lead = ones * 0xD0 + upper;
        const __m128i pairs = _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(lead)),
                                                _mm_cvtsi64_si128(static_cast<long long>(second)));
        const auto letterBits = static_cast<std::size_t>((letters * 0x0102040810204080ULL) >> 56);
        const __m128i order = _mm_load_si128(reinterpret_cast<const __m128i *>(shuffles[letterBits].Order.data()));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(d.Next), _mm_shuffle_epi8(pairs, order));
        d.Next += 8 + ((letters * ones) >> 56);
    }
    d.Next = putBytes(d.Next, in + i, size - i, key);
    return d.Result();
}

std::string decode(std::string_view bytes, unsigned char key)
{
    static const bool shuffle = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    // Texts of one or two words (names, groups) measured slower shuffled.
    return shuffle && bytes.size() >= 24 ? shuffleDecode(bytes, key) : tableDecode(bytes, key);
}

#else

std::string decode(std::string_view bytes, unsigned char key) { return tableDecode(bytes, key); }

#endif

} // namespace

std::string Cp1251ToUtf8(std::string_view cp1251) { return decode(cp1251, 0); }

std::string Cp1251ToUtf8(std::string_view masked, unsigned char xorKey) { return decode(masked, xorKey); }

std::string TableCp1251ToUtf8(std::string_view masked, unsigned char xorKey) { return tableDecode(masked, xorKey); }

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
