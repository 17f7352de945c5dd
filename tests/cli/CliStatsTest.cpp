// palettor-cli stats on a folder written by the core, against the figures
// another tool computed for the same sample (StatisticsSample.h).
#include "cli/CliRun.h"
#include "core/SessionArchive.h"
#include "support/StatisticsSample.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace statistics_sample;

void SetChoice(TCLTSession &s, int choice, const char *colours)
{
    for (int p = 1; p <= 8; ++p)
        s.Choice[choice][p] = colours[p - 1] - '0' + 1;
}

// Groups A, B and C as double administrations, and in group A also single
// ones that --kind 2 has to leave out.
class CliStats : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.filePath(QStringLiteral("Data"));
        QDir().mkpath(folder);
        int second = 0;
        const auto save = [&](TCLTSession &s) {
            SaveSession(s, folder.toStdString(), LocalDateTime{2025, 7, 4, 9, second / 60, second % 60, 7},
                        [] { return 4; });
            ++second;
        };
        for (const auto &[name, group] : {std::pair{"A", &GroupA}, {"B", &GroupB}, {"C", &GroupC}}) {
            for (const Person &person : *group) {
                TCLTSession s(45000.5, 45000);
                s.TestKind = 2;
                s.Group = name;
                s.Surname = "Тестов";
                SetChoice(s, 1, person.First);
                SetChoice(s, 2, person.Second);
                save(s);
            }
        }
        for (int i = 0; i < 3; ++i) {
            TCLTSession s(45000.5, 45000);
            s.TestKind = 1;
            s.Group = "A";
            SetChoice(s, 1, "76543210");
            SetChoice(s, 2, "76543210");
            save(s);
        }
    }

    QJsonObject Json(QStringList args)
    {
        args.prepend(folder);
        args.prepend(QStringLiteral("stats"));
        const CliRun run = RunCli(args << QStringLiteral("--json"));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
        return document.object();
    }

    QTemporaryDir dir;
    QString folder;
};

double Number(const QJsonValue &value) { return value.isDouble() ? value.toDouble() : std::nan(""); }

void ExpectP(const QJsonValue &actual, double expected)
{
    EXPECT_NEAR(Number(actual), expected, 1e-6);
    EXPECT_NEAR(Number(actual), expected, expected * 1e-7);
}

TEST_F(CliStats, OneGroupMatchesTheReference)
{
    const QJsonObject json = Json({QStringLiteral("--group"), QStringLiteral("A"), QStringLiteral("--kind"),
                                   QStringLiteral("2"), QStringLiteral("--choice"), QStringLiteral("2")});
    EXPECT_EQ(json[QStringLiteral("n")].toInt(), static_cast<int>(GroupA.size()));
    const QJsonArray colours = json[QStringLiteral("colours")].toArray();
    ASSERT_EQ(colours.size(), 8);
    for (int c = 0; c < 8; ++c) {
        SCOPED_TRACE(c);
        const QJsonObject colour = colours[c].toObject();
        EXPECT_EQ(colour[QStringLiteral("colour")].toInt(-1), c);
        EXPECT_NEAR(Number(colour[QStringLiteral("mean_position")]), ColoursA[c][0], 1e-9);
        EXPECT_NEAR(Number(colour[QStringLiteral("median_position")]), ColoursA[c][1], 1e-9);
        EXPECT_NEAR(Number(colour[QStringLiteral("plus_share")]), ColoursA[c][4], 1e-9);
        EXPECT_NEAR(Number(colour[QStringLiteral("minus_share")]), ColoursA[c][5], 1e-9);
    }
    EXPECT_NEAR(Number(json[QStringLiteral("friedman_chi2")]), FriedmanA[0], 1e-9);
    ExpectP(json[QStringLiteral("friedman_p")], FriedmanA[1]);
    EXPECT_NEAR(Number(json[QStringLiteral("kendall_w")]), FriedmanA[2], 1e-9);
    const QJsonObject stability = json[QStringLiteral("stability")].toObject();
    EXPECT_NEAR(Number(stability[QStringLiteral("median")]), StabilityA[0], 1e-9);
    EXPECT_FALSE(json.contains(QStringLiteral("comparison")));

    // Without --kind the single administrations count in the first choice.
    EXPECT_EQ(Json({QStringLiteral("--group"), QStringLiteral("A"), QStringLiteral("--choice"),
                    QStringLiteral("1")})[QStringLiteral("n")]
                  .toInt(),
              static_cast<int>(GroupA.size()) + 3);
}

