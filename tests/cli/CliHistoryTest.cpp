// palettor-cli history on a folder written by the core: whom it finds, its
// exit codes, and its figures against Spearman's rho worked out here from
// the positions (1 - 6 sum d^2 / (n (n^2 - 1)), eight colours, no ties).
#include "cli/CliRun.h"
#include "core/SessionArchive.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using Positions = std::array<int, 8>;

// Position of each colour in a choice written as colours from position 1.
Positions PositionsOf(const char *choice)
{
    Positions positions{};
    for (int p = 0; p < 8; ++p)
        positions[static_cast<std::size_t>(choice[p] - '0')] = p + 1;
    return positions;
}

double Rho(const char *a, const char *b)
{
    const Positions x = PositionsOf(a);
    const Positions y = PositionsOf(b);
    double d2 = 0;
    for (std::size_t c = 0; c < 8; ++c)
        d2 += (x[c] - y[c]) * (x[c] - y[c]);
    return 1 - 6 * d2 / (8 * 63);
}

struct Visit {
    OleDate Start;
    const char *First;
    const char *Second; // nullptr: a single administration
};

// The person's three visits, saved out of order and typed a little
// differently; the middle one has a first choice only.
const Visit Visits[] = {
    {45700.5, "76543210", "01234567"}, {45500.5, "01234567", "10325476"}, {45600.5, "23456701", nullptr}};

class CliHistory : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.filePath(QStringLiteral("Data"));
        QDir().mkpath(folder);
        const char *surnames[] = {"Семенова", "СЕМЁНОВА", "семенова"};
        for (std::size_t i = 0; i < std::size(Visits); ++i)
            Save(surnames[i], "Алёна", 38000, Visits[i]);
        // Namesakes: another birth date, another first name.
        Save("Семенова", "Алена", 38001, {45650.5, "01234567", "01234567"});
        Save("Семенова", "Анна", 38000, {45650.5, "01234567", "01234567"});
    }

    void Save(const char *surname, const char *name, OleDate birth, const Visit &visit)
    {
        TCLTSession s(visit.Start, 45000);
        s.StartedAt = visit.Start;
        s.TestKind = visit.Second ? 2 : 1;
        s.Surname = surname;
        s.FirstName = name;
        s.Patronymic = "Петровна";
        s.BirthDate = birth;
        for (int p = 1; p <= 8; ++p) {
            s.Choice[1][p] = visit.First[p - 1] - '0' + 1;
            if (visit.Second)
                s.Choice[2][p] = visit.Second[p - 1] - '0' + 1;
        }
        SaveSession(s, folder.toStdString(), LocalDateTime{2025, 7, 4, 9, 0, saved++, 7}, [] { return 4; });
    }

    CliRun Run(QStringList args) { return RunCli(QStringList{QStringLiteral("history"), folder} + args); }

    QTemporaryDir dir;
    QString folder;
    int saved = 0;
};

const QStringList Person{QStringLiteral("--surname"), QStringLiteral("семёнова"),     QStringLiteral("--name"),
                         QStringLiteral("АЛЕНА"),     QStringLiteral("--birth-date"), QStringLiteral("14.01.2004")};

TEST_F(CliHistory, ExitCodesAndMessages)
{
    const QString pdf = dir.filePath(QStringLiteral("история.pdf"));
    const struct {
        QStringList args;
        int exitCode;
        const char *saying; // on stderr, or on stdout for a success
    } cases[] = {
        {{QStringLiteral("--help")}, 0, "--birth-date"},
        {Person + QStringList{QStringLiteral("--pdf"), pdf}, 0, ""},
        {{QStringLiteral("--surname"), QStringLiteral("Семенова"), QStringLiteral("--json")}, 2, "--name"},
        {Person, 2, "--json"},
        {Person + QStringList{QStringLiteral("--json"), QStringLiteral("--pdf"), pdf}, 2, "--json"},
        {Person + QStringList{QStringLiteral("--json"), QStringLiteral("--choice"), QStringLiteral("3")}, 2,
         "--choice"},
        {{QStringLiteral("--surname"), QStringLiteral("Семенова"), QStringLiteral("--name"), QStringLiteral("Алена"),
          QStringLiteral("--birth-date"), QStringLiteral("31.02.2004"), QStringLiteral("--json")},
         2,
         "ДД.ММ.ГГГГ"},
        {{QStringLiteral("--surname"), QStringLiteral("Петрова"), QStringLiteral("--name"), QStringLiteral("Алена"),
          QStringLiteral("--json")},
         1,
         "не найден"},
        // Two people share the names: both are named, with their birth dates.
        {{QStringLiteral("--surname"), QStringLiteral("Семенова"), QStringLiteral("--name"), QStringLiteral("Алена"),
          QStringLiteral("--json")},
         2,
         "14.01.2004 — сеансов: 3"},
    };
    for (const auto &c : cases) {
        const CliRun run = Run(c.args);
        const QString what = c.args.join(QLatin1Char(' '));
        EXPECT_EQ(run.exitCode, c.exitCode) << what.toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(QString::fromUtf8(c.exitCode == 0 ? run.out : run.err).contains(QString::fromUtf8(c.saying)))
            << what.toStdString() << ": " << run.out.toStdString() << run.err.toStdString();
    }
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(4).startsWith("%PDF"));

    const CliRun missing =
        RunCli({QStringLiteral("history"), dir.filePath(QStringLiteral("нет")), QStringLiteral("--surname"),
                QStringLiteral("А"), QStringLiteral("--name"), QStringLiteral("Б"), QStringLiteral("--json")});
    EXPECT_EQ(missing.exitCode, 1);
}

