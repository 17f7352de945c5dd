// Runs palettor-cli kb export, build and check on small sources.
#include "cli/CliRun.h"
#include "core/KnowledgeBaseFile.h"
#include "core/OleDate.h"

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
    EXPECT_TRUE(run.err.contains("bad.csv:3: Key1: «two» — не целое число")) << run.err.toStdString();
    EXPECT_EQ(kb.Read("old.dat"), "earlier file");
    EXPECT_EQ(QDir(kb.Path("")).entryList(QDir::Files).size(), 3); // no temporary file left

    const struct {
        QStringList args;
        int exitCode;
        const char *message;
    } cases[] = {
        {{QStringLiteral("kb"), QStringLiteral("build"), good}, 2, "build нужен -o ФАЙЛ"},
        {{QStringLiteral("kb"), QStringLiteral("build"), good, QStringLiteral("-o"), kb.Path("x.dat"),
          QStringLiteral("--written"), QStringLiteral("yesterday")},
         2,
         "--written yesterday"},
        {{QStringLiteral("kb"), QStringLiteral("build"), kb.Path("none.csv"), QStringLiteral("-o"), kb.Path("x.dat")},
         1,
         "none.csv: нет такого файла"},
        {{QStringLiteral("kb"), QStringLiteral("export"), good}, 1, "не файл базы знаний"},
        {{QStringLiteral("kb"), QStringLiteral("check"), good, QStringLiteral("--output"), QStringLiteral("x")},
         2,
         "неизвестный параметр --output"},
        {{QStringLiteral("kb"), QStringLiteral("merge")}, 2, "неизвестная команда «merge»"},
    };
    for (const auto &c : cases) {
        const CliRun r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    }
    EXPECT_FALSE(kb.Exists("x.dat"));
}

namespace {

// Every text a conclusion can show of an entry, by kind.
const QByteArray FullHeader =
    "Kind,Key1,Key2,BriefText,PhysiologicalText,PsychologicalText,HeadingText,PrimaryActionText,"
    "PsychologicallyText,SummaryText\n";

} // namespace

TEST(CliKnowledgeBase, CheckReportsPerKindAndFailsOnErrors)
{
    KbFolder kb;
    const QByteArray cleanRows = "1,3,4,a,b,c,d,e,f,g\n6,7,0,,,,,,Совет,\n";
    const QString clean = kb.Write("clean.csv", FullHeader + cleanRows);
    const CliRun gaps = RunCli({QStringLiteral("kb"), QStringLiteral("check"), clean});
    EXPECT_EQ(gaps.exitCode, 0) << gaps.out.toStdString();
    EXPECT_TRUE(gaps.out.contains("Вид 6, рекомендация при компенсации: запрашиваемых ключей 3, с записью 1, "
                                  "пропусков 2: 0 0; 6 0\n"))
        << gaps.out.toStdString();
    EXPECT_TRUE(gaps.out.contains("2 записи; 0 ошибок, 0 предупреждений, 587 пропусков (325 в видах 1-7, "
                                  "262 в видах 8-14)"))
        << gaps.out.toStdString();
    EXPECT_EQ(
        RunCli({QStringLiteral("kb"), QStringLiteral("check"), clean, QStringLiteral("--gaps-are-errors")}).exitCode,
        1);

    const QString faulty = kb.Write("faulty.csv",
                                    FullHeader + cleanRows
                                        + "1,3,4,a,b,c,d,e,f,g\n"
                                          "15,1,2,a,b,c,d,e,f,g\n"
                                          "2,9,9,a,b,c,d,e,f,g\n"
                                          "3,2,5,a,b,c,d,e,,g\n"
                                          "1,5,0,a,b,c,d,e,f,g\n"
                                          "1,5,,a,b,c,d,e,f,g\n");
    const CliRun errors = RunCli({QStringLiteral("kb"), QStringLiteral("check"), faulty});
    EXPECT_EQ(errors.exitCode, 1);
    const QString at = kb.Path("faulty.csv");
    const QStringList lines{
        at + QStringLiteral(":4: ошибка: те же вид и ключи, что у записи выше, а поиск всегда находит её первой (") + at
            + QStringLiteral(":2)"),
        at + QStringLiteral(":5: ошибка: Kind: вид 15 не запрашивает ни одно правило"),
        at + QStringLiteral(":6: предупреждение: ни одно правило не запрашивает вид 2 с ключами 9 9"),
        at
            + QStringLiteral(":7: ошибка: PsychologicallyText: пустой текст, а его показывают в заключениях полного "
                             "теста"),
        at + QStringLiteral(":9: ошибка: те же вид и ключи"),
        QStringLiteral("(") + at
            + QStringLiteral(":8); пустая ячейка Key2 читается как 0 (для одного цвета Key2 "
                             "равен Key1)"),
        QStringLiteral("8 записей; 4 ошибки, 1 предупреждение"),
    };
    // In line order, after the per-kind lines.
    qsizetype from = errors.out.indexOf("Вид 14,");
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
    EXPECT_TRUE(file.out.contains("2 записи; 0 ошибок"));
}

