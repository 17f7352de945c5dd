#include "core/SessionListFields.h"

#include "core/SessionArchive.h"
#include "core/TSimpleFileStream.h"

#include <algorithm>

namespace {

// Header (signature, format number, time of writing, a byte), then the list
// fields: two dates, two integers, four short texts of at most 255 bytes, the
// sex as an integer.
constexpr std::size_t headerBytes = 18 + 4 + 8 + 1;
constexpr std::size_t mostListBytes = headerBytes + 8 + 4 + 4 + 4 * (1 + 255) + 4 + 8;

// What every record holds after the list fields however short its texts and
// lists: the choices, the reserved value, three text lengths, two
// intensities, two list counts, the record's end marker and the file's.
constexpr std::size_t leastRestBytes = 64 * 4 + 4 + 3 * 4 + 2 * 4 + 2 * 4 + 1 + 1;
constexpr std::size_t fullTestBytes = 35 * 4;
// Files up to this size (nearly all: a session file is a few kilobytes) come
// in whole with the first read, and give the figures too.
constexpr std::size_t wholeReadBytes = 16 * 1024;

// The figures of a record read whole, as the full reader reads it; none
// when it would refuse the record or they do not suffice.
std::optional<SessionFigures> figuresOfWhole(TSimpleFileStream &stream, std::size_t recordStart)
{
    try {
        stream.Seek(recordStart);
        TCLTSession whole;
        whole.LoadFromStream(&stream);
        ReadByte(stream);
        if (whole.FiguresSuffice())
            return whole.Figures();
    } catch (const std::exception &) {
        // Damage further on: the file is listed, its figures are not.
    }
    return std::nullopt;
}

} // namespace

SessionListFields SessionListFields::Of(const TCLTSession &s)
{
    std::optional<SessionFigures> figures = s.ListFigures;
    if (s.DetailsRead)
        figures = s.FiguresSuffice() ? std::optional(s.Figures()) : std::nullopt;
    return {s.StartedAt,  s.DurationSeconds, s.TestKind, s.FirstName, s.Surname,
            s.Patronymic, s.Group,           s.Sex,      s.BirthDate, std::move(figures)};
}

void SessionListFields::ApplyTo(TCLTSession &s) &&
{
    // Moved: at start-up this runs once for every session of the archive.
    s.StartedAt = StartedAt;
    s.DurationSeconds = DurationSeconds;
    s.TestKind = TestKind;
    s.FirstName = std::move(FirstName);
    s.Surname = std::move(Surname);
    s.Patronymic = std::move(Patronymic);
    s.Group = std::move(Group);
    s.Sex = Sex;
    s.BirthDate = BirthDate;
    s.ListFigures = Figures;
    s.UpdateDisplayName();
}

std::unique_ptr<TCLTSession> ListedSession(SessionListFields fields, std::string path, const SessionContext &context)
{
    auto session = std::make_unique<TCLTSession>();
    session->Context = context;
    std::move(fields).ApplyTo(*session);
    session->SourceFile = std::move(path);
    session->DetailsRead = false;
    return session;
}

void KeepListFieldsOnly(TCLTSession &session)
{
    if (!session.DetailsRead || session.SourceFile.empty())
        return;
    session = std::move(*ListedSession(SessionListFields::Of(session), session.SourceFile, session.Context));
}

bool ReadSessionListFields(const std::string &path, SessionListFields &fields, std::uint64_t &fileSize,
                           TSimpleFileStream &stream)
{
    static const std::string scrambledSignature = Scramble(SessionFileSignature);
    if (!TSimpleFileStream::ReadRegularFileHead(path, stream, scrambledSignature, MaxDataFileBytes,
                                                std::max(mostListBytes, wholeReadBytes), fileSize))
        return false;
    ReadDataFileHeader(stream, scrambledSignature.size());
    const std::size_t recordStart = stream.Position();
    // The same readers, in the same order, as the whole record's.
    fields.StartedAt = ReadDateTime(stream);
    fields.DurationSeconds = ReadInt32(stream);
    fields.TestKind = ReadInt32(stream);
    fields.FirstName = ReadShortText(stream);
    fields.Surname = ReadShortText(stream);
    fields.Patronymic = ReadShortText(stream);
    fields.Group = ReadShortText(stream);
    fields.Sex = static_cast<uint8_t>(ReadInt32(stream) & 0xFF);
    fields.BirthDate = ReadDateTime(stream);
    const std::size_t least = stream.Position() + leastRestBytes + (fields.TestKind == 3 ? fullTestBytes : 0);
    if (fileSize < least)
        throw StreamError("файл обрывается (неожиданный конец данных) в файле " + path);
    fields.Figures.reset();
    if (stream.Position() + stream.Remaining() == fileSize)
        fields.Figures = figuresOfWhole(stream, recordStart);
    return true;
}
