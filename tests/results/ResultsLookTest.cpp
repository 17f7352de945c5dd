// Not run by default: shows the results page over a few hundred sessions of
// every kind so a person can look at it, e.g. under Xvfb (one command line):
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/results_tests
//       --gtest_also_run_disabled_tests --gtest_filter='*Look*'
// and take a screenshot meanwhile (import -window root look.png).
// PALETTOR_LOOK_SECONDS sets how long it stays up (default 8).
#include "results/ResultsFixture.h"

#include "results/CollapsiblePanel.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"

#include <QTableView>
#include <QTest>

namespace {

class ResultsLook : public ResultsPageFixture {};

TEST_F(ResultsLook, DISABLED_ShowsThePageWithSessionsOfAllKinds)
{
    const char *surnames[] = {"Иванов", "Петрова", "Сидоров", "Кузнецова", "Смирнов", "Попова", "Васильев"};
    for (int i = 0; i < 300; ++i) {
        const int kind = 1 + i % 4;
        TCLTSession s = MakeSession(surnames[i % 7], kind, static_cast<uint8_t>(i % 3), i % 5 == 0 ? 0 : 18 + i % 50,
                                    i % 2 ? "Администрация" : "Бухгалтерия");
        s.StartedAt = TestToday - 300 + i + 0.4;
        s.DurationSeconds = 200 + (i * 37) % 1500;
        for (int p = 1; p <= 8; ++p) {
            s.Choice[1][p] = 1 + (p + i) % 8;
            s.Choice[2][p] = 1 + (p + 2 * i) % 8;
        }
        s.AcMark[1][1] = 2;
        s.AcWeight[1][1] = 1;
        s.AcMark[1][7] = 1;
        s.AcWeight[1][7] = 2;
        s.AcMark[2][8] = 1;
        s.AcWeight[2][8] = 3;
        s.AchromaticChoice[1] = 1 + i % 5;
        s.AchromaticChoice[2] = 1 + (i + 2) % 5;
        s.AchromaticChoice[3] = 1 + (i + 4) % 5;
        for (int t = 1; t <= 5; ++t)
            for (int c = 1; c <= 4; ++c)
                s.PairWins[t][c] = (t + c + i) % 4;
        for (int c = 1; c <= 4; ++c) {
            s.ShadeScore[c] = c == 2 ? 1000 : 3 + (c + i) % 8;
            s.ShadeTendency[c] = c == 4 ? 1000 : c;
        }
        s.BriefConclusion = "Потребность в покое и защищённости.\nСтремление к признанию.\n";
        s.DetailedConclusion = "Основная потребность: спокойная обстановка, удовлетворение и отдых.\n"
                               "Действительное положение: стремится к признанию, хочет производить впечатление.\n";
        s.AdditionalFindings = "Тревожность: умеренная.\nРабота: обычная работоспособность.";
        s.ComputeAge();
        s.UpdateDisplayName();
        Save(s);
    }
    OpenPage(false);
    page->RestorePlacement();
    Find<CollapsiblePanel>("TeHeaderPanel2")->SetRolled(false);
    Find<CollapsiblePanel>("TeHeaderPanel3")->SetRolled(false);
    page->resize(1280, 1000);
    page->RefillResults(false);
    // Row 3 is a full test; PALETTOR_LOOK_ROW picks another (-1 for none).
    const int row =
        qEnvironmentVariableIsSet("PALETTOR_LOOK_ROW") ? qEnvironmentVariableIntValue("PALETTOR_LOOK_ROW") : 2;
    if (row >= 0)
        SelectRow(page->Grid(), row);
    else
        page->Grid()->clearSelection();
    const int seconds =
        qEnvironmentVariableIsSet("PALETTOR_LOOK_SECONDS") ? qEnvironmentVariableIntValue("PALETTOR_LOOK_SECONDS") : 8;
    QTest::qWait(seconds * 1000);
    EXPECT_EQ(page->Model()->rowCount(), 300);
}

} // namespace
