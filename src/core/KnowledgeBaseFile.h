#pragma once

#include "core/OleDate.h"
#include "core/TCLTOutcome.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Appends the entries of a knowledge-base file. A missing file or a foreign
// signature leaves the base unchanged (false); a damaged file throws
// StreamError after keeping the entries read before the damage.
bool LoadKnowledgeBase(const std::string &path, TCLTKnowledgeBase &base);

// What became of the installed knowledge base at start-up.
enum class KnowledgeBaseState {
    Loaded,     // read whole
    Missing,    // no such file: the program works without it, as designed
    NotAFile,   // a folder, a pipe or a device has the name
    Foreign,    // no knowledge-base signature
    TooLarge,   // larger than any knowledge base; only its first bytes were read
    Unreadable, // could not be opened or read
    Damaged,    // cut short or garbled after the header; the entries before the damage are kept
};
struct KnowledgeBaseLoad {
    KnowledgeBaseState State = KnowledgeBaseState::Missing;
    std::string Reason;           // the system's or the reader's words, for the administrator
    std::uint64_t FileBytes = 0;  // size of the file, when it is one
    int32_t EntriesAnnounced = 0; // the entry count of the header, when it was read
    std::size_t EntriesRead = 0;  // entries appended to the base
};
// LoadKnowledgeBase, telling why a file that is there was not read whole.
// Never reads more than MaxKnowledgeBaseBytes: a larger file is refused
// after its signature, by its size.
KnowledgeBaseLoad LoadKnowledgeBaseFile(const std::string &path, TCLTKnowledgeBase &base);
// Far above any real base (its texts fill a few megabytes).
inline constexpr std::size_t MaxKnowledgeBaseBytes = 64 * 1024 * 1024;

// Everything a knowledge-base file holds, the values the program reads past
// included, so a file can be taken apart and put back byte for byte.
struct KnowledgeBaseRecord {
    TCLTOutcome Entry;
    uint8_t Trailer = 0; // the byte after each entry; the program writes 0
};

struct KnowledgeBaseImage {
    int32_t FormatNumber = 1;
    OleDate Written = 0;
    uint8_t Reserved = 0;
    std::vector<KnowledgeBaseRecord> Records;
    uint8_t Trailer = 0;
};

inline constexpr std::string_view KnowledgeBaseSignature = "Color Test Data";

bool HasKnowledgeBaseSignature(std::string_view bytes);

// What the about window tells of the base in use, read from the header alone.
struct KnowledgeBaseHeader {
    int32_t FormatNumber = 0;
    OleDate Written = 0;
    int32_t EntryCount = 0;
};
// Nothing when there is no such file, it is not a knowledge base or its
// header is cut short.
std::optional<KnowledgeBaseHeader> ReadKnowledgeBaseHeader(const std::string &path);

// The entry fields by name, in file order; shared by the source reader and
// writer and by the checks so the names cannot drift apart.
struct OutcomeNumberField {
    const char *Name;
    int32_t TCLTOutcome::*Member;
};
struct OutcomeTextField {
    const char *Name;
    std::string TCLTOutcome::*Member;
    bool Short; // at most 255 bytes once encoded
};
extern const std::array<OutcomeNumberField, 9> OutcomeNumberFields;
inline constexpr const char *OutcomePercentField = "Percent";
extern const std::array<OutcomeTextField, 9> OutcomeTextFields;

// A text the file cannot hold exactly as given.
struct FieldProblem {
    std::string Field;
    std::string Message;
};
// Broken UTF-8, characters with no Windows-1251 byte, short texts over 255
// bytes once encoded.
std::vector<FieldProblem> EntryTextProblems(const TCLTOutcome &entry);

// Reads a whole file. Throws StreamError, naming the entry and field, for
// anything that could not be written back identically: a foreign signature,
// data cut short, a negative count or text length, bytes after the trailer.
KnowledgeBaseImage ReadKnowledgeBaseImage(std::string_view bytes);

// The bytes of the file. Throws StreamError naming the entry and field when a
// text cannot be written unchanged (the stream writer would cut or replace it).
std::string KnowledgeBaseBytes(const KnowledgeBaseImage &image);
