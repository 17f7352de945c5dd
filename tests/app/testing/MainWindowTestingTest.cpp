#include "app/WindowFixture.h"
#include "app/testing/ChooserPanel.h"
#include "app/testing/RegistrationPanel.h"
#include "app/testing/TestingPage.h"
#include "app/testing/TileArea.h"
#include "app/window/TformPalettorMain.h"
#include "results/ResultsModel.h"
#include "results/ResultsPage.h"
#include "testing/TestKinds.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// A whole test taken through the main window: the chooser, the registration,
// the picks, then the interpreted session shown, saved and listed.
namespace {

class WindowTestRun : public WindowFixture {
protected:
    int ResultRows() const { return w->findChild<ResultsPage *>()->Model()->rowCount(); }
};

TEST_F(WindowTestRun, FinishedTestIsShownSavedAndListed)
{
    StartWindow();
    Register(KindEightOnce);
    EXPECT_EQ(Find<QAction>(*w, "actStartTesting")->text(), QStringLiteral("Прекратить тестирование"));
    EXPECT_TRUE(Find<QLabel>(*w, "StatusPanel2")->text().startsWith(QStringLiteral("8ЦТЛ1 - Шаг 2 из 8")));
    EXPECT_FALSE(Find<QLabel>(*w, "StatusPanel0")->text().isEmpty()); // the start time
    Pick(7);

    EXPECT_EQ(Find<QAction>(*w, "actStartTesting")->text(), QStringLiteral("Начать тестирование"));
    ASSERT_EQ(w->Sessions().Count(), 1u);
    const TCLTSession &session = w->Sessions()[0];
    EXPECT_FALSE(session.BriefConclusion.empty() && session.DetailedConclusion.empty()
                 && session.AdditionalFindings.empty());
    EXPECT_EQ(session.Choice[2][1], session.Choice[1][1]);

    ASSERT_EQ(SessionFiles().size(), 1);
    const auto stored = StoredSession();
    EXPECT_EQ(stored->Surname, "Кузнецов");
    EXPECT_EQ(stored->TestKind, KindEightOnce);
    EXPECT_EQ(stored->BriefConclusion, session.BriefConclusion);

    auto *memo = Find<QPlainTextEdit>(*w, "memoTestResult");
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isVisible());
    EXPECT_TRUE(memo->toPlainText().contains(QStringLiteral("Результат тестирования:")));
    EXPECT_EQ(ResultRows(), 1);
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

// Every kind from the chooser to the end: what lands in Data reads back as
// the session the window holds and shows.
class EveryKindThroughTheWindow : public WindowTestRun, public ::testing::WithParamInterface<int> {};

TEST_P(EveryKindThroughTheWindow, IsShownSavedAndReadsBackAsHeld)
{
    const int kind = GetParam();
    StartWindow();
    ASSERT_NO_FATAL_FAILURE(PlayToTheEnd(kind, 2));
    ASSERT_EQ(w->Sessions().Count(), 1u);
    const TCLTSession &held = w->Sessions()[0];
    EXPECT_EQ(held.TestKind, kind);
    EXPECT_EQ(Find<QAction>(*w, "actStartTesting")->text(), QStringLiteral("Начать тестирование"));

    ASSERT_EQ(SessionFiles().size(), 1);
    const auto storedSession = StoredSession();
    const TCLTSession &stored = *storedSession;
    EXPECT_EQ(stored.TestKind, kind);
    EXPECT_EQ(stored.Surname, "Кузнецов");
    EXPECT_EQ(stored.FirstName, "Олег");
    EXPECT_EQ(stored.Choice, held.Choice);
    EXPECT_EQ(stored.AchromaticChoice, held.AchromaticChoice);
    EXPECT_EQ(stored.PairWins, held.PairWins);
    EXPECT_EQ(stored.BriefConclusion, held.BriefConclusion);
    EXPECT_EQ(stored.DetailedConclusion, held.DetailedConclusion);
    EXPECT_EQ(stored.AdditionalFindings, held.AdditionalFindings);
    ASSERT_EQ(stored.CtoItems.Count(), held.CtoItems.Count());
    for (size_t i = 0; i < held.CtoItems.Count(); ++i)
        EXPECT_TRUE(stored.CtoItems[i].IsEqualTo(&held.CtoItems[i])) << i;
    if (kind == KindRelations) {
        ASSERT_EQ(stored.CtoItems.Count(), 3u);
        EXPECT_EQ(stored.CtoItems[2].StimulusName, "Я сам");
    }
    EXPECT_GT(stored.DurationSeconds, -1);
    EXPECT_FALSE(held.BriefConclusion.empty() && held.DetailedConclusion.empty());

    auto *memo = Find<QPlainTextEdit>(*w, "memoTestResult");
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isVisible());
    EXPECT_TRUE(memo->toPlainText().contains(QStringLiteral("Результат тестирования:")));
    EXPECT_EQ(ResultRows(), 1);
    EXPECT_TRUE(dialogs.warnings.isEmpty()) << dialogs.warnings.join(QLatin1Char('|')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(AllKinds, EveryKindThroughTheWindow,
                         ::testing::Values(KindEightOnce, KindEightTwice, KindFull, KindRelations));

// The window's one context dates the session, names its file and gives its separator.
TEST_F(WindowTestRun, TheWindowsClockAndLocaleReachTheStoredSession)
{
    const LocalDateTime fixed{2026, 3, 4, 5, 6, 7, 0};
    const StationContext context(QLocale(QLocale::English, QLocale::UnitedStates), [fixed] { return fixed; });
    StartWindow(&context);
    Register(KindEightOnce);
    Pick(7);
    ASSERT_EQ(w->Sessions().Count(), 1u);
    EXPECT_EQ(w->Sessions()[0].Context.DecimalSeparator, ".");
    const QStringList files = SessionFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("26030405060700"))) << files[0].toStdString();
    EXPECT_DOUBLE_EQ(StoredSession()->StartedAt, ToOleDate(fixed));
}

