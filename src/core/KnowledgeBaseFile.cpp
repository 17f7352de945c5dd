#include "core/KnowledgeBaseFile.h"

#include "core/Cp1251.h"
#include "core/SystemReason.h"
#include "core/TSimpleFileStream.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sys/stat.h>

namespace {
// The signature is a bare text, so it is stored scrambled like every text.
const std::string &storedSignature()
{
    static const std::string stored = Scramble(std::string(KnowledgeBaseSignature));
    return stored;
}
} // namespace

KnowledgeBaseLoad LoadKnowledgeBaseFile(const std::string &path, TCLTKnowledgeBase &base)
{
    KnowledgeBaseLoad load;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int code = errno;
        if (code != ENOENT && code != ENOTDIR) {
            load.State = KnowledgeBaseState::Unreadable;
            load.Reason = SystemReasonText(code);
        }
        return load;
    }
    if (!S_ISREG(info.st_mode)) {
        load.State = KnowledgeBaseState::NotAFile;
        load.Reason = S_ISDIR(info.st_mode) ? "это папка, а не файл" : "это не обычный файл";
        return load;
    }
    load.FileBytes = static_cast<std::uint64_t>(info.st_size);
    const std::string &scrambledSignature = storedSignature();
    TSimpleFileStream stream;
    try {
        if (!TSimpleFileStream::ReadRegularFile(path, stream, scrambledSignature, MaxKnowledgeBaseBytes)) {
            load.State = KnowledgeBaseState::Foreign;
            load.Reason = "нет подписи базы знаний в начале файла";
            return load;
        }
    } catch (const StreamError &error) {
        // Known by its signature and size before it is read whole: a larger
        // file costs no more than its first bytes.
        load.State =
            load.FileBytes > MaxKnowledgeBaseBytes ? KnowledgeBaseState::TooLarge : KnowledgeBaseState::Unreadable;
        load.Reason = error.what();
        return load;
    }
    load.FileBytes = stream.Remaining();
    const std::size_t before = base.Count();
    try {
        ReadDataFileHeader(stream, scrambledSignature.size());
        load.EntriesAnnounced = ReadInt32(stream);
        // A damaged count (near 2^31) still keeps every whole entry before
        // the end of the data: each entry takes at least 70 bytes, so the
        // loop stops at the end of the file with an error, not after 2^31
        // turns. An entry cut off by that end is dropped rather than kept
        // half-read.
        for (int32_t i = 0; i < load.EntriesAnnounced; ++i) {
            auto entry = std::make_unique<TCLTOutcome>();
            entry->LoadFromStream(&stream);
            base.Add(std::move(entry));
        }
        ReadByte(stream);
        load.State = KnowledgeBaseState::Loaded;
    } catch (const StreamError &error) {
        load.State = KnowledgeBaseState::Damaged;
        load.Reason = error.what();
    }
    load.EntriesRead = base.Count() - before;
    return load;
}

bool LoadKnowledgeBase(const std::string &path, TCLTKnowledgeBase &base)
{
    const KnowledgeBaseLoad load = LoadKnowledgeBaseFile(path, base);
    switch (load.State) {
    case KnowledgeBaseState::Loaded:
        return true;
    case KnowledgeBaseState::Missing:
    case KnowledgeBaseState::NotAFile:
    case KnowledgeBaseState::Foreign:
        return false;
    default:
        throw StreamError(load.Reason);
    }
}

const std::array<OutcomeNumberField, 9> OutcomeNumberFields{{
    {"EntryId", &TCLTOutcome::EntryId},
    {"Kind", &TCLTOutcome::Kind},
    {"Key1", &TCLTOutcome::Key1},
    {"Key2", &TCLTOutcome::Key2},
    {"Key3", &TCLTOutcome::Key3},
    {"Key4", &TCLTOutcome::Key4},
    {"RefNumber", &TCLTOutcome::RefNumber},
    {"EightColourStars", &TCLTOutcome::EightColourStars},
    {"FullTestStars", &TCLTOutcome::FullTestStars},
}};

