#pragma once

#include "core/ListedRow.h"
#include "core/TCLTSession.h"

#include <string>
#include <string_view>

// Finding a person in the results list: the words typed are looked for in
// the surname, given name and patronymic, without regard to letter case and
// with "ё" read as "е", as people type them either way.

// The UTF-8 text with Latin and Cyrillic capitals made small and "ё" made
// "е"; other characters as they are.
std::string FoldForSearch(std::string_view text);

// The search text as it is compared: folded, blanks at both ends removed.
// Empty when nothing but blanks was typed.
std::string SearchKey(std::string_view typed);

// Whether the person's "Surname FirstName Patronymic" holds the key (made by
// SearchKey); every session matches an empty key.
bool NameMatches(const TCLTSession &session, std::string_view key);
// The person's "Surname FirstName Patronymic" folded as a key is: a list
// searched again and again keeps it per row instead of folding each time.
std::string SearchableName(const TCLTSession &session);
std::string SearchableName(const ListedRow &session);
