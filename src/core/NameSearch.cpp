#include "core/NameSearch.h"

namespace {

void FoldInPlace(std::string &folded)
{
    for (std::size_t i = 0; i < folded.size(); ++i) {
        auto byte = static_cast<unsigned char>(folded[i]);
        if (byte >= 'A' && byte <= 'Z') {
            folded[i] = static_cast<char>(byte - 'A' + 'a');
            continue;
        }
        if ((byte != 0xD0 && byte != 0xD1) || i + 1 >= folded.size())
            continue;
        const auto next = static_cast<unsigned char>(folded[i + 1]);
        if (byte == 0xD0 && next >= 0x90 && next <= 0x9F) { // А..П -> а..п
            folded[i + 1] = static_cast<char>(next + 0x20);
        } else if (byte == 0xD0 && next >= 0xA0 && next <= 0xAF) { // Р..Я -> р..я
            folded[i] = static_cast<char>(0xD1);
            folded[i + 1] = static_cast<char>(next - 0x20);
        } else if ((byte == 0xD0 && next == 0x81) || (byte == 0xD1 && next == 0x91)) { // Ё, ё -> е
            folded[i] = static_cast<char>(0xD0);
            folded[i + 1] = static_cast<char>(0xB5);
        }
        ++i;
    }
}

} // namespace

std::string FoldForSearch(std::string_view text)
{
    std::string folded(text);
    FoldInPlace(folded);
    return folded;
}

std::string SearchKey(std::string_view typed)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!typed.empty() && blank(typed.front()))
        typed.remove_prefix(1);
    while (!typed.empty() && blank(typed.back()))
        typed.remove_suffix(1);
    return FoldForSearch(typed);
}

std::string SearchableName(const TCLTSession &session) { return SearchableName(RowOf(session)); }

std::string SearchableName(const ListedRow &session)
{
    std::string name;
    name.reserve(session.Surname.size() + session.FirstName.size() + session.Patronymic.size() + 2);
    name.append(session.Surname).append(1, ' ').append(session.FirstName).append(1, ' ').append(session.Patronymic);
    FoldInPlace(name);
    return name;
}

bool NameMatches(const TCLTSession &session, std::string_view key)
{
    return key.empty() || SearchableName(session).find(key) != std::string::npos;
}