const std::array<OutcomeTextField, 9> OutcomeTextFields{{
    {"BriefText", &TCLTOutcome::BriefText, true},
    {"PhysiologicalText", &TCLTOutcome::PhysiologicalText, false},
    {"PsychologicalText", &TCLTOutcome::PsychologicalText, false},
    {"HeadingText", &TCLTOutcome::HeadingText, true},
    {"SummaryText", &TCLTOutcome::SummaryText, true},
    {"PrimaryActionText", &TCLTOutcome::PrimaryActionText, false},
    {"PsychologicallyText", &TCLTOutcome::PsychologicallyText, false},
    {"Remark", &TCLTOutcome::Remark, true},
    {"TableRemark", &TCLTOutcome::TableRemark, true},
}};

namespace {

// Smallest record: nine Int32, a Double, five empty short texts, four empty
// long texts and the trailing byte.
constexpr std::size_t MinRecordBytes = 36 + 8 + 5 * 1 + 4 * 4 + 1;

std::string codePointName(char32_t cp)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(cp));
    return name;
}

// Strict UTF-8: overlong forms, surrogates and values past U+10FFFF are
// broken too. Returns the problem, or an empty text; counts the characters.
std::string checkUtf8(std::string_view text, std::size_t &characters)
{
    characters = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        char32_t cp = lead;
        if (lead >= 0x80) {
            length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
            if (lead > 0xF4)
                length = 0;
            bool valid = length > 0 && i + length <= text.size();
            cp = length == 4 ? (lead & 0x07) : length == 3 ? (lead & 0x0F) : (lead & 0x1F);
            for (std::size_t k = 1; valid && k < length; ++k) {
                const auto next = static_cast<unsigned char>(text[i + k]);
                valid = (next & 0xC0) == 0x80;
                cp = (cp << 6) | (next & 0x3F);
            }
            const char32_t least = length == 4 ? 0x10000 : length == 3 ? 0x800 : 0x80;
            if (!valid || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
                return "испорченный UTF-8 в байте " + std::to_string(i + 1);
            // Every Windows-1251 character decodes to at most three bytes.
            const std::string one(text.substr(i, length));
            if (length == 4 || Utf8ToCp1251(one) == "?")
                return "символа " + codePointName(cp) + " нет в Windows-1251";
        }
        i += length;
        ++characters;
    }
    return {};
}

struct FieldReader {
    TSimpleFileStream &Stream;
    std::string Where; // "entry 3, field BriefText"

    template <typename Read>
    auto operator()(const std::string &where, Read read)
    {
        Where = where;
        try {
            return read();
        } catch (const StreamError &error) {
            throw StreamError(Where + ": " + error.what());
        }
    }
};

std::string readText(TSimpleFileStream &stream, bool isShort)
{
    int64_t length = 0;
    if (isShort) {
        length = ReadByte(stream);
    } else {
        length = ReadInt32(stream);
        // The program reads a negative length as an empty text; written back
        // it would become 0, so such a file cannot be reproduced.
        if (length < 0)
            throw StreamError("text length below zero (" + std::to_string(length) + ")");
    }
    if (static_cast<uint64_t>(length) > stream.Remaining())
        throw StreamError("text length beyond the end of data");
    return ScrambledCp1251ToUtf8(stream.Take(static_cast<std::size_t>(length)));
}

} // namespace

bool HasKnowledgeBaseSignature(std::string_view bytes) { return bytes.starts_with(storedSignature()); }

std::optional<KnowledgeBaseHeader> ReadKnowledgeBaseHeader(const std::string &path)
{
    // Signature, format number, written time, reserved byte, entry count.
    const std::size_t headBytes = storedSignature().size() + 4 + 8 + 1 + 4;
    TSimpleFileStream stream;
    std::uint64_t fileSize = 0;
    try {
        if (!TSimpleFileStream::ReadRegularFileHead(path, stream, storedSignature(), MaxDataFileBytes, headBytes,
                                                    fileSize)
            || stream.Remaining() < headBytes)
            return std::nullopt;
    } catch (const StreamError &) {
        return std::nullopt;
    }
    const DataFileHeader file = ReadDataFileHeader(stream, storedSignature().size());
    KnowledgeBaseHeader header;
    header.FormatNumber = file.FormatNumber;
    header.Written = file.Written;
    header.EntryCount = ReadInt32(stream);
    return header;
}

