#include "core/KnowledgeBaseSource.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// ---- CSV structure ------------------------------------------------------

struct CsvField {
    std::string Value;
    int Line = 0; // where the field begins
};
struct CsvRecord {
    std::vector<CsvField> Fields;
    int Line = 0;
};
struct CsvBreak {
    int Line = 0;
    std::size_t FieldIndex = 0;
    std::string Message;
};

// Splits RFC 4180 text into records. Rows end with CRLF, LF or CR; inside
// quotes every byte is kept as it stands. Stops at the first structural
// fault, keeping the records before it.
std::optional<CsvBreak> splitCsv(std::string_view text, std::vector<CsvRecord> &records)
{
    std::size_t i = text.starts_with(ByteOrderMark) ? ByteOrderMark.size() : 0;
    const std::size_t n = text.size();
    int line = 1;
    const auto isEnd = [&](std::size_t at) {
        return at >= n || text[at] == ',' || text[at] == '\r' || text[at] == '\n';
    };
    while (i < n) {
        CsvRecord record{{}, line};
        for (;;) {
            CsvField field{{}, line};
            if (i < n && text[i] == '"') {
                const int opened = line;
                ++i;
                for (;;) {
                    if (i >= n)
                        return CsvBreak{opened, record.Fields.size(), "кавычка поля не закрыта до конца файла"};
                    const char c = text[i];
                    if (c == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            field.Value += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (c == '\n' || (c == '\r' && !(i + 1 < n && text[i + 1] == '\n')))
                        ++line;
                    field.Value += c;
                    ++i;
                }
                if (!isEnd(i))
                    return CsvBreak{line, record.Fields.size(), "текст после закрывающей кавычки"};
            } else {
                for (; !isEnd(i); ++i) {
                    if (text[i] == '"')
                        return CsvBreak{
                            line, record.Fields.size(),
                            "кавычка в поле без кавычек (заключите всё поле в кавычки, а кавычку внутри удвойте)"};
                    field.Value += text[i];
                }
            }
            record.Fields.push_back(std::move(field));
            if (i < n && text[i] == ',') {
                ++i;
                continue;
            }
            if (i < n && text[i] == '\r')
                ++i;
            if (i < n && text[i] == '\n')
                ++i;
            ++line;
            break;
        }
        records.push_back(std::move(record));
    }
    return std::nullopt;
}

// ---- columns ------------------------------------------------------------

enum class ColumnType { Number, Percent, Text, RecordTrailer, FileFormat, FileWritten, FileReserved, FileTrailer };

struct Column {
    std::string Name;
    ColumnType Type;
    std::size_t Index = 0; // into the number or text fields
};

const std::vector<Column> &knownColumns()
{
    static const std::vector<Column> columns = [] {
        std::vector<Column> c;
        for (std::size_t i = 0; i < OutcomeNumberFields.size(); ++i)
            c.push_back({OutcomeNumberFields[i].Name, ColumnType::Number, i});
        c.push_back({OutcomePercentField, ColumnType::Percent});
        for (std::size_t i = 0; i < OutcomeTextFields.size(); ++i)
            c.push_back({OutcomeTextFields[i].Name, ColumnType::Text, i});
        c.push_back({RecordTrailerColumn, ColumnType::RecordTrailer});
        c.push_back({FileFormatColumn, ColumnType::FileFormat});
        c.push_back({FileWrittenColumn, ColumnType::FileWritten});
        c.push_back({FileReservedColumn, ColumnType::FileReserved});
        c.push_back({FileTrailerColumn, ColumnType::FileTrailer});
        return c;
    }();
    return columns;
}

bool isFileColumn(ColumnType type) { return type >= ColumnType::FileFormat; }

// Key1 among the number fields; Key2 to Key4 follow it.
constexpr std::size_t FirstKeyField = 2;

std::string knownColumnList()
{
    std::string list;
    for (const Column &column : knownColumns())
        list += (list.empty() ? "" : ", ") + column.Name;
    return list;
}

// ---- cell values ----------------------------------------------------------

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string quoted(std::string_view text) { return "«" + std::string(text) + "»"; }

// A whole number within [lowest, highest]; the problem otherwise.
std::optional<int64_t> parseWhole(std::string_view cell, int64_t lowest, int64_t highest, std::string &problem)
{
    std::string_view text = trimmed(cell);
    if (text.starts_with('+'))
        text.remove_prefix(1);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error == std::errc::invalid_argument || end != text.data() + text.size()) {
        problem = quoted(cell) + " — не целое число";
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range || value < lowest || value > highest) {
        problem =
            quoted(cell) + " — вне допустимого (от " + std::to_string(lowest) + " до " + std::to_string(highest) + ")";
        return std::nullopt;
    }
    return value;
}

