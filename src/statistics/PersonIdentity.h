#pragma once

#include "core/ListedRow.h"
#include "core/TCLTSession.h"

#include <string>

// Who a session is of, as one text: surname, first name, patronymic and
// birth date, with letter case, "ё" against "е" and surrounding blanks not
// counting, so sessions typed a little differently still meet. Sessions of
// the same person give the same key; the key is what a person code is made
// from, never written anywhere itself.
std::string PersonIdentityKey(const TCLTSession &session);
std::string PersonIdentityKey(const ListedRow &session);

// Lower case for Latin and Russian letters, "ё" as "е", blanks trimmed; other
// bytes as they are. UTF-8 in and out.
std::string FoldedName(const std::string &text);
