#pragma once

#include "core/OleDate.h"
#include "core/TCLTSession.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TSimpleFileStream;

// What the results list shows and filters on, all stored at the start of a
// session file: the list can be filled without reading the rest.
struct SessionListFields {
    OleDate StartedAt = 0;
    int32_t DurationSeconds = 0;
    int32_t TestKind = 0;
    std::string FirstName;
    std::string Surname;
    std::string Patronymic;
    std::string Group;
    uint8_t Sex = 0;
    OleDate BirthDate = 0;
    // Absent when the session's file was read only in part, or the figures
    // are not all the statistics need of it (TCLTSession::FiguresSuffice).
    std::optional<SessionFigures> Figures;

    bool operator==(const SessionListFields &) const = default;

    static SessionListFields Of(const TCLTSession &session);
    // Puts the fields into the session and derives its age and display name.
    void ApplyTo(TCLTSession &session) const & { SessionListFields(*this).ApplyTo(session); }
    void ApplyTo(TCLTSession &session) &&;
};

// A session of the list that holds only these fields (DetailsRead false);
// the rest stays in its file at path until it is needed.
std::unique_ptr<TCLTSession> ListedSession(SessionListFields fields, std::string path, const SessionContext &context);
// Returns a whole session read from a file to its list fields alone, so the
// archive does not keep what the file holds anyway. A session never stored
// (no SourceFile) is left whole: nothing else holds it.
void KeepListFieldsOnly(TCLTSession &session);

// Reads the list fields of the session file at path from its first bytes.
// Refuses what the full reader refuses: false for a missing file or one that
// is not a session file; throws StreamError for one that cannot be read, is
// too large, or is too short to hold the fields and the smallest rest of a
// record (other damage further on shows only when the whole file is read).
// A file small enough to come in whole with its first bytes is read whole
// for the figures too; they are left absent if the full reader would refuse it.
// fileSize gets the size of the whole file. The stream is the caller's so
// its buffer serves file after file.
bool ReadSessionListFields(const std::string &path, SessionListFields &fields, std::uint64_t &fileSize,
                           TSimpleFileStream &buffer);