// "0x" and sixteen hex digits: the bits of a double, for values no decimal
// form gives back (NaN payloads, odd written times).
std::optional<double> parseBits(std::string_view text)
{
    if (text.size() != 18 || !(text.starts_with("0x") || text.starts_with("0X")))
        return std::nullopt;
    uint64_t bits = 0;
    const auto [end, error] = std::from_chars(text.data() + 2, text.data() + text.size(), bits, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return std::bit_cast<double>(bits);
}

std::string bitsText(double value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(std::bit_cast<uint64_t>(value)));
    return text;
}

std::optional<double> parsePercent(std::string_view cell)
{
    std::string_view text = trimmed(cell);
    if (auto bits = parseBits(text))
        return bits;
    if (text.starts_with('+'))
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string percentText(double value)
{
    if (std::isnan(value))
        return bitsText(value);
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// ---- the file's encoding ----------------------------------------------------

// Counts the valid multi-byte UTF-8 characters and the bytes that fit no
// UTF-8 sequence.
void countUtf8(std::string_view text, std::size_t &multiByte, std::size_t &broken)
{
    multiByte = broken = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1
            : lead >= 0xC2 && lead < 0xE0      ? 2
            : lead >= 0xE0 && lead < 0xF0      ? 3
            : lead >= 0xF0 && lead <= 0xF4     ? 4
                                               : 0;
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (!valid) {
            ++broken;
            ++i;
            continue;
        }
        multiByte += length > 1;
        i += length;
    }
}

// The encoding a source was saved in when it is plainly not UTF-8: one
// message for the whole file instead of one per cell.
std::optional<std::string> foreignEncoding(std::string_view bytes)
{
    // Without a byte-order mark UTF-16 shows in the header: column names are
    // ASCII, so every other byte of the first characters is 0. (A NUL inside
    // a text is a character like any other.)
    const auto asciiIn16 = [&](std::size_t zeroFirst) {
        if (bytes.size() < 4)
            return false;
        for (std::size_t i = 0; i < 4; ++i)
            if ((bytes[i] == '\0') != (i % 2 == zeroFirst))
                return false;
        return true;
    };
    const bool utf16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") || asciiIn16(0) || asciiIn16(1);
    std::string name;
    if (utf16) {
        name = "UTF-16";
    } else {
        std::size_t multiByte = 0, broken = 0;
        countUtf8(bytes, multiByte, broken);
        // A stray broken byte in a UTF-8 file is told of in its cell.
        if (broken == 0 || multiByte > 0)
            return std::nullopt;
        name = "Windows-1251";
    }
    return "файл сохранён в кодировке " + name
        + ", а читается только UTF-8: откройте его в редакторе таблиц и сохраните как «CSV UTF-8» "
          "(разделитель — запятая) или в текстовом редакторе выберите кодировку UTF-8";
}

// Byte-order marks, at the start or inside the text (left by files joined
// one after another, or saved twice), are invisible and carry nothing.
std::string withoutByteOrderMarks(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, ByteOrderMark.size()) == ByteOrderMark) {
            i += ByteOrderMark.size();
            continue;
        }
        kept += text[i++];
    }
    return kept;
}

// ---- one source file --------------------------------------------------------

class SourceReader {
public:
    explicit SourceReader(KnowledgeBaseSource &source) : source(source) {}

