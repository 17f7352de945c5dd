// Runs the built palettor-cli interpret on sessions given as JSON.
#include "cli/CliRun.h"
#include "core/KnowledgeBaseFile.h"
#include "core/SessionArchive.h"
#include "core/TCLTOutcome.h"
#include "core/TSimpleFileStream.h"
#include "support/ShortTextFields.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct CliResult : CliRun {
    QJsonObject json;
};

CliResult Interpret(const QByteArray &input, QStringList options = {})
{
    CliResult run{RunCli(QStringList{QStringLiteral("interpret")} + options, input), {}};
    run.json = QJsonDocument::fromJson(run.out).object();
    return run;
}

QByteArray Json(const QJsonObject &object) { return QJsonDocument(object).toJson(); }

QJsonArray Row(std::initializer_list<int> values)
{
    QJsonArray row;
    for (int v : values)
        row.append(v);
    return row;
}

OleDate At(int second, int millisecond) { return ToOleDate(LocalDateTime{2025, 3, 14, 15, 0, second, millisecond}); }

// A knowledge-base file with the entries given, laid out as the loader reads it.
std::string WriteKnowledgeBase(const QTemporaryDir &dir, TCLTKnowledgeBase &base)
{
    TSimpleFileStream stream;
    WriteText(stream, "Color Test Data", BareUncutMode);
    WriteInt32(stream, 1);
    WriteDateTime(stream, 45000);
    WriteByte(stream, 0);
    WriteInt32(stream, static_cast<int32_t>(base.Count()));
    for (auto &entry : base)
        entry->SaveToStream(&stream);
    WriteByte(stream, 0);
    const std::string path = dir.filePath(QStringLiteral("ColorTest.dat")).toStdString();
    std::ofstream(path, std::ios::binary) << stream.Bytes();
    return path;
}

const QJsonArray Ascending = Row({1, 2, 3, 4, 5, 6, 7, 8});
const QJsonArray Descending = Row({8, 7, 6, 5, 4, 3, 2, 1});

