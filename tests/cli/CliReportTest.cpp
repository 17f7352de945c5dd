// palettor-cli export and report, on session files written by the core.
#include "cli/CliRun.h"
#include "core/SessionArchive.h"
#include "interpretation/ResearchCsv.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// One session of every kind, a name that needs quoting among them.
QString WriteArchive(const QTemporaryDir &dir)
{
    const QString folder = dir.filePath(QStringLiteral("Data"));
    QDir().mkpath(folder);
    for (int kind = 1; kind <= 4; ++kind) {
        TCLTSession s(45000.5, 45000);
        s.TestKind = kind;
        s.Surname = kind == 2 ? "Иванова; \"Анна\"" : "Сидоров" + std::to_string(kind);
        for (int p = 1; p <= 8; ++p)
            s.Choice[1][p] = s.Choice[2][p] = 9 - p;
        if (kind == 4) {
            auto &item = s.CtoItems.AddNew();
            item.StimulusName = "Мать";
            item.AssociatedColour[1] = 3;
        }
        s.BriefConclusion = "Кратко о " + s.Surname;
        SaveSession(s, folder.toStdString(), LocalDateTime{2025, 7, 4, 9, 5, kind, 7}, [] { return 4; });
    }
    return folder;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(CliExport, WritesTheSameTableAsTheProgramForTheWholeFolder)
{
    QTemporaryDir dir;
    const QString folder = WriteArchive(dir);
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    for (const char *separator : {",", "."}) {
        const CliRun run = RunCli({QStringLiteral("export"), folder, QStringLiteral("-o"), out,
                                   QStringLiteral("--decimal-separator"), QString::fromLatin1(separator)});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

        TCLTArchive archive;
        const QDate today = QDate::currentDate();
        LoadArchive(folder.toStdString(), archive,
                    SessionContext{ToOleDate(LocalDateTime{today.year(), today.month(), today.day()}), separator}, {},
                    false);
        std::vector<const TCLTSession *> sessions;
        for (const auto &s : archive)
            sessions.push_back(s.get());
        std::string expected;
        ASSERT_TRUE(WriteResearchCsv(sessions, ResearchCsvOptionsFor(separator), expected));
        const QByteArray written = ReadAll(out);
        EXPECT_EQ(written.toStdString(), expected);
        EXPECT_TRUE(written.startsWith(separator == std::string(",") ? "\xEF\xBB\xBFNumber;File;"
                                                                     : "\xEF\xBB\xBFNumber,File,"));
        EXPECT_EQ(written.count("\r\n"), 5); // header and four sessions
    }
    // Russian column names on request; the rows stay as they are.
    const QByteArray english = ReadAll(out);
    const CliRun ru =
        RunCli({QStringLiteral("export"), folder, QStringLiteral("-o"), out, QStringLiteral("--decimal-separator"),
                QStringLiteral("."), QStringLiteral("--headers"), QStringLiteral("ru")});
    ASSERT_EQ(ru.exitCode, 0) << ru.err.toStdString();
    const QByteArray russian = ReadAll(out);
    EXPECT_TRUE(russian.startsWith("\xEF\xBB\xBF№,Файл,Начало,"));
    EXPECT_EQ(russian.mid(russian.indexOf("\r\n")), english.mid(english.indexOf("\r\n")));
    EXPECT_EQ(RunCli({QStringLiteral("export"), folder, QStringLiteral("-o"), out, QStringLiteral("--headers"),
                      QStringLiteral("de")})
                  .exitCode,
              2);
}

TEST(CliExport, FailuresLeaveNoFileAndSayWhy)
{
    QTemporaryDir dir;
    const QString folder = WriteArchive(dir);
    const CliRun noFolder = RunCli({QStringLiteral("export"), dir.filePath(QStringLiteral("none")),
                                    QStringLiteral("-o"), dir.filePath(QStringLiteral("a.csv"))});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_TRUE(noFolder.err.contains("no such folder"));
    const CliRun badOut =
        RunCli({QStringLiteral("export"), folder, QStringLiteral("-o"), dir.filePath(QStringLiteral("missing/a.csv"))});
    EXPECT_EQ(badOut.exitCode, 1);
    EXPECT_TRUE(badOut.err.contains("cannot write"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.csv"))));
    EXPECT_EQ(RunCli({QStringLiteral("export"), folder}).exitCode, 2); // no -o
}

TEST(CliReport, TextAndPdfComeFromTheLayout)
{
    QTemporaryDir dir;
    const QString folder = WriteArchive(dir);
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 4);
    const QString session = QDir(folder).filePath(files[0]);

    const CliRun text = RunCli({QStringLiteral("report"), session, QStringLiteral("--text")});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    const QString shown = QString::fromUtf8(text.out);
    for (const QString &part :
         {QStringLiteral("Результаты тестирования"), QStringLiteral("Сидоров1"), QStringLiteral("Краткое заключение"),
          QStringLiteral("Кратко о Сидоров1"), QStringLiteral("Первый выбор"), QStringLiteral("Дополнительные выводы")})
        EXPECT_TRUE(shown.contains(part)) << part.toStdString();

    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const CliRun written = RunCli({QStringLiteral("report"), session, QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_TRUE(ReadAll(pdf).startsWith("%PDF"));
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("Кратко о Сидоров1")));
    }

    const CliRun notASession = RunCli({QStringLiteral("report"), pdf, QStringLiteral("--text")});
    EXPECT_EQ(notASession.exitCode, 1);
    EXPECT_EQ(
        RunCli({QStringLiteral("report"), session, QStringLiteral("--text"), QStringLiteral("--pdf"), pdf}).exitCode,
        2);
}

TEST(CliReport, DatesAreRussianInTheCLocaleAndTheSignerIsNamed)
{
    QTemporaryDir dir;
    const QString folder = WriteArchive(dir);
    const QString session =
        QDir(folder).filePath(QDir(folder).entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name).first());
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LC_ALL", "LC_TIME", "LANG"})
        environment.insert(QString::fromLatin1(name), QStringLiteral("C"));
    p.setProcessEnvironment(environment);
    p.start(QStringLiteral(PALETTOR_CLI),
            {QStringLiteral("report"), session, QStringLiteral("--examiner"), QStringLiteral("Орлова А. В."),
             QStringLiteral("--organisation"), QStringLiteral("Центр «Диалог»")});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString shown = QString::fromUtf8(p.readAllStandardOutput());
    const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    for (const QString &part : {QStringLiteral("Сеанс тестирования начат: 15.03.2023 12:00:00"),
                                QStringLiteral("Организация: Центр «Диалог»"), QStringLiteral("Дата отчета: ") + today,
                                QStringLiteral("Специалист: Орлова А. В."), QStringLiteral("Подпись: ____")})
        EXPECT_TRUE(shown.contains(part)) << part.toStdString() << "\n" << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("Mar"))) << shown.toStdString();
}

} // namespace