    void Read(const SourceFile &file)
    {
        name = file.Name;
        if (const auto encoding = foreignEncoding(file.Bytes)) {
            problem(1, "", *encoding);
            return;
        }
        std::vector<CsvRecord> records;
        const std::optional<CsvBreak> broken = splitCsv(withoutByteOrderMarks(file.Bytes), records);
        if (records.empty()) {
            if (broken)
                problem(broken->Line, "", broken->Message);
            else
                problem(1, "", "нет строки с названиями столбцов (файл пуст)");
            return;
        }
        const bool headerOk = ReadHeader(records.front());
        if (headerOk)
            for (std::size_t r = 1; r < records.size(); ++r)
                ReadRow(records[r]);
        if (broken) {
            const std::string field =
                headerOk && broken->FieldIndex < columns.size() ? columns[broken->FieldIndex]->Name : "";
            problem(broken->Line, field, broken->Message);
        }
    }

private:
    void problem(int line, const std::string &field, std::string message)
    {
        source.Problems.push_back({{name, line}, field, std::move(message)});
    }

    bool ReadHeader(const CsvRecord &header)
    {
        columns.clear();
        bool ok = true;
        for (const CsvField &field : header.Fields) {
            const Column *found = nullptr;
            for (const Column &column : knownColumns())
                if (column.Name == field.Value)
                    found = &column;
            if (field.Value.empty()) {
                problem(header.Line, "", "у столбца " + std::to_string(columns.size() + 1) + " нет названия");
                ok = false;
            } else if (!found && field.Value.find(';') != std::string::npos) {
                // Spreadsheet programs set up for Russian save with semicolons.
                problem(header.Line, "", "столбцы должны разделяться запятыми, а не точками с запятой");
                ok = false;
            } else if (!found) {
                problem(header.Line, field.Value, "неизвестный столбец; допустимые столбцы: " + knownColumnList());
                ok = false;
            } else if (std::find(columns.begin(), columns.end(), found) != columns.end()) {
                problem(header.Line, field.Value, "столбец назван дважды");
                ok = false;
            }
            columns.push_back(found);
        }
        return ok;
    }

    void ReadRow(const CsvRecord &row)
    {
        bool anyValue = false, fileValue = false, entryValue = false;
        for (std::size_t c = 0; c < row.Fields.size() && c < columns.size(); ++c) {
            if (row.Fields[c].Value.empty())
                continue;
            anyValue = true;
            (isFileColumn(columns[c]->Type) ? fileValue : entryValue) = true;
        }
        if (!anyValue && row.Fields.size() <= columns.size())
            return; // a blank line or a row of empty cells
        if (row.Fields.size() != columns.size()) {
            problem(row.Line, "",
                    "полей в строке " + std::to_string(row.Fields.size()) + ", а столбцов в заголовке "
                        + std::to_string(columns.size()));
            return;
        }
        if (fileValue && entryValue) {
            problem(row.Line, "", "значения файла и значения записи в одной строке; значениям файла нужна своя строка");
            return;
        }
        if (fileValue)
            ReadFileRow(row);
        else
            ReadEntryRow(row);
    }

