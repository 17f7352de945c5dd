// Runs the built palettor-cli on files written by the core library.
#include "cli/CliRun.h"
#include "core/SessionArchive.h"
#include "core/TSimpleFileStream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

DigitSource digits()
{
    return [] { return 4; };
}

} // namespace

TEST(CliDump, SessionFieldsAsJson)
{
    QTemporaryDir dir;
    TCLTSession s(45000.5, 45000);
    s.TestKind = 4;
    s.Surname = "Петрова";
    s.Sex = 2;
    s.BriefConclusion = "один\r\nдва";
    for (int p = 1; p <= 8; ++p)
        s.Choice[1][p] = s.Choice[2][p] = p;
    auto &item = s.CtoItems.AddNew();
    item.StimulusName = "Мать";
    item.AssociatedColour[2] = 7;
    item.AssociationRank[2][1] = 8;
    const std::string path = SaveSession(s, dir.path().toStdString(), LocalDateTime{2025, 7, 4, 9, 5, 3, 7}, digits());

    const CliRun run = RunCli({QStringLiteral("dump"), QString::fromStdString(path)});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json[QStringLiteral("Surname")].toString(), QStringLiteral("Петрова"));
    EXPECT_EQ(json[QStringLiteral("StartedAt")].toDouble(), 45000.5);
    EXPECT_EQ(json[QStringLiteral("Sex")].toInt(), 2);
    EXPECT_EQ(json[QStringLiteral("BriefConclusion")].toString(), QStringLiteral("один\r\nдва"));
    EXPECT_EQ(json[QStringLiteral("Choice")].toArray().size(), 2);
    EXPECT_EQ(json[QStringLiteral("Choice")].toArray()[0].toArray()[7].toInt(), 8);
    EXPECT_EQ(json[QStringLiteral("PairWins")].toArray().size(), 5);
    const QJsonObject first = json[QStringLiteral("CtoItems")].toArray()[0].toObject();
    EXPECT_EQ(first[QStringLiteral("StimulusName")].toString(), QStringLiteral("Мать"));
    EXPECT_EQ(first[QStringLiteral("AssociationRank")].toArray()[1].toArray()[0].toInt(), 8);
    for (const char *key : {"DurationSeconds", "AchromaticChoice", "FunctionSign", "AcMark", "AcWeight", "AcIntensity",
                            "ShadeScore", "ShadeTendency", "ShadeReserved", "ReservedValue", "AdditionalFindings",
                            "DetailedConclusion", "FunctionGroups", "BirthDate"})
        EXPECT_TRUE(json.contains(QLatin1String(key))) << key;
}

TEST(CliDump, RefusesForeignMissingAndDamagedFiles)
{
    QTemporaryDir dir;
    const QString foreign = dir.filePath(QStringLiteral("foreign.dat"));
    std::ofstream(foreign.toStdString()) << "hello";
    CliRun run = RunCli({QStringLiteral("dump"), foreign});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_FALSE(run.err.isEmpty());

    EXPECT_EQ(RunCli({QStringLiteral("dump"), dir.filePath(QStringLiteral("none.dat"))}).exitCode, 1);

    TCLTSession s;
    const std::string path = SaveSession(s, dir.path().toStdString(), LocalDateTime{2025, 7, 4, 9, 5, 3, 7}, digits());
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes.substr(0, 60);
    run = RunCli({QStringLiteral("dump"), QString::fromStdString(path)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("damaged"));

    EXPECT_EQ(RunCli({QStringLiteral("frobnicate"), QStringLiteral("x")}).exitCode, 1);
}

TEST(CliArchive, ListsSessionsAndReportsSkippedFiles)
{
    QTemporaryDir dir;
    TCLTSession s;
    s.Surname = "Иванов";
    s.FirstName = "Пётр";
    s.TestKind = 3;
    s.DurationSeconds = 65;
    SaveSession(s, dir.path().toStdString(), LocalDateTime{2025, 7, 4, 9, 5, 3, 7}, digits());
    std::ofstream(dir.filePath(QStringLiteral("0000.dat")).toStdString(), std::ios::binary)
        << std::string("\x2D\x01\x02\x1A", 4);
    // A file with the signature but cut right after it is damaged.
    std::ofstream(dir.filePath(QStringLiteral("0001.dat")).toStdString(), std::ios::binary)
        << Scramble("Color Session Data") << std::string(3, '\0');

    // A temporary an interrupted save left long ago is not the listing's to remove.
    const std::string stale = dir.filePath(QStringLiteral("2507040905030711.dat.tmp")).toStdString();
    std::ofstream(stale) << "half";
    std::filesystem::last_write_time(stale, std::filesystem::file_time_type::clock::now() - std::chrono::hours(5));

    const CliRun run = RunCli({QStringLiteral("archive"), dir.path()});
    // Listed, but not the whole folder: a status a script can tell from success.
    EXPECT_EQ(run.exitCode, 2);
    const QString out = QString::fromUtf8(run.out);
    EXPECT_EQ(out.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(out.startsWith(QStringLiteral("2507040905030744.dat\t")));
    EXPECT_TRUE(out.contains(QStringLiteral("Полный ЦТЛ\tИванов Пётр\t1 мин 5 сек")));
    EXPECT_TRUE(run.err.contains("0001.dat"));
    EXPECT_FALSE(run.err.contains("0000.dat"));
    EXPECT_TRUE(run.err.contains("1 damaged file skipped")) << run.err.toStdString();
    EXPECT_TRUE(std::filesystem::exists(stale));
}

TEST(CliPaths, NamesThatAreNotValidUtf8AreFound)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/\xC4\xE0\xED\xED\xFB"; // a Windows-1251 name
    std::filesystem::create_directory(folder);
    TCLTSession s;
    s.Surname = "Байтов";
    const std::string saved = SaveSession(s, folder, LocalDateTime{2025, 7, 4, 9, 5, 3, 7}, digits());
    const std::string odd = folder + "/\xFF\xFE.dat";
    std::filesystem::rename(saved, odd);

    CliRun run = RunCliBytes({"dump", odd}, dir.path().toStdString());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(run.out).object()[QStringLiteral("Surname")].toString(),
              QStringLiteral("Байтов"));

    run = RunCliBytes({"archive", folder}, dir.path().toStdString());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("\xFF\xFE.dat\t")) << run.out.toStdString();
}