TEST(CliInterpret, SingleAdministrationFromItsOneChoice)
{
    QTemporaryDir dir;
    TCLTKnowledgeBase base;
    auto &entry = base.AddNew();
    entry.Kind = 3;
    entry.Key1 = 4;
    entry.Key2 = 5;
    entry.BriefText = "Середина";
    entry.Percent = 2.25;
    const std::string kb = WriteKnowledgeBase(dir, base);
    TCLTKnowledgeBase check;
    ASSERT_TRUE(LoadKnowledgeBase(kb, check));

    const CliResult run = Interpret(Json({{QStringLiteral("TestKind"), 1},
                                          {QStringLiteral("Choice"), QJsonArray{Ascending}},
                                          {QStringLiteral("TestStart"), At(0, 0)},
                                          {QStringLiteral("TestEnd"), At(5, 0) + 60.0 / 86400}}),
                                    {QStringLiteral("--kb"), QString::fromStdString(kb),
                                     QStringLiteral("--decimal-separator"), QStringLiteral(".")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.json[QStringLiteral("StartedAt")].toDouble(), At(0, 0));
    EXPECT_EQ(run.json[QStringLiteral("DurationSeconds")].toInt(), 65);
    EXPECT_EQ(run.json[QStringLiteral("Choice")].toArray(), (QJsonArray{Ascending, Ascending}));
    EXPECT_EQ(run.json[QStringLiteral("FunctionSign")].toArray()[1].toArray(), Row({1, 1, 2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(run.json[QStringLiteral("FunctionGroups")].toArray().size(), 5);
    EXPECT_EQ(run.json[QStringLiteral("BriefConclusion")].toString(), QStringLiteral("\r\nСередина"));
    EXPECT_TRUE(run.json[QStringLiteral("DetailedConclusion")].toString().contains(
        QStringLiteral("=4=5\r\nСередина (Статистика: 2.3 % )\r\n")));
    EXPECT_EQ(run.json[QStringLiteral("AdditionalFindings")].toString(),
              QStringLiteral("\r\nЧисло тревог \"A\": 1\r\nЧисло компенсаций \"C\": 1"
                             "\r\nИнтенсивность тревоги и компенсации: 3 (Статистика: 11.7 %, \"лучше\" - у 52.4 %, "
                             "\"хуже\" - у 35.9 %).\r\n"
                             "\r\nНарушений саморегуляции вегетативной нервной системы (ВНС) не обнаружено.\r\n"
                             "\r\nУстойчиво низкая работоспособность. \r\nПри текущей работоспособности, прогноз "
                             "относительно работы, выполняемой в данное время, нельзя назвать благоприятным.\r\n"));
}

TEST(CliInterpret, AFinishedSessionFedBackComesOutTheSame)
{
    const QJsonObject input{{QStringLiteral("TestKind"), 2},
                            {QStringLiteral("Choice"), QJsonArray{Ascending, Row({4, 5, 3, 6, 2, 7, 1, 8})}},
                            {QStringLiteral("Surname"), QStringLiteral("Иванова")},
                            {QStringLiteral("TestStart"), At(0, 0)},
                            {QStringLiteral("TestEnd"), At(30, 0)}};
    const CliResult first = Interpret(Json(input), {QStringLiteral("--decimal-separator"), QStringLiteral(",")});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(first.json[QStringLiteral("Surname")].toString(), QStringLiteral("Иванова"));
    EXPECT_EQ(first.json[QStringLiteral("DurationSeconds")].toInt(), 30);

    const CliResult again = Interpret(first.out, {QStringLiteral("--decimal-separator"), QStringLiteral(",")});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(again.json, first.json);
}

TEST(CliInterpret, SavesTheSessionFileIntoTheFolder)
{
    QTemporaryDir dir;
    const CliResult run = Interpret(
        Json({{QStringLiteral("TestKind"), 2}, {QStringLiteral("Choice"), QJsonArray{Ascending, Descending}}}),
        {QStringLiteral("--save"), dir.path(), QStringLiteral("--decimal-separator"), QStringLiteral(",")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList files = QDir(dir.path()).entryList({QStringLiteral("*.dat")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);

    TCLTArchive archive;
    ASSERT_TRUE(LoadSessionFile(dir.filePath(files[0]).toStdString(), archive, SessionContext{}));
    EXPECT_EQ(QString::fromStdString(archive[0].AdditionalFindings),
              run.json[QStringLiteral("AdditionalFindings")].toString());
    EXPECT_EQ(QString::fromStdString(archive[0].DetailedConclusion),
              run.json[QStringLiteral("DetailedConclusion")].toString());
    EXPECT_EQ(static_cast<int>(archive[0].FunctionGroups.Count()),
              run.json[QStringLiteral("FunctionGroups")].toArray().size());
}

QJsonObject FullTest()
{
    QJsonArray wins;
    for (int t = 0; t < 5; ++t)
        wins.append(Row({3, 2, 1, 0}));
    return {{QStringLiteral("TestKind"), 3},
            {QStringLiteral("Choice"), QJsonArray{Ascending, Descending}},
            {QStringLiteral("AchromaticChoice"), Row({1, 2, 3})},
            {QStringLiteral("PairWins"), wins}};
}

QJsonObject RelationsTest(int stimuli, int colour)
{
    QJsonArray items;
    for (int k = 0; k < stimuli; ++k)
        items.append(QJsonObject{{QStringLiteral("StimulusName"), QStringLiteral("Отец")},
                                 {QStringLiteral("AssociatedColour"), Row({colour, 0})}});
    return {{QStringLiteral("TestKind"), 4},
            {QStringLiteral("Choice"), QJsonArray{Ascending, Descending}},
            {QStringLiteral("CtoItems"), items}};
}

QJsonObject With(QJsonObject object, const char *key, const QJsonValue &value)
{
    object[QLatin1String(key)] = value;
    return object;
}

// Every short text at its limit and one past it: the saved file keeps the
// first 255 bytes and both readers take it.
TEST(CliInterpret, SavedShortTextsAtTheirLimitAreReadBack)
{
    for (const std::size_t bytes : ShortTextLengths) {
        SCOPED_TRACE(bytes);
        QJsonObject input = RelationsTest(2, 3);
        QJsonArray items = input[QStringLiteral("CtoItems")].toArray();
        QJsonObject item = items[0].toObject();
        for (std::size_t f = 0; f < std::size(ShortTextFields); ++f) {
            const QString name = QString::fromLatin1(ShortTextFields[f].Name);
            const QString text = QString::fromStdString(ShortTextOf(f, bytes));
            (item.contains(name) ? item : input)[name] = text;
        }
        items[0] = item;
        input[QStringLiteral("CtoItems")] = items;
        QTemporaryDir dir;
        const CliResult run = Interpret(Json(input), {QStringLiteral("--save"), dir.path()});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QStringList files = QDir(dir.path()).entryList({QStringLiteral("*.dat")}, QDir::Files);
        ASSERT_EQ(files.size(), 1);
        ExpectShortTextsKept(dir.filePath(files[0]).toStdString(), bytes);
    }
}

TEST(CliInterpret, FullTestGetsItsCubeAndSections)
{
    const CliResult run = Interpret(Json(FullTest()), {QStringLiteral("--decimal-separator"), QStringLiteral(",")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Counts 3, 2, 1, 0 in every chromatic table: shade 1 wins all, shade 4 none.
    EXPECT_EQ(run.json[QStringLiteral("ShadeScore")].toArray(), Row({12, 8, 4, 0}));
    EXPECT_EQ(run.json[QStringLiteral("ShadeTendency")].toArray(), Row({1, 0, -3, -4}));
    const QString detailed = run.json[QStringLiteral("DetailedConclusion")].toString();
    EXPECT_TRUE(detailed.startsWith(QStringLiteral("\r\n")));
    EXPECT_TRUE(detailed.contains(QStringLiteral("\r\nXII. "))) << detailed.toStdString();
}

TEST(CliInterpret, RefusesInputThatNoTestCouldProduce)
{
    struct Case {
        const char *name;
        QByteArray input;
        QStringList options;
        const char *message;
    };
    QJsonArray impossibleWins = FullTest()[QStringLiteral("PairWins")].toArray();
    impossibleWins[2] = Row({3, 3, 0, 0});
    const Case cases[] = {
        {"not JSON", "{\"TestKind\": 2,", {}, "not JSON"},
        {"not an object", "[1, 2]", {}, "JSON object"},
        {"kind 0", Json(With(FullTest(), "TestKind", 0)), {}, "TestKind 0"},
        {"kind 5", Json(With(FullTest(), "TestKind", 5)), {}, "TestKind 5"},
        {"repeated tag",
         Json(With(FullTest(), "Choice", QJsonArray{Ascending, Row({1, 2, 3, 4, 5, 6, 7, 7})})),
         {},
         "Choice 2"},
        {"single choice with tag 9",
         Json({{QStringLiteral("TestKind"), 1}, {QStringLiteral("Choice"), QJsonArray{Row({1, 2, 3, 4, 5, 6, 7, 9})}}}),
         {},
         "Choice 1"},
        {"grey tile twice", Json(With(FullTest(), "AchromaticChoice", Row({2, 2, 3}))), {}, "three different"},
        {"grey tile 6", Json(With(FullTest(), "AchromaticChoice", Row({1, 2, 6}))), {}, "AchromaticChoice"},
        {"impossible wins", Json(With(FullTest(), "PairWins", impossibleWins)), {}, "table 3"},
        {"one stimulus", Json(RelationsTest(1, 3)), {}, "at least two"},
        {"colour 8", Json(RelationsTest(3, 8)), {}, "colour 8"},
        {"start time as text", Json(With(FullTest(), "TestStart", QStringLiteral("вчера"))), {}, "TestStart"},
        {"wrong shape", Json(With(FullTest(), "Choice", 7)), {}, "Choice"},
        {"kind beyond int", Json(With(FullTest(), "TestKind", 1e20)), {}, "TestKind"},
        {"missing knowledge base",
         Json(FullTest()),
         {QStringLiteral("--kb"), QStringLiteral("/nonexistent/ColorTest.dat")},
         "ColorTest.dat"},
    };
    for (const auto &c : cases) {
        const CliResult run = Interpret(c.input, c.options);
        EXPECT_EQ(run.exitCode, 1) << c.name;
        EXPECT_TRUE(run.out.isEmpty()) << c.name;
        EXPECT_TRUE(run.err.contains(c.message)) << c.name << ": " << run.err.toStdString();
    }
}

} // namespace