    void ReadFileRow(const CsvRecord &row)
    {
        if (fileRow) {
            problem(row.Line, "",
                    "значения файла заданы второй раз (впервые в " + fileRow->File + ":" + std::to_string(fileRow->Line)
                        + ")");
            return;
        }
        fileRow = SourcePlace{name, row.Line};
        KnowledgeBaseImage &image = source.Image;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const CsvField &cell = row.Fields[c];
            if (cell.Value.empty())
                continue;
            std::string why;
            switch (columns[c]->Type) {
            case ColumnType::FileFormat:
                if (auto v = parseWhole(cell.Value, INT32_MIN, INT32_MAX, why))
                    image.FormatNumber = static_cast<int32_t>(*v);
                break;
            case ColumnType::FileWritten:
                if (auto v = ParseWrittenTime(trimmed(cell.Value))) {
                    image.Written = *v;
                    source.WrittenGiven = true;
                } else {
                    why = quoted(cell.Value)
                        + " — не время (YYYY-MM-DDTHH:MM:SS) и не 0x с шестнадцатью шестнадцатеричными цифрами";
                }
                break;
            case ColumnType::FileReserved:
                if (auto v = parseWhole(cell.Value, 0, 255, why))
                    image.Reserved = static_cast<uint8_t>(*v);
                break;
            case ColumnType::FileTrailer:
                if (auto v = parseWhole(cell.Value, 0, 255, why))
                    image.Trailer = static_cast<uint8_t>(*v);
                break;
            default:
                break;
            }
            if (!why.empty())
                problem(cell.Line, columns[c]->Name, why);
        }
    }

    void ReadEntryRow(const CsvRecord &row)
    {
        KnowledgeBaseRecord record;
        bool idGiven = false;
        unsigned blankKeys = 0xF;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const CsvField &cell = row.Fields[c];
            const Column &column = *columns[c];
            if (column.Type != ColumnType::Text && cell.Value.empty())
                continue;
            std::string why;
            switch (column.Type) {
            case ColumnType::Number:
                if (auto v = parseWhole(cell.Value, INT32_MIN, INT32_MAX, why)) {
                    record.Entry.*OutcomeNumberFields[column.Index].Member = static_cast<int32_t>(*v);
                    idGiven = idGiven || column.Index == 0;
                    if (column.Index >= FirstKeyField && column.Index < FirstKeyField + 4)
                        blankKeys &= ~(1u << (column.Index - FirstKeyField));
                }
                break;
            case ColumnType::Percent:
                if (auto v = parsePercent(cell.Value))
                    record.Entry.Percent = *v;
                else
                    why = quoted(cell.Value) + " — не число (дробную часть отделяет точка)";
                break;
            case ColumnType::Text:
                record.Entry.*OutcomeTextFields[column.Index].Member = cell.Value;
                break;
            case ColumnType::RecordTrailer:
                if (auto v = parseWhole(cell.Value, 0, 255, why))
                    record.Trailer = static_cast<uint8_t>(*v);
                break;
            default:
                break;
            }
            if (!why.empty())
                problem(cell.Line, column.Name, why);
        }
        if (!idGiven)
            record.Entry.EntryId = static_cast<int32_t>(source.Image.Records.size() + 1);
        // Text faults are reported where the text stands, not at its row.
        for (const FieldProblem &text : EntryTextProblems(record.Entry)) {
            int line = row.Line;
            for (std::size_t c = 0; c < columns.size(); ++c)
                if (columns[c]->Name == text.Field)
                    line = row.Fields[c].Line;
            problem(line, text.Field, text.Message);
        }
        source.Image.Records.push_back(std::move(record));
        source.Places.push_back({name, row.Line});
        source.BlankKeys.push_back(blankKeys);
    }

    KnowledgeBaseSource &source;
    std::string name;
    std::vector<const Column *> columns;
    std::optional<SourcePlace> fileRow; // kept across files: one file row in all
};

