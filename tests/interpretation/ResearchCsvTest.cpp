#include "interpretation/ResearchCsv.h"

#include "interpretation/InterpretationFixtures.h"
#include "testing/TestKinds.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Table = std::vector<std::vector<std::string>>;

// Reads the file back as RFC 4180 says, independently of the writer.
Table ParseCsv(const std::string &file, char separator)
{
    EXPECT_EQ(file.substr(0, 3), "\xEF\xBB\xBF");
    Table rows(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 3; i < file.size(); ++i) {
        const char c = file[i];
        if (quoted) {
            if (c == '"' && i + 1 < file.size() && file[i + 1] == '"')
                field += file[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            rows.back().push_back(std::move(field));
            field.clear();
        } else if (c == '\r' && i + 1 < file.size() && file[i + 1] == '\n') {
            ++i;
            rows.back().push_back(std::move(field));
            field.clear();
            rows.emplace_back();
        } else {
            EXPECT_NE(c, '\n') << "a bare line break outside quotes";
            field += c;
        }
    }
    EXPECT_TRUE(rows.back().empty() && field.empty()) << "the last row must end with CR LF";
    rows.pop_back();
    return rows;
}

// Rows as maps from header names, so a check names the column it reads.
std::vector<std::map<std::string, std::string>> Records(const Table &table)
{
    std::vector<std::map<std::string, std::string>> records;
    for (std::size_t r = 1; r < table.size(); ++r) {
        EXPECT_EQ(table[r].size(), table[0].size()) << "row " << r;
        std::map<std::string, std::string> record;
        for (std::size_t c = 0; c < table[r].size() && c < table[0].size(); ++c)
            record[table[0][c]] = table[r][c];
        records.push_back(std::move(record));
    }
    return records;
}

// One session of every kind with values that differ from field to field.
std::vector<TCLTSession> SessionsOfEveryKind()
{
    std::vector<TCLTSession> sessions;
    for (int kind = 1; kind <= 4; ++kind) {
        TCLTSession s =
            SessionBuilder(kind).Choice(1, Tags({3, 4, 2, 1, 5, 6, 0, 7})).Choice(2, Tags({4, 3, 2, 5, 1, 0, 6, 7}));
        s.StartedAt = ToOleDate(LocalDateTime{2025, 7, kind, 9, 5, 3, 0});
        s.DurationSeconds = 100 + kind;
        s.Surname = "Фамилия" + std::to_string(kind);
        s.FirstName = "Имя";
        s.Group = "Группа";
        s.Sex = static_cast<uint8_t>(kind % 3);
        s.BirthDate = kind == 2 ? 0 : ToOleDate(LocalDateTime{1990, 3, 15});
        s.Age = kind == 2 ? 0 : 35.25;
        s.SourceFile = "/data/Session" + std::to_string(kind) + ".dat";
        for (int c = 1; c <= 2; ++c)
            for (int p = 1; p <= 8; ++p) {
                s.AcMark[c][p] = (p + c) % 3;
                s.AcWeight[c][p] = (p * c) % 4;
            }
        s.AcIntensity[1] = 5;
        s.AcIntensity[2] = 7;
        auto &group = s.FunctionGroups.AddNew();
        group.FunctionCode = 1;
        group.FirstColour = 3;
        group.SecondColour = 4;
        auto &single = s.FunctionGroups.AddNew();
        single.FunctionCode = 4;
        single.FirstColour = 7;
        single.SecondColour = 7;
        if (kind == KindFull) {
            s.AchromaticChoice[1] = 2;
            s.AchromaticChoice[2] = 5;
            s.AchromaticChoice[3] = 1;
            for (int t = 1; t <= 5; ++t)
                for (int c = 1; c <= 4; ++c)
                    s.PairWins[t][c] = (t + c) % 4;
            const int scores[] = {4, 1000, 9, 12};
            const int tendencies[] = {1, -2, 1000, 0};
            for (int i = 1; i <= 4; ++i) {
                s.ShadeScore[i] = scores[i - 1];
                s.ShadeTendency[i] = tendencies[i - 1];
            }
        }
        if (kind == KindRelations) {
            for (int k = 1; k <= 2; ++k) {
                auto &item = s.CtoItems.AddNew();
                item.StimulusName = "Стимул " + std::to_string(k);
                item.AssociatedColour[1] = k;
                item.AssociatedColour[2] = k + 2;
                item.AssociationRank[1][1] = k;
                item.AssociationRank[1][2] = k + 1;
                item.AssociationRank[2][1] = k + 4;
                item.AssociationRank[2][2] = k + 5;
            }
        }
        sessions.push_back(std::move(s));
    }
    return sessions;
}

std::vector<const TCLTSession *> Pointers(const std::vector<TCLTSession> &sessions)
{
    std::vector<const TCLTSession *> out;
    for (const auto &s : sessions)
        out.push_back(&s);
    return out;
}

TEST(ResearchCsv, EveryKindIsWrittenFieldByField)
{
    const std::vector<TCLTSession> sessions = SessionsOfEveryKind();
    std::string file;
    ASSERT_TRUE(WriteResearchCsv(Pointers(sessions), ResearchCsvOptionsFor("."), file));
    const Table table = ParseCsv(file, ',');
    ASSERT_EQ(table.size(), 5u);
    // 13 fixed, 16 choices, 3 greys, 20 wins, 32 marks and weights, 2
    // intensities, the groups, 8 shade values, 7 per stimulus of the longest list.
    EXPECT_EQ(table[0].size(), 13u + 16 + 3 + 20 + 32 + 2 + 1 + 8 + 2 * 7);
    const auto records = Records(table);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TCLTSession &s = sessions[i];
        auto row = records[i];
        const int kind = s.TestKind;
        SCOPED_TRACE("kind " + std::to_string(kind));
        EXPECT_EQ(row["Number"], std::to_string(i + 1));
        EXPECT_EQ(row["File"], "Session" + std::to_string(kind) + ".dat");
        EXPECT_EQ(row["Start"], "2025-07-0" + std::to_string(kind) + "T09:05:03");
        EXPECT_EQ(row["DurationSeconds"], std::to_string(100 + kind));
        EXPECT_EQ(row["TestKind"], std::to_string(kind));
        EXPECT_EQ(row["Test"], TestKindListName(kind));
        EXPECT_EQ(row["Surname"], s.Surname);
        EXPECT_EQ(row["FirstName"], "Имя");
        EXPECT_EQ(row["Patronymic"], "");
        EXPECT_EQ(row["Group"], "Группа");
        EXPECT_EQ(row["Sex"], s.Sex == 0 ? "" : std::to_string(s.Sex));
        EXPECT_EQ(row["BirthDate"], kind == 2 ? "" : "1990-03-15");
        EXPECT_EQ(row["Age"], kind == 2 ? "" : "35.25");
        const bool second = kind != KindEightOnce;
        for (int c = 1; c <= 2; ++c)
            for (int p = 1; p <= 8; ++p) {
                const std::string at = std::to_string(c) + "_" + std::to_string(p);
                const bool shown = c == 1 || second;
                EXPECT_EQ(row["Choice" + at], shown ? std::to_string(s.Choice[c][p] - 1) : "") << at;
                EXPECT_EQ(row["Mark" + at], shown ? std::to_string(s.AcMark[c][p]) : "") << at;
                EXPECT_EQ(row["Weight" + at], shown ? std::to_string(s.AcWeight[c][p]) : "") << at;
            }
        EXPECT_EQ(row["Intensity1"], "5");
        EXPECT_EQ(row["Intensity2"], second ? "7" : "");
        EXPECT_EQ(row["FunctionGroups"], "'+3+4 -7"); // text, not a sum
        const bool full = kind == KindFull;
        EXPECT_EQ(row["Grey1"] + row["Grey2"] + row["Grey3"], full ? "140" : "");
        const char *tables[] = {"Main", "Blue", "Green", "Yellow", "Red"};
        for (int t = 1; t <= 5; ++t)
            for (int c = 1; c <= 4; ++c)
                EXPECT_EQ(row[std::string("Wins") + tables[t - 1] + std::to_string(c)],
                          full ? std::to_string((t + c) % 4) : "");
        EXPECT_EQ(row["ShadeScore1"] + "|" + row["ShadeScore2"] + "|" + row["ShadeScore3"] + "|" + row["ShadeScore4"],
                  full ? "4||9|12" : "|||");
        EXPECT_EQ(row["ShadeTendency1"] + "|" + row["ShadeTendency2"] + "|" + row["ShadeTendency3"] + "|"
                      + row["ShadeTendency4"],
                  full ? "1|-2||0" : "|||");
        for (int k = 1; k <= 2; ++k) {
            const std::string name = "Stimulus" + std::to_string(k);
            const bool relations = kind == KindRelations;
            EXPECT_EQ(row[name], relations ? "Стимул " + std::to_string(k) : "");
            EXPECT_EQ(row[name + "Colour1"] + row[name + "Colour2"],
                      relations ? std::to_string(k) + std::to_string(k + 2) : "");
            EXPECT_EQ(row[name + "Rank1_1"] + row[name + "Rank1_2"] + row[name + "Rank2_1"] + row[name + "Rank2_2"],
                      relations
                          ? std::to_string(k) + std::to_string(k + 1) + std::to_string(k + 4) + std::to_string(k + 5)
                          : "");
        }
    }
}

