// The statistics page driven over a small archive: the figures it shows are
// those of the pure layer for the sessions the results list shows, with the
// comparison group and the PDF.
#include "app/statistics/StatisticsPage.h"
#include "app/WindowFixture.h"
#include "app/archive/ArchiveWatcher.h"
#include "statistics/StatisticsText.h"
#include "support/PaintRecorder.h"
#include "support/Pixels.h"
#include "support/StatisticsSample.h"

#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QTableWidget>
#include <QTest>

namespace {

using namespace statistics_sample;

class StatisticsPageTest : public WindowFixture {
protected:
    void SetUp() override
    {
        for (const auto &[name, group] : {std::pair{"A", &GroupA}, {"B", &GroupB}})
            for (const Person &person : *group)
                Store(name, person);
        install.Store(QStringLiteral("UserGroups"), QStringLiteral("A\r\nB\r\n"));
    }

    void Store(const char *group, const Person &person)
    {
        TCLTSession s(45000.5, 45000);
        s.TestKind = 2;
        s.Group = group;
        s.Surname = "Тестов";
        for (int p = 1; p <= 8; ++p) {
            s.Choice[1][p] = person.First[p - 1] - '0' + 1;
            s.Choice[2][p] = person.Second[p - 1] - '0' + 1;
        }
        SaveSession(s, install.DataFolder().toStdString(), LocalDateTime{2025, 7, 4, 9, stored / 60, stored % 60, 7},
                    [] { return 4; });
        ++stored;
    }

    void Filter(const char *group)
    {
        auto *box = Find<QComboBox>(*w, "cbFilterGroup");
        box->setCurrentIndex(box->findText(QString::fromUtf8(group)));
        Find<QAction>(*w, "actResultsFilter")->trigger();
    }

    int stored = 0;

    // The list filtered to group A, then the statistics page shown.
    StatisticsPage *OpenOnGroupA()
    {
        Filter("A");
        Find<QTabWidget>(*w, "TeSPageControl")->setCurrentIndex(TformPalettorMain::StatisticsPageIndex);
        return w->findChild<StatisticsPage *>();
    }

    static testing::AssertionResult Reckoned(StatisticsPage *page, std::size_t versus)
    {
        return WaitUntil([&] { return !page->Busy() && page->Shown() && page->Shown()->VersusRead == versus; }, 10000,
                         "the statistics are reckoned");
    }

    static int Column(const QTableWidget &table, const QString &header)
    {
        for (int c = 0; c < table.columnCount(); ++c)
            if (table.horizontalHeaderItem(c)->text() == header)
                return c;
        return -1;
    }
};

TEST_F(StatisticsPageTest, ShowsTheListsFiguresAndComparesWithASecondGroup)
{
    // A point as the separator: the page must take the station's, not its own.
    const StationContext context(QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_NO_FATAL_FAILURE(StartWindow(&context));
    ASSERT_TRUE(w->AdministratorMode());
    StatisticsPage *page = OpenOnGroupA();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(Reckoned(page, 0));
    EXPECT_EQ(page->Shown()->FirstRead, GroupA.size());

    auto *table = Find<QTableWidget>(*page, "gridStatistics");
    ASSERT_EQ(table->rowCount(), 8);
    const struct {
        const char *header;
        int figure; // index into ColoursA
        int decimals;
        double scale;
    } columns[] = {{"Среднее", 0, 2, 1}, {"Медиана", 1, 1, 1}, {"1–2, %", 4, 1, 100}, {"7–8, %", 5, 1, 100}};
    for (const auto &c : columns) {
        const int column = Column(*table, QString::fromUtf8(c.header));
        ASSERT_GE(column, 0) << c.header;
        for (int colour = 0; colour < 8; ++colour)
            EXPECT_EQ(table->item(colour, column)->text().toStdString(),
                      FigureText(ColoursA[std::size_t(colour)][std::size_t(c.figure)] * c.scale, c.decimals, "."))
                << c.header << ", colour " << colour;
    }
    const int iqr = Column(*table, QStringLiteral("МКР"));
    ASSERT_GE(iqr, 0);
    EXPECT_EQ(table->item(1, iqr)->text().toStdString(), FigureText(ColoursA[1][3] - ColoursA[1][2], 1, "."));

    auto *tests = Find<QPlainTextEdit>(*page, "memoStatisticsTests");
    Agreement agreement;
    agreement.N = GroupA.size();
    agreement.Chi2 = FriedmanA[0];
    agreement.P = FriedmanA[1];
    agreement.KendallW = FriedmanA[2];
    EXPECT_TRUE(tests->toPlainText().contains(QString::fromStdString(AgreementSentence(agreement, "."))))
        << tests->toPlainText().toStdString();

    // The comparison group: every colour's sentence, and both groups in the table.
    auto *versus = Find<QComboBox>(*page, "cbStatisticsVersus");
    versus->setCurrentIndex(versus->findText(QStringLiteral("B")));
    ASSERT_TRUE(Reckoned(page, GroupB.size()));
    EXPECT_EQ(table->rowCount(), 16);
    for (int colour = 0; colour < 8; ++colour) {
        ColourComparison expected;
        expected.Colour = colour;
        expected.N1 = GroupA.size();
        expected.N2 = GroupB.size();
        expected.U = CompareAB[std::size_t(colour)][0];
        expected.P = CompareAB[std::size_t(colour)][1];
        expected.PHolm = CompareAB[std::size_t(colour)][2];
        expected.RankBiserial = CompareAB[std::size_t(colour)][3];
        EXPECT_TRUE(tests->toPlainText().contains(QString::fromStdString(ComparisonSentence(expected, "."))))
            << "colour " << colour << ": " << tests->toPlainText().toStdString();
    }

    // Both groups' heat maps, each under its name (shortened when the map
    // is narrow) and n.
    auto *heatMap = Find<QWidget>(*page, "chartStatisticsHeatMap");
    PaintRecorder drawn(heatMap->size());
    heatMap->render(&drawn);
    for (const QString &heading : {QStringLiteral("Список — n = 24"), QStringLiteral("B — n = 18")})
        EXPECT_TRUE(std::any_of(drawn.Texts().begin(), drawn.Texts().end(), [&](const PaintedText &t) {
            return t.Text == heading
                || (t.Text.contains(QChar(0x2026)) && t.Text.endsWith(heading.mid(heading.indexOf(QChar(0x2014))))
                    && t.Text.startsWith(heading.left(1)));
        })) << heading.toStdString();

    // The same chart as a PNG, from its pop-up menu: the picture holds the
    // swatches the screen shows.
    const QString png = install.Root() + QStringLiteral("карта.png");
    dialogs.saveFileAnswers.push_back(png);
    Find<QAction>(*heatMap, "actChartSavePng")->trigger();
    const QImage picture(png);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), heatMap->size() * 2);
    EXPECT_TRUE(HasPixel(picture, DefaultSwatchColours()[3].rgb())); // red, drawn

