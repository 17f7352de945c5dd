#include "interpretation/ShownText.h"

namespace {

constexpr std::string_view ZeroWidthSpace = "\xE2\x80\x8B";

bool leadByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }
bool breaksRun(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

std::string WithBreakOpportunities(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size() + utf8.size() / LongestUnbrokenRun * ZeroWidthSpace.size());
    std::size_t run = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (breaksRun(c)) {
            run = 0;
        } else if (leadByte(c)) {
            if (utf8.substr(i, ZeroWidthSpace.size()) == ZeroWidthSpace) {
                run = 0;
            } else if (run == LongestUnbrokenRun) {
                out += ZeroWidthSpace;
                run = 1;
            } else {
                ++run;
            }
        }
        out += c;
    }
    return out;
}

std::string ShownText(std::string_view utf8)
{
    std::size_t characters = 0;
    std::size_t cut = utf8.size();
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (!leadByte(utf8[i]))
            continue;
        if (characters == MostShownCharacters)
            cut = i;
        ++characters;
    }
    if (cut == utf8.size())
        return WithBreakOpportunities(utf8);
    return WithBreakOpportunities(utf8.substr(0, cut))
        + "\r\n\r\n(Текст слишком длинный и показан не полностью: " + "первые " + std::to_string(MostShownCharacters)
        + " знаков из " + std::to_string(characters) + ". Целиком он хранится в файле сеанса.)";
}