TEST_F(WindowTestRun, SessionThatCannotBeSavedIsStillShownAndTheOperatorWarned)
{
    QDir(install.DataFolder()).removeRecursively();
    StartWindow();
    Register(KindEightOnce);
    Pick(7);
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QDir::toNativeSeparators(install.DataFolder())));
    auto *memo = Find<QPlainTextEdit>(*w, "memoTestResult");
    EXPECT_TRUE(memo->isVisible());
    EXPECT_FALSE(memo->toPlainText().isEmpty());
    EXPECT_EQ(ResultRows(), 1);
}

TEST_F(WindowTestRun, StoppedTestLeavesNothingBehind)
{
    StartWindow();
    Register(KindEightTwice);
    Pick(3);
    Find<QAction>(*w, "actStartTesting")->trigger(); // now "Прекратить тестирование"
    EXPECT_EQ(Find<QAction>(*w, "actStartTesting")->text(), QStringLiteral("Начать тестирование"));
    EXPECT_EQ(w->Sessions().Count(), 0u);
    EXPECT_TRUE(SessionFiles().isEmpty());
    EXPECT_EQ(ResultRows(), 0);
    EXPECT_TRUE(Find<QLabel>(*w, "StatusPanel2")->text().isEmpty());
}

TEST_F(WindowTestRun, PreferencesReachTheTestingPage)
{
    install.Store(QStringLiteral("UserGroups"), QStringLiteral("Группа А\r\nГруппа Б\r\n"));
    install.Store(QStringLiteral("UserField3"), 1);
    StartWindow();
    auto *groups = Find<QComboBox>(*w, "cbUserGroup");
    ASSERT_NE(groups, nullptr);
    ASSERT_EQ(groups->count(), 2);
    EXPECT_EQ(groups->itemText(1), QStringLiteral("Группа Б"));
    Find<QAction>(*w, "actStartTesting")->trigger();
    QTest::mouseClick(Page()->Chooser()->StartButton(KindEightOnce), Qt::LeftButton);
    EXPECT_TRUE(Find<QLabel>(*w, "labelUserField3Mark")->isVisible());
    Page()->Registration()->SurnameEdit()->setText(QStringLiteral("А"));
    Page()->Registration()->FirstNameEdit()->setText(QStringLiteral("Б"));
    Page()->Registration()->PatronymicEdit()->clear();
    QTest::mouseClick(Page()->Registration()->SubmitButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_EQ(dialogs.warnings[0], QStringLiteral("Не заполнено поле Отчество"));
    EXPECT_EQ(QApplication::focusWidget(), Page()->Registration()->PatronymicEdit());
}

TEST_F(WindowTestRun, RegistrationFieldsComeBackAtTheNextStart)
{
    StartWindow();
    Register(KindEightOnce);
    Find<QAction>(*w, "actStartTesting")->trigger();
    w->close();
    StartWindow();
    EXPECT_EQ(Page()->Registration()->SurnameEdit()->text(), QStringLiteral("Кузнецов"));
    EXPECT_EQ(Page()->Registration()->FirstNameEdit()->text(), QStringLiteral("Олег"));
}

} // namespace
