#pragma once

#include "core/OleDate.h"
#include "core/SessionContext.h"
#include "core/SessionFigures.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TCLTSession;

// A session of the list as the rows show, filter, search and count it: its
// list fields, figures and file. The texts are views into the list (or into
// the session object it holds), valid while the session stays in the list.
struct ListedRow {
    OleDate StartedAt = 0;
    std::int32_t DurationSeconds = 0;
    std::int32_t TestKind = 0;
    std::string_view FirstName;
    std::string_view Surname;
    std::string_view Patronymic;
    std::string_view Group;
    std::uint8_t Sex = 0;
    OleDate BirthDate = 0;
    double Age = 0; // as TCLTSession::ComputeAge derives it
    std::optional<SessionFigures> Figures;
    std::string_view Path; // the file it was read from or written to; empty when never stored
    const SessionContext *Context = nullptr;
    // The session object the list holds for it, if any (a new session, or
    // one shown, selected or printed); nothing else needs one.
    const TCLTSession *Held = nullptr;
};

// The row view of a session object (which must outlive it).
ListedRow RowOf(const TCLTSession &session);
// "Surname First Patronymic (sex, age), group", as the list shows a session.
std::string DisplayNameOf(const ListedRow &row);