double Number(const QJsonValue &value) { return value.isDouble() ? value.toDouble() : std::nan(""); }

TEST_F(CliHistory, JsonHoldsTheSessionsOldestFirstWithTheirRhos)
{
    // Oldest first: Visits[1], [2], [0].
    const Visit &a = Visits[1];
    const Visit &b = Visits[2];
    const Visit &c = Visits[0];
    const double none = std::nan("");
    const struct {
        const char *choice; // nullptr: each session's last
        int followed[3];    // 0: none
        double rhoToPrevious[3];
    } cases[] = {
        {nullptr, {2, 1, 2}, {none, Rho(a.Second, b.First), Rho(b.First, c.Second)}},
        {"1", {1, 1, 1}, {none, Rho(a.First, b.First), Rho(b.First, c.First)}},
        {"2", {2, 0, 2}, {none, none, Rho(a.Second, c.Second)}},
    };
    for (const auto &t : cases) {
        QStringList args = Person + QStringList{QStringLiteral("--json")};
        if (t.choice)
            args << QStringLiteral("--choice") << QString::fromUtf8(t.choice);
        const CliRun run = Run(args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        const QJsonArray sessions = json[QStringLiteral("sessions")].toArray();
        ASSERT_EQ(sessions.size(), 3) << run.out.toStdString();
        EXPECT_EQ(json[QStringLiteral("person")][QStringLiteral("birth_date")].toString(),
                  QStringLiteral("2004-01-14"));
        const Visit *order[] = {&a, &b, &c};
        for (int i = 0; i < 3; ++i) {
            const QJsonObject s = sessions[i].toObject();
            const std::string where = std::string(t.choice ? t.choice : "last") + ", session " + std::to_string(i);
            EXPECT_EQ(s[QStringLiteral("start")].toString().left(10),
                      QStringLiteral("2024-07-27|2024-11-04|2025-02-12").split(QLatin1Char('|'))[i])
                << where;
            EXPECT_EQ(s[QStringLiteral("followed_choice")].toInt(0), t.followed[i]) << where;
            const double rho = Number(s[QStringLiteral("rho_to_previous")]);
            if (std::isnan(t.rhoToPrevious[i]))
                EXPECT_TRUE(s[QStringLiteral("rho_to_previous")].isNull()) << where;
            else
                EXPECT_NEAR(rho, t.rhoToPrevious[i], 1e-12) << where;
            const Positions first = PositionsOf(order[i]->First);
            const QJsonArray shown = s[QStringLiteral("first_choice_positions")].toArray();
            ASSERT_EQ(shown.size(), 8) << where;
            for (int colour = 0; colour < 8; ++colour)
                EXPECT_EQ(shown[colour].toInt(), first[static_cast<std::size_t>(colour)]) << where;
            EXPECT_EQ(s[QStringLiteral("second_choice_positions")].isNull(), order[i]->Second == nullptr) << where;
            if (order[i]->Second)
                EXPECT_NEAR(Number(s[QStringLiteral("own_rho")]), Rho(order[i]->First, order[i]->Second), 1e-12)
                    << where;
            else
                EXPECT_TRUE(s[QStringLiteral("own_rho")].isNull()) << where;
        }
        // The median of the two sessions with both choices.
        EXPECT_NEAR(Number(json[QStringLiteral("own_rho_median")]),
                    (Rho(a.First, a.Second) + Rho(c.First, c.Second)) / 2, 1e-12);
        EXPECT_EQ(json[QStringLiteral("own_rho_n")].toInt(), 2);
    }
}

} // namespace
