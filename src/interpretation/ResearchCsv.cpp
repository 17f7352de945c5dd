#include "interpretation/ResearchCsv.h"

#include "testing/TestKinds.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace {

// Marks a value that cannot be determined (scores and tendencies).
constexpr int Undetermined = 1000;

const std::array<const char *, 5> TableNames = {"Main", "Blue", "Green", "Yellow", "Red"};
const std::array<const char *, 6> FunctionSigns = {"", "+", "x", "=", "-", "+-"};

std::string number(int value) { return std::to_string(value); }

std::string twoDigits(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::string isoDate(const LocalDateTime &t)
{
    return std::to_string(t.Year) + '-' + twoDigits(t.Month) + '-' + twoDigits(t.Day);
}

std::string isoDateTime(OleDate when)
{
    const LocalDateTime t = FromOleDate(when);
    return isoDate(t) + 'T' + twoDigits(t.Hour) + ':' + twoDigits(t.Minute) + ':' + twoDigits(t.Second);
}

// Fixed two decimals whatever the C locale says.
std::string decimal(double value, const std::string &separator)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    std::string out(text, result.ptr);
    if (const auto point = out.find('.'); point != std::string::npos)
        out.replace(point, 1, separator);
    return out;
}

// A colour number 0..7 from a stored tag 1..8; empty for anything else.
std::string colourOfTag(int tag) { return tag >= 1 && tag <= 8 ? number(tag - 1) : std::string(); }

class Row {
public:
    explicit Row(char separator) : separator(separator) {}
    void Add(std::string_view text)
    {
        if (!first)
            line += separator;
        first = false;
        line += CsvField(text, separator);
    }
    // Text from a person, a file name or a stimulus set, never a number.
    void AddText(std::string_view text)
    {
        if (!first)
            line += separator;
        first = false;
        line += CsvTextField(text, separator);
    }
    void AddIf(bool applies, const std::string &text) { Add(applies ? text : std::string()); }
    std::string Take()
    {
        line += "\r\n";
        return std::move(line);
    }

private:
    char separator;
    bool first = true;
    std::string line;
};

std::size_t stimulusCount(const TCLTSession &session)
{
    return session.TestKind == KindRelations ? session.CtoItems.Count() : 0;
}

// The columns a name-free table leaves out.
bool isPersonalColumn(std::string_view name)
{
    return name == "Surname" || name == "FirstName" || name == "Patronymic" || name == "BirthDate";
}

std::string header(char separator, std::size_t stimuli, bool nameFree, bool russian)
{
    // Each name in English (for scripts) or Russian (for people reading the table).
    const auto in = [russian](const char *english, const char *inRussian) {
        return std::string(russian ? inRussian : english);
    };
    Row row(separator);
    const std::array<std::pair<const char *, const char *>, 13> fixed = {{{"Number", "№"},
                                                                          {"File", "Файл"},
                                                                          {"Start", "Начало"},
                                                                          {"DurationSeconds", "Длительность, с"},
                                                                          {"TestKind", "Код теста"},
                                                                          {"Test", "Тест"},
                                                                          {"Surname", "Фамилия"},
                                                                          {"FirstName", "Имя"},
                                                                          {"Patronymic", "Отчество"},
                                                                          {"Sex", "Пол"},
                                                                          {"BirthDate", "Дата рождения"},
                                                                          {"Age", "Возраст"},
                                                                          {"Group", "Группа"}}};
    for (const auto &[english, inRussian] : fixed) {
        if (nameFree && std::string_view(english) == "Surname")
            row.Add(in("PersonCode", "Код обследуемого"));
        else if (!nameFree || !isPersonalColumn(english))
            row.Add(in(english, inRussian));
    }
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p)
            row.Add(in("Choice", "Выбор") + number(c) + '_' + number(p));
    for (int g = 1; g <= 3; ++g)
        row.Add(in("Grey", "Серый") + number(g));
    const std::array<const char *, 5> tablesInRussian = {"Основная", "Синяя", "Зеленая", "Желтая", "Красная"};
    for (std::size_t t = 0; t < TableNames.size(); ++t)
        for (int s = 1; s <= 4; ++s)
            row.Add(in("Wins", "Победы") + (russian ? tablesInRussian[t] : TableNames[t]) + number(s));
    for (const auto &[english, inRussian] : {std::pair{"Mark", "Метка"}, std::pair{"Weight", "Вес"}})
        for (int c = 1; c <= 2; ++c)
            for (int p = 1; p <= 8; ++p)
                row.Add(in(english, inRussian) + number(c) + '_' + number(p));
    row.Add(in("Intensity1", "Интенсивность1"));
    row.Add(in("Intensity2", "Интенсивность2"));
    row.Add(in("FunctionGroups", "Функциональные группы"));
    for (const auto &[english, inRussian] :
         {std::pair{"ShadeScore", "Оценка оттенка"}, std::pair{"ShadeTendency", "Тенденция оттенка"}})
        for (int s = 1; s <= 4; ++s)
            row.Add(in(english, inRussian) + number(s));
    for (std::size_t k = 1; k <= stimuli; ++k) {
        const std::string name = in("Stimulus", "Стимул") + std::to_string(k);
        row.Add(name);
        row.Add(name + in("Colour", "Цвет") + "1");
        row.Add(name + in("Colour", "Цвет") + "2");
        for (int p = 1; p <= 2; ++p)
            for (int c = 1; c <= 2; ++c)
                row.Add(name + in("Rank", "Ранг") + number(p) + '_' + number(c));
    }
    return row.Take();
}