std::vector<FieldProblem> EntryTextProblems(const TCLTOutcome &entry)
{
    std::vector<FieldProblem> problems;
    for (const OutcomeTextField &field : OutcomeTextFields) {
        const std::string &text = entry.*field.Member;
        std::size_t characters = 0;
        std::string problem = checkUtf8(text, characters);
        // One byte per character in Windows-1251.
        if (problem.empty() && field.Short && characters > 255)
            problem = "текст длиной " + std::to_string(characters) + " байт в Windows-1251, а вмещается не больше 255";
        if (!problem.empty())
            problems.push_back({field.Name, std::move(problem)});
    }
    return problems;
}

KnowledgeBaseImage ReadKnowledgeBaseImage(std::string_view bytes)
{
    if (!HasKnowledgeBaseSignature(bytes))
        throw StreamError("not a knowledge-base file (no \"Color Test Data\" signature)");
    TSimpleFileStream stream{std::string(bytes)};
    stream.Seek(KnowledgeBaseSignature.size());
    FieldReader field{stream, {}};
    KnowledgeBaseImage image;
    image.FormatNumber = field("format number", [&] { return ReadInt32(stream); });
    image.Written = field("written time", [&] { return ReadDateTime(stream); });
    image.Reserved = field("reserved byte", [&] { return ReadByte(stream); });
    const int32_t count = field("entry count", [&] { return ReadInt32(stream); });
    if (count < 0)
        throw StreamError("entry count below zero (" + std::to_string(count) + ")");
    if (static_cast<uint64_t>(count) * MinRecordBytes > stream.Remaining())
        throw StreamError("entry count " + std::to_string(count) + " beyond the end of data");
    image.Records.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < image.Records.size(); ++i) {
        KnowledgeBaseRecord &record = image.Records[i];
        const std::string entry = "entry " + std::to_string(i + 1) + ", field ";
        for (const OutcomeNumberField &number : OutcomeNumberFields)
            record.Entry.*number.Member = field(entry + number.Name, [&] { return ReadInt32(stream); });
        record.Entry.Percent = field(entry + OutcomePercentField, [&] { return ReadDouble(stream); });
        for (const OutcomeTextField &text : OutcomeTextFields)
            record.Entry.*text.Member = field(entry + text.Name, [&] { return readText(stream, text.Short); });
        record.Trailer = field("entry " + std::to_string(i + 1) + ", trailing byte", [&] { return ReadByte(stream); });
    }
    image.Trailer = field("file trailer", [&] { return ReadByte(stream); });
    if (stream.Remaining() > 0)
        throw StreamError(std::to_string(stream.Remaining()) + " bytes after the file trailer");
    return image;
}

std::string KnowledgeBaseBytes(const KnowledgeBaseImage &image)
{
    if (image.Records.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
        throw StreamError("too many entries for one file");
    for (std::size_t i = 0; i < image.Records.size(); ++i) {
        const auto problems = EntryTextProblems(image.Records[i].Entry);
        if (!problems.empty())
            throw StreamError("entry " + std::to_string(i + 1) + ", field " + problems.front().Field + ": "
                              + problems.front().Message);
    }
    TSimpleFileStream stream;
    WriteDataFileHeader(stream, storedSignature(), {image.FormatNumber, image.Written, image.Reserved});
    WriteInt32(stream, static_cast<int32_t>(image.Records.size()));
    for (const KnowledgeBaseRecord &record : image.Records) {
        // The record class fixes the field order; only its last byte, which it
        // always writes as 0, is replaced by the one the record carries.
        TCLTOutcome entry = record.Entry;
        entry.SaveToStream(&stream);
        stream.Seek(stream.Position() - 1);
        WriteByte(stream, record.Trailer);
    }
    WriteByte(stream, image.Trailer);
    return stream.Bytes();
}
