// Times decoding stored Windows-1251 text into UTF-8 (Cp1251ToUtf8 with the
// file's key) against the previous decoder, which stays in the library for
// processors without SSSE3: a 256-entry table of UTF-8 sequences for every
// byte, and whole eight-byte words for plain ASCII. Both run in the same
// process on the same texts, alternating, and the best of several rounds is
// taken for each.
//
//   cp1251_bench [texts per round]          (default 4000)
#include "core/Cp1251.h"
#include "core/TSimpleFileStream.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;

std::string tableDecode(std::string_view bytes, unsigned char key) { return TableCp1251ToUtf8(bytes, key); }

std::string currentDecode(std::string_view bytes, unsigned char key) { return Cp1251ToUtf8(bytes, key); }

std::string copyOnly(std::string_view bytes, unsigned char) { return std::string(bytes); }

// Keeps the compiler from dropping work whose result is not used.
void escape(const void *p) { asm volatile("" : : "r"(p) : "memory"); }

using Decoder = std::string (*)(std::string_view, unsigned char);

double timeRound(Decoder decode, const std::string &stored, int texts, std::size_t &checksum)
{
    const auto start = Clock::now();
    for (int i = 0; i < texts; ++i) {
        const std::string text = decode(stored, ScrambleKey);
        escape(text.data());
        checksum += text.size() + static_cast<unsigned char>(text[static_cast<std::size_t>(i) % text.size()]);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void benchText(const char *what, const std::string &utf8, int texts)
{
    const std::string stored = Scramble(Utf8ToCp1251(utf8));
    if (currentDecode(stored, ScrambleKey) != utf8 || tableDecode(stored, ScrambleKey) != utf8) {
        std::printf("%s: a decoder does not give the text back\n", what);
        std::exit(1);
    }
    const Decoder decoders[] = {currentDecode, tableDecode, copyOnly};
    double best[] = {1e300, 1e300, 1e300};
    std::size_t checksum = 0;
    for (int round = 0; round < 15; ++round)
        for (std::size_t d = 0; d < 3; ++d)
            best[d] = std::min(best[d], timeRound(decoders[d], stored, texts, checksum));
    std::printf("%-44s %6zu bytes  %8.2f ms  table %8.2f ms  ratio %5.2f   (copy %5.2f ms; checksum %zu)\n", what,
                stored.size(), best[0], best[1], best[0] / best[1], best[2], checksum);
}

std::string repeat(const std::string &text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    const int texts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4000;
    std::printf("%d texts per round, best of 15 rounds, decoder now against the table decoder:\n", texts);
    // The conclusion texts of a session (as in list_bench).
    const std::string brief = "Стремление к признанию и успеху, потребность в активной деятельности. ";
    const std::string detailed = "Испытуемый нуждается в спокойной обстановке, избегает конфликтов и ищет "
                                 "понимания со стороны окружающих; возможна повышенная утомляемость. ";
    benchText("Russian conclusion texts", repeat(brief, 7) + repeat(detailed, 14), texts);
    // Letters outside А..я and typographic marks take the table.
    const std::string marks = "Её «ожидания» — №3 в списке: ещё раз, чётко и спокойно, без упрёков. ";
    benchText("Russian, dense marks (yo, quotes, dash, No)", repeat(marks, 36), texts);
    benchText("a surname", "Александрова", texts * 50);
    benchText("a long surname", "Константинопольская", texts * 50);
    benchText("a full name and a group", "Александрова Мария Сергеевна, Бухгалтерия", texts * 20);
    const std::string plain = "Needs a calm setting, avoids conflict; tires easily (2 of 8). ";
    benchText("plain ASCII", repeat(plain, 40), texts);
    return 0;
}