TEST(ResearchCsv, DecimalCommaTakesTheSemicolonAndQuotingKeepsEveryName)
{
    struct Case {
        std::string decimal;
        char separator;
        std::string age;
    };
    const std::string names[] = {"Иванов; Петров", "Смит, Джон", "О\"Коннор \"младший\"", "две\r\nстроки",
                                 "одна\nстрока"};
    for (const Case &c : {Case{",", ';', "35,25"}, Case{".", ',', "35.25"}}) {
        std::vector<TCLTSession> sessions;
        for (const std::string &name : names) {
            TCLTSession s =
                SessionBuilder(1).Choice(1, Tags({0, 1, 2, 3, 4, 5, 6, 7})).Choice(2, Tags({0, 1, 2, 3, 4, 5, 6, 7}));
            s.Surname = name;
            s.Age = 35.25;
            sessions.push_back(std::move(s));
        }
        const ResearchCsvOptions options = ResearchCsvOptionsFor(c.decimal);
        EXPECT_EQ(options.Separator, c.separator);
        std::string file;
        ASSERT_TRUE(WriteResearchCsv(Pointers(sessions), options, file));
        const auto records = Records(ParseCsv(file, c.separator));
        ASSERT_EQ(records.size(), std::size(names));
        for (std::size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].at("Surname"), names[i]) << c.separator;
            EXPECT_EQ(records[i].at("Age"), c.age);
        }
    }
    EXPECT_EQ(CsvField("plain", ','), "plain");
    EXPECT_EQ(CsvField("a;b", ','), "a;b");
    EXPECT_EQ(CsvField("a;b", ';'), "\"a;b\"");
    EXPECT_EQ(CsvField("say \"hi\"", ';'), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("a\rb", ','), "\"a\rb\""); // a bare CR ends a row in spreadsheets
}