std::string csvCell(std::string_view text)
{
    const bool needsQuotes = text.find_first_of(",\"\r\n") != std::string_view::npos
        || (!text.empty()
            && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' || text.back() == '\t'));
    if (!needsQuotes)
        return std::string(text);
    std::string cell = "\"";
    for (char c : text) {
        if (c == '"')
            cell += '"';
        cell += c;
    }
    return cell + "\"";
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

std::string SourceProblem::Text() const
{
    std::string text = Place.File;
    if (Place.Line > 0)
        text += ":" + std::to_string(Place.Line);
    text += ": ";
    if (!Field.empty())
        text += Field + ": ";
    return text + Message;
}

KnowledgeBaseSource ReadKnowledgeBaseSources(const std::vector<SourceFile> &files)
{
    KnowledgeBaseSource source;
    SourceReader reader(source);
    for (const SourceFile &file : files)
        reader.Read(file);
    return source;
}

std::string KnowledgeBaseCsv(const KnowledgeBaseImage &image)
{
    const auto &columns = knownColumns();
    std::string csv(ByteOrderMark);
    for (std::size_t c = 0; c < columns.size(); ++c)
        csv += (c ? "," : "") + columns[c].Name;
    csv += "\r\n";
    for (const Column &column : columns) {
        if (column.Type == ColumnType::FileFormat)
            csv += std::to_string(image.FormatNumber);
        else if (column.Type == ColumnType::FileWritten)
            csv += WrittenTimeText(image.Written);
        else if (column.Type == ColumnType::FileReserved)
            csv += std::to_string(image.Reserved);
        else if (column.Type == ColumnType::FileTrailer)
            csv += std::to_string(image.Trailer);
        csv += column.Type == ColumnType::FileTrailer ? "\r\n" : ",";
    }
    for (const KnowledgeBaseRecord &record : image.Records) {
        for (const Column &column : columns) {
            switch (column.Type) {
            case ColumnType::Number:
                csv += std::to_string(record.Entry.*OutcomeNumberFields[column.Index].Member);
                break;
            case ColumnType::Percent:
                csv += percentText(record.Entry.Percent);
                break;
            case ColumnType::Text:
                csv += csvCell(record.Entry.*OutcomeTextFields[column.Index].Member);
                break;
            case ColumnType::RecordTrailer:
                csv += std::to_string(record.Trailer);
                break;
            default:
                break;
            }
            csv += column.Type == ColumnType::FileTrailer ? "\r\n" : ",";
        }
    }
    return csv;
}

std::optional<OleDate> ParseWrittenTime(std::string_view text)
{
    if (auto bits = parseBits(text))
        return bits;
    // YYYY-MM-DD[(T| )HH:MM[:SS[.m[m[m]]]]]
    std::size_t at = 0;
    const auto number = [&](std::size_t digits, int &value) {
        if (at + digits > text.size())
            return false;
        value = 0;
        for (std::size_t k = 0; k < digits; ++k) {
            const char c = text[at + k];
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        at += digits;
        return true;
    };
    const auto literal = [&](char c) {
        if (at < text.size() && text[at] == c) {
            ++at;
            return true;
        }
        return false;
    };
    LocalDateTime t;
    if (!number(4, t.Year) || !literal('-') || !number(2, t.Month) || !literal('-') || !number(2, t.Day))
        return std::nullopt;
    t.Hour = t.Minute = t.Second = t.Millisecond = 0;
    if (at < text.size()) {
        if (!(literal('T') || literal(' ')) || !number(2, t.Hour) || !literal(':') || !number(2, t.Minute))
            return std::nullopt;
        if (literal(':')) {
            if (!number(2, t.Second))
                return std::nullopt;
            if (literal('.')) {
                int scale = 100;
                std::size_t digits = 0;
                for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3;
                     ++at, ++digits, scale /= 10)
                    t.Millisecond += (text[at] - '0') * scale;
                if (digits == 0)
                    return std::nullopt;
            }
        }
    }
    if (at != text.size() || t.Year < 100 || t.Month < 1 || t.Month > 12 || t.Day < 1
        || t.Day > daysInMonth(t.Year, t.Month) || t.Hour > 23 || t.Minute > 59 || t.Second > 59)
        return std::nullopt;
    return ToOleDate(t);
}

std::string WrittenTimeText(OleDate written)
{
    // Within years 100 to 9999 the calendar arithmetic is exact; outside, or
    // for a value between milliseconds, the bits are kept as they are.
    if (std::isfinite(written) && written > -657434.0 && written < 2958466.0) {
        const LocalDateTime t = FromOleDate(written);
        if (std::bit_cast<uint64_t>(ToOleDate(t)) == std::bit_cast<uint64_t>(written)) {
            char text[40];
            std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour, t.Minute,
                          t.Second);
            std::string result = text;
            if (t.Millisecond != 0) {
                std::snprintf(text, sizeof text, ".%03d", t.Millisecond);
                result += text;
            }
            return result;
        }
    }
    return bitsText(written);
}