TEST_F(CliStats, TwoGroupsMatchTheReference)
{
    const QJsonObject json = Json({QStringLiteral("--group"), QStringLiteral("A"), QStringLiteral("--versus-group"),
                                   QStringLiteral("B"), QStringLiteral("--kind=2")});
    EXPECT_EQ(json[QStringLiteral("n1")].toInt(), static_cast<int>(GroupA.size()));
    EXPECT_EQ(json[QStringLiteral("n2")].toInt(), static_cast<int>(GroupB.size()));
    const QJsonArray comparison = json[QStringLiteral("comparison")].toArray();
    ASSERT_EQ(comparison.size(), 8);
    for (int c = 0; c < 8; ++c) {
        SCOPED_TRACE(c);
        const QJsonObject colour = comparison[c].toObject();
        EXPECT_EQ(colour[QStringLiteral("colour")].toInt(-1), c);
        EXPECT_NEAR(Number(colour[QStringLiteral("u")]), CompareAB[c][0], 1e-9);
        ExpectP(colour[QStringLiteral("p")], CompareAB[c][1]);
        ExpectP(colour[QStringLiteral("p_holm")], CompareAB[c][2]);
        EXPECT_NEAR(Number(colour[QStringLiteral("rank_biserial")]), CompareAB[c][3], 1e-9);
    }
}

TEST_F(CliStats, ThreeGroupsAreComparedByKruskalWallis)
{
    const QJsonObject json = Json({QStringLiteral("--kind"), QStringLiteral("2")});
    EXPECT_EQ(json[QStringLiteral("n")].toInt(), static_cast<int>(GroupA.size() + GroupB.size() + GroupC.size()));
    EXPECT_EQ(json[QStringLiteral("groups")].toArray().size(), 3);
    const QJsonArray kw = json[QStringLiteral("kruskal_wallis")].toArray();
    ASSERT_EQ(kw.size(), 8);
    for (int c = 0; c < 8; ++c) {
        SCOPED_TRACE(c);
        EXPECT_NEAR(Number(kw[c].toObject()[QStringLiteral("h")]), KruskalABC[c][0], 1e-9);
        ExpectP(kw[c].toObject()[QStringLiteral("p")], KruskalABC[c][1]);
    }
}

TEST_F(CliStats, CsvPdfAndWrongUse)
{
    const CliRun csv = RunCli({QStringLiteral("stats"), folder, QStringLiteral("--group"), QStringLiteral("A"),
                               QStringLiteral("--kind"), QStringLiteral("2"), QStringLiteral("--csv"),
                               QStringLiteral("--decimal-separator"), QStringLiteral(",")});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    const QList<QByteArray> rows = csv.out.split('\n');
    ASSERT_GE(rows.size(), 9);
    EXPECT_TRUE(rows[0].contains("Colour;N;MeanPosition;MedianPosition"));
    // Colour 3 of group A: mean 1.5833..., median 1.
    EXPECT_TRUE(rows[4].startsWith("3;24;1,58333333333333"));

    const QString pdf = dir.filePath(QStringLiteral("stats.pdf"));
    const CliRun written =
        RunCli({QStringLiteral("stats"), folder, QStringLiteral("--group"), QStringLiteral("A"),
                QStringLiteral("--versus-group"), QStringLiteral("B"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(4) == "%PDF");

    struct Case {
        QStringList args;
        const char *says;
    };
    const Case wrong[] = {
        {{QStringLiteral("--json"), QStringLiteral("--csv")}, "exactly one"},
        {{}, "exactly one"},
        {{QStringLiteral("--json"), QStringLiteral("--choice"), QStringLiteral("3")}, "--choice"},
        {{QStringLiteral("--json"), QStringLiteral("--kind"), QStringLiteral("x")}, "--kind"},
    };
    for (const Case &c : wrong) {
        const CliRun run = RunCli(QStringList{QStringLiteral("stats"), folder} + c.args);
        EXPECT_EQ(run.exitCode, 2) << c.says;
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    const CliRun missing =
        RunCli({QStringLiteral("stats"), dir.filePath(QStringLiteral("none")), QStringLiteral("--json")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("no such folder"));
}

} // namespace
