// Runs palettor-cli kb export, build and check on small sources.
#include "CliRun.h"
#include "KnowledgeBaseFile.h"
#include "OleDate.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// A source as a writer makes it: some columns, multi-line quoted texts.
const QByteArray WriterSource = "Kind,Key1,Key2,BriefText,PhysiologicalText,PsychologicalText\n"
                                "1,3,4,Кратко,\"Первая строка\nвторая\",\"Текст, с запятой\"\n"
                                "6,2,0,Компенсация,,\n";

class KbFolder {
public:
    QString Path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
    QString Write(const char *name, const QByteArray &bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QByteArray Read(const char *name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool Exists(const char *name) const { return QFile::exists(Path(name)); }

private:
    QTemporaryDir dir;
};

} // namespace

TEST(CliKnowledgeBase, BuildIsDeterministicAndExportBuildsBackTheSameBytes)
{
    KbFolder kb;
    const QString source = kb.Write("a.csv", WriterSource);
    const QStringList build{QStringLiteral("kb"),
                            QStringLiteral("build"),
                            source,
                            QStringLiteral("-o"),
                            kb.Path("one.dat"),
                            QStringLiteral("--written"),
                            QStringLiteral("2026-12-01T08:30:00")};
    ASSERT_EQ(RunCli(build).exitCode, 0);
    ASSERT_EQ(RunCli({QStringLiteral("kb"), QStringLiteral("build"), source, QStringLiteral("--written"),
                      QStringLiteral("2026-12-01T08:30:00"), QStringLiteral("-o"), kb.Path("two.dat")})
                  .exitCode,
              0);
    const QByteArray built = kb.Read("one.dat");
    EXPECT_EQ(kb.Read("two.dat"), built);

    double written = 0;
    std::memcpy(&written, built.constData() + 19, 8);
    EXPECT_EQ(FromOleDate(written), (LocalDateTime{2026, 12, 1, 8, 30, 0, 0}));
    const KnowledgeBaseImage image = ReadKnowledgeBaseImage(built.toStdString());
    ASSERT_EQ(image.Records.size(), 2u);
    EXPECT_EQ(image.Records[0].Entry.PhysiologicalText, "Первая строка\nвторая");
    EXPECT_EQ(image.Records[1].Entry.EntryId, 2);

    // A file with odd values everywhere: export, then build, gives it back.
    KnowledgeBaseImage odd = image;
    odd.FormatNumber = -7;
    odd.Reserved = 200;
    odd.Trailer = 1;
    odd.Written = 1e-300;
    odd.Records[0].Entry.Percent = -0.0;
    odd.Records[0].Entry.Key4 = -1;
    odd.Records[1].Trailer = 255;
    odd.Records[1].Entry.RefNumber = -5;
    const QByteArray oddBytes = QByteArray::fromStdString(KnowledgeBaseBytes(odd));
    kb.Write("odd.dat", oddBytes);
    ASSERT_EQ(RunCli({QStringLiteral("kb"), QStringLiteral("export"), kb.Path("odd.dat"), QStringLiteral("-o"),
                      kb.Path("odd.csv")})
                  .exitCode,
              0);
    ASSERT_EQ(RunCli({QStringLiteral("kb"), QStringLiteral("build"), kb.Path("odd.csv"), QStringLiteral("-o"),
                      kb.Path("back.dat")})
                  .exitCode,
              0);
    EXPECT_EQ(kb.Read("back.dat"), oddBytes);
    // Without -o the source goes to standard output.
    EXPECT_EQ(RunCli({QStringLiteral("kb"), QStringLiteral("export"), kb.Path("odd.dat")}).out, kb.Read("odd.csv"));
}

TEST(CliKnowledgeBase, BadInputIsNamedAndNothingIsWritten)
{
    KbFolder kb;
    const QString good = kb.Write("good.csv", WriterSource);
    const QString bad = kb.Write("bad.csv", "Kind,Key1,BriefText\n1,2,ok\n1,two,\"x\"\n");
    kb.Write("old.dat", "earlier file");

    const CliRun run =
        RunCli({QStringLiteral("kb"), QStringLiteral("build"), good, bad, QStringLiteral("-o"), kb.Path("old.dat")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("bad.csv:3: Key1: \"two\" is not a whole number")) << run.err.toStdString();
    EXPECT_EQ(kb.Read("old.dat"), "earlier file");
    EXPECT_EQ(QDir(kb.Path("")).entryList(QDir::Files).size(), 3); // no temporary file left

    const struct {
        QStringList args;
        int exitCode;
        const char *message;
    } cases[] = {
        {{QStringLiteral("kb"), QStringLiteral("build"), good}, 2, "build needs -o FILE"},
        {{QStringLiteral("kb"), QStringLiteral("build"), good, QStringLiteral("-o"), kb.Path("x.dat"),
          QStringLiteral("--written"), QStringLiteral("yesterday")},
         2,
         "--written yesterday"},
        {{QStringLiteral("kb"), QStringLiteral("build"), kb.Path("none.csv"), QStringLiteral("-o"), kb.Path("x.dat")},
         1,
         "none.csv: no such file"},
        {{QStringLiteral("kb"), QStringLiteral("export"), good}, 1, "not a knowledge-base file"},
        {{QStringLiteral("kb"), QStringLiteral("check"), good, QStringLiteral("--output"), QStringLiteral("x")},
         2,
         "unknown option --output"},
        {{QStringLiteral("kb"), QStringLiteral("merge")}, 2, "unknown command \"merge\""},
    };
    for (const auto &c : cases) {
        const CliRun r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    }
    EXPECT_FALSE(kb.Exists("x.dat"));
}

TEST(CliKnowledgeBase, CheckReportsPerKindAndFailsOnErrors)
{
    KbFolder kb;
    const QString clean = kb.Write("clean.csv", WriterSource);
    const CliRun gaps = RunCli({QStringLiteral("kb"), QStringLiteral("check"), clean});
    EXPECT_EQ(gaps.exitCode, 0) << gaps.out.toStdString();
    EXPECT_TRUE(gaps.out.contains("Kind 6, compensation recommendation: 8 keys asked for, 1 with an entry, 7 gaps: "
                                  "0 0; 1 0; 3 0; 4 0; 5 0; 6 0; 7 0\n"));
    EXPECT_TRUE(gaps.out.contains("2 entries; 0 errors, 0 warnings, 596 gaps (334 in kinds 1-7, 262 in kinds 8-14)"));
    EXPECT_EQ(
        RunCli({QStringLiteral("kb"), QStringLiteral("check"), clean, QStringLiteral("--gaps-are-errors")}).exitCode,
        1);

    const QString faulty =
        kb.Write("faulty.csv", WriterSource + "1,3,4,again,,\n15,1,2,,,\n2,9,9,\"" + QByteArray(300, 'a') + "\",,\n");
    const CliRun errors = RunCli({QStringLiteral("kb"), QStringLiteral("check"), faulty});
    EXPECT_EQ(errors.exitCode, 1);
    const QString at = kb.Path("faulty.csv");
    const QStringList lines{
        at + QStringLiteral(":5: error: same kind and keys as an earlier entry, which every lookup finds first (") + at
            + QStringLiteral(":2)"),
        at + QStringLiteral(":6: error: Kind: kind 15 is not looked up by any rule"),
        at + QStringLiteral(":7: error: BriefText: text of 300 bytes"),
        at + QStringLiteral(":7: warning: no rule asks for kind 2 with the keys 9 9"),
        QStringLiteral("5 entries; 3 errors, 1 warning"),
    };
    // In line order, after the per-kind lines.
    qsizetype from = errors.out.indexOf("Kind 14,");
    for (const QString &line : lines) {
        const qsizetype found = errors.out.indexOf(line.toUtf8(), from);
        EXPECT_GT(found, from) << line.toStdString() << "\n" << errors.out.toStdString();
        from = std::max(from, found);
    }

    // The built file is checked the same way, its entries by number.
    ASSERT_EQ(RunCli({QStringLiteral("kb"), QStringLiteral("build"), clean, QStringLiteral("-o"), kb.Path("kb.dat")})
                  .exitCode,
              0);
    const CliRun file = RunCli({QStringLiteral("kb"), QStringLiteral("check"), kb.Path("kb.dat")});
    EXPECT_EQ(file.exitCode, 0);
    EXPECT_TRUE(file.out.contains("2 entries; 0 errors"));
}
