// palettor-cli export --pseudonymise: no name or birth date of anyone in the
// folder anywhere in the file, and one code per person across exports.
#include "cli/CliRun.h"
#include "core/SessionArchive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

struct PersonRow {
    const char *surname, *firstName, *patronymic;
    LocalDateTime born;
};

// Two spellings of one woman (case, ё/е), two other people.
const PersonRow People[] = {
    {"Ёлкина", "Алёна", "Петровна", {2009, 5, 3}},
    {"ЕЛКИНА", "алена", "ПЕТРОВНА", {2009, 5, 3}},
    {"Смирнов", "Игорь", "Олегович", {1987, 11, 23}},
    {"Смирнов", "Игорь", "Олегович", {1990, 1, 2}},
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The code column of each data row, by row number.
std::vector<QByteArray> Codes(const QByteArray &csv)
{
    QList<QByteArray> rows = csv.split('\n');
    const QList<QByteArray> header = rows[0].trimmed().split(';');
    const qsizetype column = header.indexOf("PersonCode");
    EXPECT_GE(column, 0) << rows[0].toStdString();
    std::vector<QByteArray> codes;
    for (qsizetype i = 1; i < rows.size(); ++i)
        if (!rows[i].trimmed().isEmpty())
            codes.push_back(rows[i].split(';').value(column));
    return codes;
}

TEST(CliPseudonymise, NoNameOrBirthDateAndOneCodePerPerson)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Data"));
    QDir().mkpath(folder);
    int second = 0;
    for (const PersonRow &person : People) {
        TCLTSession s(45000.5, 45000);
        s.TestKind = 1;
        s.Surname = person.surname;
        s.FirstName = person.firstName;
        s.Patronymic = person.patronymic;
        s.BirthDate = ToOleDate(person.born);
        for (int p = 1; p <= 8; ++p)
            s.Choice[1][p] = p;
        SaveSession(s, folder.toStdString(), LocalDateTime{2025, 7, 4, 9, 5, second++, 7}, [] { return 4; });
    }
    // The secret is kept in a settings folder of the test's own.
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    std::vector<std::vector<QByteArray>> exports;
    for (int round = 0; round < 2; ++round) {
        const QString out = dir.filePath(QStringLiteral("list%1.csv").arg(round));
        const CliRun run =
            RunCli({QStringLiteral("export"), folder, QStringLiteral("-o"), out, QStringLiteral("--decimal-separator"),
                    QStringLiteral(","), QStringLiteral("--pseudonymise")});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString csv = QString::fromUtf8(ReadAll(out));
        ASSERT_FALSE(csv.isEmpty());
        for (const PersonRow &person : People) {
            for (const char *name : {person.surname, person.firstName, person.patronymic})
                EXPECT_FALSE(csv.contains(QString::fromUtf8(name), Qt::CaseInsensitive)) << name;
            const QDate born(person.born.Year, person.born.Month, person.born.Day);
            for (const QString &format :
                 {QStringLiteral("yyyy-MM-dd"), QStringLiteral("dd.MM.yyyy"), QStringLiteral("dd.MM.yy")})
                EXPECT_FALSE(csv.contains(born.toString(format))) << born.toString(format).toStdString();
        }
        EXPECT_FALSE(csv.contains(QStringLiteral("BirthDate")));
        EXPECT_TRUE(csv.contains(QStringLiteral(";Age;"))); // age stays
        exports.push_back(Codes(csv.toUtf8()));
    }
    const QByteArray plain = [&] {
        const QString out = dir.filePath(QStringLiteral("named.csv"));
        RunCli({QStringLiteral("export"), folder, QStringLiteral("-o"), out});
        return ReadAll(out);
    }();
    qputenv("XDG_CONFIG_HOME", oldConfig);
    EXPECT_TRUE(QString::fromUtf8(plain).contains(QStringLiteral("Ёлкина"))); // the names are there to hide

    ASSERT_EQ(exports[0].size(), std::size(People));
    EXPECT_EQ(exports[0], exports[1]);
    std::map<QByteArray, int> codes;
    for (const QByteArray &code : exports[0]) {
        EXPECT_TRUE(code.startsWith("P-")) << code.toStdString();
        ++codes[code];
    }
    // Rows are in the order of saving: the two spellings of one woman share a
    // code, the two men born on different days do not.
    EXPECT_EQ(exports[0][0], exports[0][1]);
    EXPECT_NE(exports[0][2], exports[0][3]);
    EXPECT_EQ(codes.size(), 3U);
}

} // namespace
