// The heat maps as drawn: with a comparison group both maps stand on the
// page, each headed with its group and n and holding that group's shares,
// counted here straight from the sample's choices.
#include "statistics/StatisticsText.h"
#include "statsview/StatisticsDocument.h"
#include "support/PaintRecorder.h"
#include "support/StatisticsSample.h"

#include <gtest/gtest.h>

namespace {

using namespace statistics_sample;

std::vector<TCLTSession> SessionsOf(const std::vector<Person> &group)
{
    std::vector<TCLTSession> sessions;
    for (const Person &person : group) {
        TCLTSession &s = sessions.emplace_back(45000.5, 45000);
        s.TestKind = 2;
        for (int p = 1; p <= 8; ++p) {
            s.Choice[1][p] = person.First[p - 1] - '0' + 1;
            s.Choice[2][p] = person.Second[p - 1] - '0' + 1;
        }
    }
    return sessions;
}

std::vector<const TCLTSession *> Pointers(const std::vector<TCLTSession> &sessions)
{
    std::vector<const TCLTSession *> pointers;
    for (const TCLTSession &s : sessions)
        pointers.push_back(&s);
    return pointers;
}

// A map read row by row: the positions, then each colour's number and its
// eight shares of the second choice, in whole per cent.
QStringList ExpectedReading(const std::vector<Person> &group, const char *separator)
{
    QStringList reading;
    for (int p = 1; p <= 8; ++p)
        reading << QString::number(p);
    for (int c = 0; c < 8; ++c) {
        reading << QString::number(c);
        for (int p = 0; p < 8; ++p) {
            const auto count = std::count_if(group.begin(), group.end(),
                                             [&](const Person &person) { return person.Second[p] - '0' == c; });
            reading << QString::fromStdString(
                FigureText(100.0 * static_cast<double>(count) / static_cast<double>(group.size()), 0, separator));
        }
    }
    return reading;
}

// The maps under the two headings, found where the headings were painted.
struct TwoMaps {
    QStringList First;
    QStringList Second;
    bool SideBySide = false;
};

testing::AssertionResult ReadTwoMaps(const PaintRecorder &recorder, const QString &first, const QString &second,
                                     TwoMaps &maps)
{
    const PaintedText *a = recorder.Find(first);
    const PaintedText *b = recorder.Find(second);
    if (!a || !b)
        return testing::AssertionFailure() << "headings painted: " << (a != nullptr) << ", " << (b != nullptr);
    const QRectF all(-1e4, -1e4, 2e4, 2e4);
    maps.SideBySide = std::abs(a->At.y() - b->At.y()) < 1 && b->At.x() > a->At.x();
    const bool stacked = std::abs(a->At.x() - b->At.x()) < 1 && b->At.y() > a->At.y();
    if (maps.SideBySide == stacked)
        return testing::AssertionFailure() << "the headings stand neither side by side nor one above the other";
    const double below = a->At.y() + 1;
    if (maps.SideBySide) {
        maps.First = recorder.Reading(QRectF(QPointF(a->At.x() - 1, below), QPointF(b->At.x() - 1, all.bottom())));
        maps.Second = recorder.Reading(QRectF(QPointF(b->At.x() - 1, below), all.bottomRight()));
    } else {
        maps.First = recorder.Reading(QRectF(QPointF(all.left(), below), QPointF(all.right(), b->At.y() - 1)));
        maps.Second = recorder.Reading(QRectF(QPointF(all.left(), b->At.y() + 1), all.bottomRight()));
    }
    return testing::AssertionSuccess();
}

TEST(HeatMaps, EachGroupsMapStandsUnderItsOwnHeadingSideBySideOrStacked)
{
    const std::vector<TCLTSession> a = SessionsOf(GroupA);
    const std::vector<TCLTSession> b = SessionsOf(GroupB);
    const StatisticsOutput output = AnalyseSelection(Pointers(a), nullptr, 2);
    const StatisticsOutput versus = AnalyseSelection(Pointers(b), nullptr, 2);
    const struct {
        QSize area;
        bool sideBySide;
    } cases[] = {{{900, 420}, true}, {{600, 500}, true}, {{420, 900}, false}, {{600, 1000}, false}};
    for (const auto &c : cases) {
        PaintRecorder recorder(c.area);
        QPainter painter(&recorder);
        PaintHeatMaps(painter, QRectF(QPointF(0, 0), QSizeF(c.area)),
                      {{QStringLiteral("7А"), &output.Group.Table}, {QStringLiteral("7Б"), &versus.Group.Table}},
                      DefaultSwatchColours(), QStringLiteral(","));
        painter.end();
        TwoMaps maps;
        ASSERT_TRUE(ReadTwoMaps(recorder, QStringLiteral("7А — n = 24"), QStringLiteral("7Б — n = 18"), maps))
            << c.area.width() << "x" << c.area.height();
        EXPECT_EQ(maps.SideBySide, c.sideBySide) << c.area.width() << "x" << c.area.height();
        EXPECT_EQ(maps.First, ExpectedReading(GroupA, ",")) << c.area.width() << "x" << c.area.height();
        EXPECT_EQ(maps.Second, ExpectedReading(GroupB, ",")) << c.area.width() << "x" << c.area.height();
    }
}

TEST(HeatMaps, ThePrintedPageShowsTheComparisonGroupsMapBesideTheFirst)
{
    const std::vector<TCLTSession> a = SessionsOf(GroupA);
    const std::vector<TCLTSession> b = SessionsOf(GroupB);
    const std::vector<const TCLTSession *> versus = Pointers(b);
    StatisticsDocumentText text;
    text.Selection = QStringLiteral("Группа A");
    text.VersusSelection = QStringLiteral("Группа B");
    text.DecimalSeparator = QStringLiteral(".");

    PaintRecorder alone(QSize(1000, 1414));
    QPainter painter(&alone);
    PaintStatisticsPage(painter, QRectF(0, 0, 1000, 1414), 0, AnalyseSelection(Pointers(a), nullptr, 2), text,
                        DefaultSwatchColours());
    painter.end();
    EXPECT_NE(alone.Find(QStringLiteral("Группа A — n = 24")), nullptr);
    EXPECT_EQ(alone.Find(QStringLiteral("Группа B — n = 18")), nullptr);

    PaintRecorder both(QSize(1000, 1414));
    painter.begin(&both);
    PaintStatisticsPage(painter, QRectF(0, 0, 1000, 1414), 0, AnalyseSelection(Pointers(a), &versus, 2), text,
                        DefaultSwatchColours());
    painter.end();
    TwoMaps maps;
    ASSERT_TRUE(ReadTwoMaps(both, QStringLiteral("Группа A — n = 24"), QStringLiteral("Группа B — n = 18"), maps));
    EXPECT_EQ(maps.First, ExpectedReading(GroupA, "."));
    EXPECT_EQ(maps.Second, ExpectedReading(GroupB, "."));
}

} // namespace