TEST(CliKnowledgeBase, BuildWarnsOfShadowsAndRefusesKindsNoLookupUses)
{
    KbFolder kb;
    const QString shadowed = kb.Write("shadowed.csv", "Kind,Key1,Key2,BriefText\n1,5,0,a\n1,5,,b\n");
    const CliRun built =
        RunCli({QStringLiteral("kb"), QStringLiteral("build"), shadowed, QStringLiteral("-o"), kb.Path("a.dat")});
    EXPECT_EQ(built.exitCode, 0);
    EXPECT_TRUE(built.err.contains(kb.Path("shadowed.csv").toUtf8() + ":3: предупреждение: те же вид и ключи"))
        << built.err.toStdString();
    EXPECT_TRUE(built.err.contains("пустая ячейка Key2 читается как 0")) << built.err.toStdString();
    EXPECT_TRUE(built.out.contains("записано 2 записи"));

    const QString unused = kb.Write("unused.csv", "Kind,Key1,Key2,BriefText\n1,5,5,a\n15,1,2,b\n");
    kb.Write("old.dat", "earlier file");
    const CliRun refused =
        RunCli({QStringLiteral("kb"), QStringLiteral("build"), unused, QStringLiteral("-o"), kb.Path("old.dat")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(":3: ошибка: Kind: вид 15 не запрашивает ни одно правило"))
        << refused.err.toStdString();
    EXPECT_EQ(kb.Read("old.dat"), "earlier file");
}

TEST(CliKnowledgeBase, AFileThatCannotBeReadIsToldOnceAndNotCheckedFurther)
{
    KbFolder kb;
    // Two thousand rows saved in Windows-1251, and the same header in UTF-16.
    QByteArray cp1251 = "Kind,Key1,Key2,BriefText\n";
    for (int row = 0; row < 2000; ++row)
        cp1251 += "1,2,3,\xD1\xE5\xF0\xFB\xE9\n";
    const QString saved1251 = kb.Write("cp1251.csv", cp1251);
    const QString saved16 = kb.Write("utf16.csv", QByteArray("\xFF\xFEK\0i\0n\0d\0\n\0", 12));
    const QString broken = kb.Write("broken.csv", "Kind,Key1,BriefText\n1,2,\"open\n");
    for (const auto &[path, message] :
         {std::pair{saved1251, "файл сохранён в кодировке Windows-1251"},
          std::pair{saved16, "файл сохранён в кодировке UTF-16"}, std::pair{broken, "кавычка поля не закрыта"}}) {
        const CliRun check = RunCli({QStringLiteral("kb"), QStringLiteral("check"), path});
        EXPECT_EQ(check.exitCode, 1);
        EXPECT_EQ(check.out.count('\n'), 2) << check.out.toStdString();
        EXPECT_TRUE(check.out.contains(message)) << check.out.toStdString();
        EXPECT_TRUE(check.out.contains("Источники не прочитаны (1 ошибка); содержание не проверялось"));
        EXPECT_FALSE(check.out.contains("пропуск")) << check.out.toStdString();
        const CliRun build =
            RunCli({QStringLiteral("kb"), QStringLiteral("build"), path, QStringLiteral("-o"), kb.Path("x.dat")});
        EXPECT_EQ(build.exitCode, 1);
        EXPECT_EQ(build.err.count('\n'), 2) << build.err.toStdString();
        EXPECT_TRUE(build.err.contains("сохраните как «CSV UTF-8»") || path == broken) << build.err.toStdString();
    }
    EXPECT_FALSE(kb.Exists("x.dat"));
}
