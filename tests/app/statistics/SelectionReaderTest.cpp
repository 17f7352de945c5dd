// The worker's side of the statistics page: sessions read from their files
// or taken whole, files gone or damaged since the listing left out and told,
// and a stop asked for.
#include "statistics/SelectionReader.h"

#include "core/SessionArchive.h"
#include "core/SessionListFields.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TCLTSession Session(const char *second, const std::string &group)
{
    TCLTSession s(45000.5, 45000);
    s.TestKind = 2;
    s.Group = group;
    s.Surname = "Тестов";
    for (int p = 1; p <= 8; ++p) {
        s.Choice[1][p] = p;
        s.Choice[2][p] = second[p - 1] - '0' + 1;
    }
    return s;
}

class SelectionReaderTest : public ::testing::Test {
protected:
    // A listed session, as the list holds it: its list fields and its file.
    SelectedSession Stored(TCLTSession session)
    {
        const std::string path = SaveSession(session, dir.path().toStdString(),
                                             LocalDateTime{2025, 7, 4, 9, 0, stored++, 7}, [] { return 4; });
        session.SourceFile = path;
        session.DetailsRead = false;
        return SelectedSession::Of(session);
    }

    QTemporaryDir dir;
    int stored = 0;
};

TEST_F(SelectionReaderTest, ReadsFilesAndWholeSessionsAndLeavesOutWhatIsGone)
{
    const char *orders[] = {"01234567", "10234567", "01324567", "76543210"};
    std::vector<TCLTSession> expected;
    StatisticsRequest request;
    for (int i = 0; i < 3; ++i) {
        expected.push_back(Session(orders[i], "A"));
        request.First.push_back(Stored(expected.back()));
    }
    // Never stored: the page hands it over whole.
    expected.push_back(Session(orders[3], "A"));
    request.First.push_back(SelectedSession::Of(expected.back()));
    ASSERT_TRUE(request.First.back().Whole);

    // One file deleted and one damaged after the listing.
    const SelectedSession gone = Stored(Session(orders[0], "A"));
    ASSERT_TRUE(QFile::remove(QString::fromStdString(gone.Path)));
    const SelectedSession damaged = Stored(Session(orders[0], "A"));
    QFile file(QString::fromStdString(damaged.Path));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() / 2));
    file.close();
    request.First.push_back(gone);
    request.First.push_back(damaged);

    StatisticsProgress progress;
    const StatisticsResult result = ComputeStatistics(request, progress);
    EXPECT_FALSE(result.Cancelled);
    EXPECT_EQ(result.FirstRead, 4u);
    EXPECT_EQ(result.Unreadable, (std::vector<std::string>{gone.Path, damaged.Path}));
    EXPECT_EQ(progress.Done.load(), request.First.size());

    std::vector<const TCLTSession *> pointers;
    for (const TCLTSession &s : expected)
        pointers.push_back(&s);
    const StatisticsOutput direct = AnalyseSelection(pointers, nullptr, 2);
    EXPECT_EQ(result.Output.Group.Table.Counts, direct.Group.Table.Counts);
    EXPECT_DOUBLE_EQ(result.Output.Group.Friedman.Chi2, direct.Group.Friedman.Chi2);
}

TEST_F(SelectionReaderTest, AComparisonGroupIsReadAfterTheFirstAndAStopLeavesNoFigures)
{
    StatisticsRequest request;
    request.First.push_back(Stored(Session("01234567", "A")));
    request.First.push_back(Stored(Session("01234567", "A")));
    request.Versus.emplace();
    request.Versus->push_back(Stored(Session("76543210", "B")));
    request.Versus->push_back(Stored(Session("76543210", "B")));
    {
        StatisticsProgress progress;
        const StatisticsResult result = ComputeStatistics(request, progress);
        EXPECT_EQ(result.FirstRead, 2u);
        EXPECT_EQ(result.VersusRead, 2u);
        ASSERT_TRUE(result.Output.Comparison);
        // Colour 0 first in A, last in B.
        EXPECT_EQ((*result.Output.Comparison)[0].U, 0.0);
        EXPECT_EQ(progress.Total.load(), 4u);
    }
    {
        StatisticsProgress progress;
        progress.Cancel = true;
        const StatisticsResult result = ComputeStatistics(request, progress);
        EXPECT_TRUE(result.Cancelled);
        EXPECT_EQ(progress.Done.load(), 0u);
    }
}

} // namespace
