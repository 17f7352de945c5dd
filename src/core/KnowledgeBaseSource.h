#pragma once

#include "core/KnowledgeBaseFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The editable source of a knowledge base: CSV (RFC 4180, UTF-8, an optional
// byte-order mark), a header row naming the columns, then one row per entry.
// Columns are the entry fields by name plus RecordTrailer (the byte after the
// entry), in any order and any subset; a missing column or an empty cell is 0
// or the empty text, and a missing EntryId is the entry's number in the built
// file. The file's own values (FileFormat, FileWritten, FileReserved,
// FileTrailer) stand in one row of their own whose entry cells are all empty;
// without it they are 1, the time given to the build (else 0), 0 and 0.
// Wholly empty rows are skipped.

inline constexpr const char *RecordTrailerColumn = "RecordTrailer";
inline constexpr const char *FileFormatColumn = "FileFormat";
inline constexpr const char *FileWrittenColumn = "FileWritten";
inline constexpr const char *FileReservedColumn = "FileReserved";
inline constexpr const char *FileTrailerColumn = "FileTrailer";

struct SourceFile {
    std::string Name; // used in messages
    std::string Bytes;
};

// Where something was found: a source file and the line its row or field
// begins on, or (for a built file) the entry number with Line 0.
struct SourcePlace {
    std::string File;
    int Line = 0;
};

struct SourceProblem {
    SourcePlace Place;
    std::string Field; // column name, empty for the row or file as a whole
    std::string Message;

    // "file:line: Field: message"
    std::string Text() const;
};

struct KnowledgeBaseSource {
    KnowledgeBaseImage Image;
    std::vector<SourcePlace> Places; // one per record: where its row begins
    // One per record: bit k set when the cell of Key(k+1) was empty or its
    // column missing, so the key was taken as 0.
    std::vector<unsigned> BlankKeys;
    bool WrittenGiven = false; // a file row named the written time
    std::vector<SourceProblem> Problems;
};

// Reads the sources in order into one image. Every problem is collected with
// its file, line and field; a file whose CSV structure breaks contributes no
// rows after the break. The image is only usable when Problems is empty.
KnowledgeBaseSource ReadKnowledgeBaseSources(const std::vector<SourceFile> &files);

// The source of an image: every column, the file row first, texts quoted
// where needed, CRLF between rows, with a byte-order mark so spreadsheet
// programs take it as UTF-8. Reading it back gives the same image.
std::string KnowledgeBaseCsv(const KnowledgeBaseImage &image);

// Written time as "YYYY-MM-DDTHH:MM:SS" (".mmm" when not whole seconds, a
// space allowed for the T, seconds optional) or the raw bits of the double
// as "0x" and sixteen hex digits; nullopt when it is neither.
std::optional<OleDate> ParseWrittenTime(std::string_view text);
// The ISO form when it gives back the same bits, else the raw bits.
std::string WrittenTimeText(OleDate written);