// Every field after the running number, which only the writer knows.
std::string sessionRow(const TCLTSession &s, std::size_t stimuli, const ResearchCsvOptions &options)
{
    Row row(options.Separator);
    const bool full = s.TestKind == KindFull;
    const bool secondChoice = s.TestKind != KindEightOnce;
    row.AddText(s.SourceFile.empty() ? std::string() : std::filesystem::path(s.SourceFile).filename().string());
    row.Add(isoDateTime(s.StartedAt));
    row.Add(number(s.DurationSeconds));
    row.Add(number(s.TestKind));
    row.AddText(TestKindListName(s.TestKind));
    if (options.PersonCode) {
        row.AddText(options.PersonCode(s));
        row.AddIf(s.Sex == 1 || s.Sex == 2, number(s.Sex));
    } else {
        row.AddText(s.Surname);
        row.AddText(s.FirstName);
        row.AddText(s.Patronymic);
        row.AddIf(s.Sex == 1 || s.Sex == 2, number(s.Sex));
        row.AddIf(s.BirthDate != 0, s.BirthDate != 0 ? isoDate(FromOleDate(s.BirthDate)) : std::string());
    }
    row.AddIf(s.Age > 0, decimal(s.Age, options.DecimalSeparator));
    row.AddText(s.Group);
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p)
            row.AddIf(c == 1 || secondChoice, colourOfTag(s.Choice[c][p]));
    for (int g = 1; g <= 3; ++g) {
        const int tile = s.AchromaticChoice[g];
        row.AddIf(full && tile >= 1 && tile <= 5, number(tile - 1));
    }
    for (int t = 1; t <= 5; ++t)
        for (int shade = 1; shade <= 4; ++shade)
            row.AddIf(full, number(s.PairWins[t][shade]));
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p)
            row.AddIf(c == 1 || secondChoice, number(s.AcMark[c][p]));
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p)
            row.AddIf(c == 1 || secondChoice, number(s.AcWeight[c][p]));
    row.Add(number(s.AcIntensity[1]));
    row.AddIf(secondChoice, number(s.AcIntensity[2]));
    row.AddText(FunctionGroupsText(s));
    for (int shade = 1; shade <= 4; ++shade)
        row.AddIf(full && s.ShadeScore[shade] != Undetermined, number(s.ShadeScore[shade]));
    for (int shade = 1; shade <= 4; ++shade)
        row.AddIf(full && s.ShadeTendency[shade] != Undetermined, number(s.ShadeTendency[shade]));
    const std::size_t own = stimulusCount(s);
    for (std::size_t k = 0; k < stimuli; ++k) {
        const TCTOChoiceItem *item = k < own ? &s.CtoItems[k] : nullptr;
        row.AddText(item ? item->StimulusName : std::string());
        for (int p = 1; p <= 2; ++p) {
            const int colour = item ? item->AssociatedColour[p] : -1;
            row.AddIf(colour >= 0 && colour <= 7, number(colour));
        }
        for (int p = 1; p <= 2; ++p)
            for (int c = 1; c <= 2; ++c)
                row.AddIf(item != nullptr, item ? number(item->AssociationRank[p][c]) : std::string());
    }
    return row.Take();
}

} // namespace

