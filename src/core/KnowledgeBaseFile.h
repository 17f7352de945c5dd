#pragma once

#include "OleDate.h"
#include "TCLTOutcome.h"

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