    const QString pdf = install.Root() + QStringLiteral("statistics.pdf");
    dialogs.saveFileAnswers.push_back(pdf);
    Find<QPushButton>(*page, "btnStatisticsSavePdf")->click();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

TEST_F(StatisticsPageTest, FollowsTheListWhenShownAndWaitsForItWhileHidden)
{
    ASSERT_NO_FATAL_FAILURE(StartWindow());
    StatisticsPage *page = OpenOnGroupA();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(Reckoned(page, 0));
    auto *tabs = Find<QTabWidget>(*w, "TeSPageControl");
    auto *note = Find<QLabel>(*page, "labelStatisticsOutOfDate");

    // Filtered anew behind the page: nothing is read for a hidden page, but
    // its figures are known to be out of date.
    tabs->setCurrentIndex(TformPalettorMain::ResultsPageIndex);
    Filter("B");
    QTest::qWait(800); // longer than the page waits for a burst of changes to end
    EXPECT_FALSE(page->Busy());
    EXPECT_TRUE(page->OutOfDate());
    EXPECT_EQ(page->Shown()->FirstRead, GroupA.size());
    EXPECT_TRUE(note->isVisibleTo(page));
    EXPECT_TRUE(note->text().contains(QStringLiteral("«Обновить»"))) << note->text().toStdString();
    // Shown again: reckoned over the new list without «Обновить».
    tabs->setCurrentIndex(TformPalettorMain::StatisticsPageIndex);
    ASSERT_TRUE(WaitUntil([&] { return !page->Busy() && page->Shown()->FirstRead == GroupB.size(); }, 10000,
                          "the page reckons group B"));
    EXPECT_FALSE(page->OutOfDate());
    EXPECT_FALSE(note->isVisibleTo(page));

    // While shown and compared with group A, another station stores a
    // session of group A: the list (group B) stays as it was, but the
    // watcher's pass reaches the archive and the page follows.
    auto *versus = Find<QComboBox>(*page, "cbStatisticsVersus");
    versus->setCurrentIndex(versus->findText(QStringLiteral("A")));
    ASSERT_TRUE(Reckoned(page, GroupA.size()));
    Store("A", GroupA[0]);
    w->findChild<ArchiveWatcher *>()->CheckNow();
    ASSERT_TRUE(Reckoned(page, GroupA.size() + 1));
    EXPECT_EQ(page->Shown()->FirstRead, GroupB.size());
    EXPECT_FALSE(page->OutOfDate());
}

} // namespace
