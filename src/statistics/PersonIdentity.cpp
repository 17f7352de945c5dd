#include "statistics/PersonIdentity.h"

#include <cstdio>

namespace {

void appendUtf8(std::string &out, unsigned code)
{
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
}

} // namespace

std::string FoldedName(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 'A' && byte <= 'Z') {
            out += static_cast<char>(byte - 'A' + 'a');
        } else if ((byte == 0xD0 || byte == 0xD1) && i + 1 < text.size()) {
            const unsigned code = ((byte & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
            unsigned folded = code;
            if (code >= 0x410 && code <= 0x42F)
                folded = code + 0x20; // А..Я
            if (code == 0x401 || code == 0x451)
                folded = 0x435; // Ё, ё as е
            appendUtf8(out, folded);
            ++i;
        } else {
            out += static_cast<char>(byte);
        }
    }
    const auto first = out.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return out.substr(first, out.find_last_not_of(" \t") - first + 1);
}

std::string PersonIdentityKey(const TCLTSession &session) { return PersonIdentityKey(RowOf(session)); }

std::string PersonIdentityKey(const ListedRow &session)
{
    std::string birth;
    if (session.BirthDate != 0) {
        const LocalDateTime t = FromOleDate(session.BirthDate);
        char text[16];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.Year, t.Month, t.Day);
        birth = text;
    }
    // A unit separator cannot be typed into a name, so fields never run together.
    return FoldedName(std::string(session.Surname)) + '\x1f' + FoldedName(std::string(session.FirstName)) + '\x1f'
        + FoldedName(std::string(session.Patronymic)) + '\x1f' + birth;
}