TEST(ResearchCsv, TextThatLooksLikeAFormulaIsWrittenAsText)
{
    struct Case {
        std::string text;
        std::string field; // with ';' as the separator
    };
    const Case cases[] = {
        {"=HYPERLINK(\"http://evil.invalid\",\"x\")", "\"'=HYPERLINK(\"\"http://evil.invalid\"\",\"\"x\"\")\""},
        {"+1+cmd|' /C calc'!A0", "\"'+1+cmd|' /C calc'!A0\""},
        {"-2+3", "\"'-2+3\""},
        {"@SUM(1+1)", "\"'@SUM(1+1)\""},
        {"\t=1", "\"'\t=1\""},
        {"\r=1", "\"'\r=1\""},
        {std::string("\0=1+1", 5), "\"'=1+1\""}, // a NUL is dropped, and does not hide the sign
        {std::string("Ст") + '\0' + "имул", "Стимул"},
        {"Петров-Водкин", "Петров-Водкин"},
        {"a=b", "a=b"},
        {"x5 -1", "x5 -1"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CsvTextField(c.text, ';'), c.field) << c.text;

    // In a whole table: names and stimuli become text, numbers stay numbers.
    TCLTSession s = SessionBuilder(KindRelations)
                        .Choice(1, Tags({3, 4, 2, 1, 5, 6, 0, 7}))
                        .Choice(2, Tags({4, 3, 2, 5, 1, 0, 6, 7}));
    s.Surname = "=1+1";
    s.Group = "@A1";
    s.CtoItems.AddNew().StimulusName = "-Мать";
    auto &group = s.FunctionGroups.AddNew();
    group.FunctionCode = 4;
    group.FirstColour = group.SecondColour = 1;
    std::string file;
    ASSERT_TRUE(WriteResearchCsv({&s}, ResearchCsvOptionsFor(","), file));
    EXPECT_NE(file.find(";\"'=1+1\";"), std::string::npos);
    auto row = Records(ParseCsv(file, ';')).at(0);
    EXPECT_EQ(row["Surname"], "'=1+1");
    EXPECT_EQ(row["Group"], "'@A1");
    EXPECT_EQ(row["Stimulus1"], "'-Мать");
    EXPECT_EQ(row["FunctionGroups"], "'-1");
    EXPECT_EQ(row["Choice1_1"], "3");
}

TEST(ResearchCsv, ProgressCanStopTheExportAndAnEmptyListGivesTheHeaderOnly)
{
    const std::vector<TCLTSession> sessions = SessionsOfEveryKind();
    std::vector<std::size_t> seen;
    std::string file;
    EXPECT_FALSE(WriteResearchCsv(Pointers(sessions), {}, file, [&seen](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, 4u);
        seen.push_back(done);
        return done < 2;
    }));
    EXPECT_EQ(seen, (std::vector<std::size_t>{1, 2}));
    EXPECT_TRUE(file.empty());

    ASSERT_TRUE(WriteResearchCsv({}, {}, file));
    const Table table = ParseCsv(file, ',');
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].back(), "ShadeTendency4"); // no stimulus columns
}

} // namespace