ResearchCsvOptions ResearchCsvOptionsFor(std::string_view decimalSeparator)
{
    ResearchCsvOptions options;
    options.DecimalSeparator = decimalSeparator.empty() ? std::string(".") : std::string(decimalSeparator);
    options.Separator = options.DecimalSeparator == "," ? ';' : ',';
    return options;
}

std::string CsvField(std::string_view text, char separator)
{
    if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string CsvTextField(std::string_view text, char separator)
{
    std::string cell;
    cell.reserve(text.size() + 1);
    for (char c : text)
        if (c != '\0') // a NUL cuts the cell short in many readers
            cell += c;
    // A spreadsheet would run a cell that begins like a formula; the
    // apostrophe makes it text there, and the quotes keep it one cell.
    if (cell.empty() || std::string_view("=+-@\t\r").find(cell.front()) == std::string_view::npos)
        return CsvField(cell, separator);
    std::string quoted = "\"'";
    for (char c : cell) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string FunctionGroupsText(const TCLTSession &session)
{
    std::string text;
    for (const auto &group : session.FunctionGroups) {
        const int code = group.FunctionCode;
        const std::string sign = code >= 1 && code <= 5 ? FunctionSigns[static_cast<std::size_t>(code)] : "?";
        if (!text.empty())
            text += ' ';
        text += sign + number(group.FirstColour);
        if (group.SecondColour != group.FirstColour)
            text += sign + number(group.SecondColour);
    }
    return text;
}

bool WriteResearchCsv(std::size_t count, const CsvSessionSource &sessionAt, const ResearchCsvOptions &options,
                      std::string &out, const CsvProgress &progress)
{
    // Each session is seen once (its file may have to be read for it), so a
    // row is written with its own stimuli and padded to the widest at the end.
    struct Written {
        std::string Line;
        std::size_t Stimuli;
    };
    std::vector<Written> rows;
    rows.reserve(count);
    std::size_t stimuli = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (const TCLTSession *session = sessionAt(i)) {
            const std::size_t own = stimulusCount(*session);
            rows.push_back(
                {ResearchCsvNumbered(rows.size() + 1, options.Separator, sessionRow(*session, own, options)), own});
            stimuli = std::max(stimuli, own);
        }
        if (progress && !progress(i + 1, count)) {
            out.clear();
            return false;
        }
    }
    out = ResearchCsvHead(options, stimuli);
    for (Written &row : rows) {
        PadResearchCsvRow(row.Line, row.Stimuli, stimuli, options.Separator);
        out += row.Line;
        row.Line = {};
    }
    return true;
}

std::string ResearchCsvHead(const ResearchCsvOptions &options, std::size_t stimuli)
{
    return "\xEF\xBB\xBF"
        + header(options.Separator, stimuli, static_cast<bool>(options.PersonCode), options.RussianHeaders);
}

ResearchCsvRow ResearchCsvRowOf(const TCLTSession &session, const ResearchCsvOptions &options)
{
    const std::size_t own = stimulusCount(session);
    return {sessionRow(session, own, options), own};
}

std::string ResearchCsvNumbered(std::size_t number, char separator, std::string_view fields)
{
    std::string line = std::to_string(number);
    line += separator;
    line += fields;
    return line;
}

void PadResearchCsvRow(std::string &line, std::size_t own, std::size_t stimuli, char separator)
{
    constexpr std::size_t fieldsPerStimulus = 7;
    if (stimuli > own && line.size() >= 2) // before the line's "\r\n"
        line.insert(line.size() - 2, (stimuli - own) * fieldsPerStimulus, separator);
}

bool WriteResearchCsv(const std::vector<const TCLTSession *> &sessions, const ResearchCsvOptions &options,
                      std::string &out, const CsvProgress &progress)
{
    return WriteResearchCsv(
        sessions.size(), [&sessions](std::size_t i) { return sessions[i]; }, options, out, progress);
}
