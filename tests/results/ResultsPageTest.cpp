#include "results/ResultsFixture.h"

#include "qtkit/DateTimeText.h"
#include "results/CollapsiblePanel.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "results/SwatchPanel.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

#include <filesystem>

namespace {

const QString deleteQuestion = QStringLiteral("Вы действительно хотите удалить текущую запись списка?");
const QString cannotDelete = QStringLiteral("Невозможно удалить текущую запись. Попробуйте позже.");

class ResultsListTest : public ResultsPageFixture {};

TEST_F(ResultsListTest, RefillNumbersRowsInArchiveOrderAndSelectsTheFirst)
{
    Save(MakeSession("Андреев", 1));
    Save(MakeSession("Борисов", 2));
    Save(MakeSession("Васильев", 3));
    OpenPage();
    QAbstractItemModelTester tester(page->Model());

    EXPECT_TRUE(page->ResultsListReady());
    EXPECT_EQ(Numbers(), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Андреев"), QStringLiteral("Борисов"), QStringLiteral("Васильев")}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Андреев Иван"));

    ResultsModel *m = page->Model();
    EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Время проведения"));
    EXPECT_EQ(m->data(m->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("30.06.2025 12:00:00"));
    EXPECT_EQ(m->data(m->index(2, 2), Qt::DisplayRole).toString(), QStringLiteral("Полный ЦТЛ"));
    EXPECT_EQ(m->data(m->index(0, 3), Qt::DisplayRole).toString(),
              QStringLiteral("Андреев Иван (Мужчина, 30 лет), Администрация"));
    EXPECT_EQ(m->data(m->index(0, 4), Qt::DisplayRole).toString(), QStringLiteral("1 ч 2 мин 5 сек"));
    // At least the default widths, wider where the font needs it for a date
    // or a test name to show whole; until the user sets it, the name takes
    // what the others leave.
    const int widths[5] = {40, 120, 100, 90, 100};
    const QFontMetrics metrics = page->Grid()->fontMetrics();
    for (int c = 0; c < 5; ++c) {
        EXPECT_GE(page->Grid()->columnWidth(c), widths[c]) << c;
        if (c != 3) { // names vary in length; their column keeps its width
            EXPECT_GT(page->Grid()->columnWidth(c),
                      metrics.horizontalAdvance(m->data(m->index(0, c), Qt::DisplayRole).toString()))
                << c;
        }
    }
    for (int c = 0; c < 5; ++c) // every width is the user's
        EXPECT_EQ(page->Grid()->horizontalHeader()->sectionResizeMode(c), QHeaderView::Interactive) << c;
    EXPECT_EQ(page->Grid()->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

TEST_F(ResultsListTest, FilterBarNarrowsTheListAndShowAllRestoresIt)
{
    Save(MakeSession("Андреев", 1, 1, 30));
    Save(MakeSession("Борисов", 2, 2, 30.5));
    Save(MakeSession("Васильев", 3, 0, 0, "администрация"));
    Save(MakeSession("Григорьев", 4, 1, 20, "Бухгалтерия"));
    OpenPage();
    QAbstractItemModelTester tester(page->Model());

    Find<QCheckBox>("checkFilterAge")->setChecked(true);
    Find<QDoubleSpinBox>("seFilterAgeMin")->setValue(20);
    Find<QDoubleSpinBox>("seFilterAgeMax")->setValue(30);
    page->actResultsFilter->trigger();
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Андреев"), QStringLiteral("Григорьев")}));
    EXPECT_EQ(Numbers(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));

    Find<QCheckBox>("checkFilterAge")->setChecked(false);
    Find<QComboBox>("cbFilterGroup")->setCurrentIndex(1);
    page->actResultsFilter->trigger();
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Андреев"), QStringLiteral("Борисов")}));

    Find<QComboBox>("cbFilterGroup")->setCurrentIndex(0);
    Find<QComboBox>("cbFilterSex")->setCurrentIndex(2);
    page->actResultsFilter->trigger();
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Борисов")}));

    Find<QComboBox>("cbFilterSex")->setCurrentIndex(0);
    Find<QComboBox>("cbFilterTest")->setCurrentIndex(4);
    page->actResultsFilter->trigger();
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Григорьев")}));

    page->actResultsShowAll->trigger();
    EXPECT_EQ(Numbers(),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}));
}

TEST_F(ResultsListTest, FilteringToNoRowsClearsTheView)
{
    Save(MakeSession("Андреев", 2));
    OpenPage();
    ASSERT_FALSE(LabelText("labelResultsUserName").isEmpty());
    Find<QComboBox>("cbFilterTest")->setCurrentIndex(3);
    page->RefillResults(true);
    EXPECT_EQ(page->Model()->rowCount(), 0);
    EXPECT_TRUE(LabelText("labelResultsUserName").isEmpty());
    EXPECT_TRUE(MemoText("memoResultsBriefSummary").isEmpty());
    EXPECT_TRUE(page->EightColourPanel(1)->IsEmpty());
}

TEST_F(ResultsListTest, RefillOfAnEmptiedArchiveLeavesNoStaleRows)
{
    Save(MakeSession("Андреев", 2));
    OpenPage();
    ASSERT_EQ(page->Model()->rowCount(), 1);
    archive.Clear();
    page->RefillResults(false);
    EXPECT_TRUE(page->ResultsListReady());
    EXPECT_EQ(page->Model()->rowCount(), 0);
    EXPECT_TRUE(LabelText("labelResultsUserName").isEmpty());
}

TEST_F(ResultsListTest, ColumnWidthsSetDuringTheRunSurviveARefill)
{
    Save(MakeSession("Андреев", 2));
    OpenPage();
    page->Grid()->setColumnWidth(4, 123);
    page->RefillResults(true);
    EXPECT_EQ(page->Grid()->columnWidth(4), 123);
}

// The locale arrives after the page is built; its dates, in any month, must
// still fit their column, while a width stored later still wins.
TEST_F(ResultsListTest, DateColumnFitsTheDatesOfTheLocaleGivenLater)
{
    Save(MakeSession("Андреев", 2));
    OpenPage(false);
    page->Grid()->setColumnWidth(1, 40); // as narrow as a short date format of another locale needs
    const QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    context = StationContext(locale);
    page->SetContext(context);
    const QFontMetrics metrics = page->Grid()->fontMetrics();
    for (int month = 1; month <= 12; ++month) {
        const QString date = FormatOleDateTime(ToOleDate(LocalDateTime{2025, month, 31 - month % 2, 23, 59, 59, 0}),
                                               DateTimeFormatOf(locale));
        EXPECT_GT(page->Grid()->columnWidth(1), metrics.horizontalAdvance(date) + 6) << date.toStdString();
    }
    store->setValue("gridResults_ColWidth2", 60);
    page->RefillResults(false);
    EXPECT_EQ(page->Grid()->columnWidth(1), 60);
}

TEST_F(ResultsListTest, TabAreaHeightIsRestoredAndSaved)
{
    store->setValue("TeSPageControl1.Height", 150);
    OpenPage(false);
    page->RestorePlacement();
    QApplication::processEvents();
    auto *tabs = Find<QWidget>("TeSPageControl1");
    EXPECT_EQ(tabs->height(), 150);
    store->remove("TeSPageControl1.Height");
    page->SavePlacement();
    EXPECT_EQ(store->value("TeSPageControl1.Height").toInt(), 150);
}

TEST_F(ResultsListTest, AgeFieldsFollowTheCheckBox)
{
    OpenPage();
    auto *check = Find<QCheckBox>("checkFilterAge");
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(Find<QDoubleSpinBox>("seFilterAgeMin")->isEnabled());
    check->click();
    EXPECT_TRUE(Find<QDoubleSpinBox>("seFilterAgeMin")->isEnabled());
    EXPECT_TRUE(Find<QDoubleSpinBox>("seFilterAgeMax")->isEnabled());
    EXPECT_EQ(Find<QDoubleSpinBox>("seFilterAgeMax")->maximum(), 150);
    EXPECT_EQ(Find<QDoubleSpinBox>("seFilterAgeMax")->decimals(), 1);
}

TEST_F(ResultsListTest, FinishedSessionIsAppendedAndSelectedDespiteTheFilter)
{
    Save(MakeSession("Андреев", 2));
    OpenPage();
    Find<QComboBox>("cbFilterTest")->setCurrentIndex(2);
    page->RefillResults(true);
    ASSERT_EQ(page->Model()->rowCount(), 1);

    TCLTSession &finished = archive.Add(std::make_unique<TCLTSession>(MakeSession("Борисов", 4)));
    EXPECT_TRUE(page->AppendFinishedSession(finished));
    EXPECT_EQ(Numbers(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Борисов Иван"));

    page->RefillResults(true);
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Андреев")}));
}

TEST_F(ResultsListTest, PlacementRoundTripsThroughTheStore)
{
    Save(MakeSession("Андреев", 1));
    Save(MakeSession("Борисов", 2));
    Save(MakeSession("Васильев", 3));
    OpenPage();
    const int firstWidth = page->Grid()->columnWidth(0);
    Find<QComboBox>("cbFilterTest")->setCurrentIndex(3);
    Find<QComboBox>("cbFilterSex")->setCurrentIndex(2);
    Find<QCheckBox>("checkFilterAge")->setChecked(true);
    Find<QDoubleSpinBox>("seFilterAgeMin")->setValue(18.5);
    Find<QDoubleSpinBox>("seFilterAgeMax")->setValue(60);
    Find<CollapsiblePanel>("TeHeaderPanel2")->SetRolled(false);
    Find<CollapsiblePanel>("TeHeaderPanel5")->SetRolled(true);
    page->Grid()->setColumnWidth(4, 250);
    SelectRow(page->Grid(), 2);
    page->SavePlacement();
    EXPECT_EQ(store->value("gridResults_ColWidth5").toInt(), 250);
    EXPECT_EQ(store->value("gridResults_SelectIndex").toInt(), 2);
    EXPECT_EQ(store->value("cbFilterTest.ItemIndex").toInt(), 3);

    // A width never stored keeps the current one.
    store->remove("gridResults_ColWidth1");
    page.reset();
    archive.Clear();
    OpenPage(false);
    page->RestorePlacement();
    page->RefillResults(false);
    EXPECT_EQ(Find<QComboBox>("cbFilterTest")->currentIndex(), 3);
    EXPECT_EQ(Find<QComboBox>("cbFilterSex")->currentIndex(), 2);
    EXPECT_TRUE(Find<QCheckBox>("checkFilterAge")->isChecked());
    EXPECT_TRUE(Find<QDoubleSpinBox>("seFilterAgeMin")->isEnabled());
    EXPECT_DOUBLE_EQ(Find<QDoubleSpinBox>("seFilterAgeMin")->value(), 18.5);
    EXPECT_FALSE(Find<CollapsiblePanel>("TeHeaderPanel2")->Rolled());
    EXPECT_TRUE(Find<CollapsiblePanel>("TeHeaderPanel3")->Rolled());
    EXPECT_TRUE(Find<CollapsiblePanel>("TeHeaderPanel5")->Rolled());
    EXPECT_EQ(page->Grid()->columnWidth(4), 250);
    EXPECT_EQ(page->Grid()->columnWidth(0), firstWidth);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Васильев Иван"));
}

TEST_F(ResultsListTest, StoredRowOutsideTheListSelectsNothing)
{
    store->setValue("gridResults_SelectIndex", 7);
    Save(MakeSession("Андреев", 1));
    OpenPage();
    EXPECT_EQ(Selected(), -1);
    EXPECT_TRUE(LabelText("labelResultsUserName").isEmpty());
}

TEST_F(ResultsListTest, GroupIndexBeyondTheListFallsBackToAny)
{
    OpenPage();
    page->SetUserGroups({QStringLiteral("Один")}, 5);
    EXPECT_EQ(page->FilterGroupIndex(), 0);
    EXPECT_EQ(Find<QComboBox>("cbFilterGroup")->itemText(0), QStringLiteral("Любая группа"));
    page->SetUserGroups({QStringLiteral("Один")}, 1);
    EXPECT_EQ(page->FilterGroupIndex(), 1);
}

TEST_F(ResultsListTest, SelectRowRefusesRowsOutsideTheList)
{
    Save(MakeSession("Андреев", 1));
    OpenPage();
    EXPECT_FALSE(SelectRow(nullptr, 0));
    EXPECT_FALSE(SelectRow(page->Grid(), 1));
    EXPECT_FALSE(SelectRow(page->Grid(), -1));
    EXPECT_TRUE(SelectRow(page->Grid(), 0));
}

// Deletion

class ResultsDeleteTest : public ResultsPageFixture {
protected:
    ScriptedDialogs dialogs;
};

TEST_F(ResultsDeleteTest, DeletingTheMiddleRowLeavesAGapAndSelectsTheNextRow)
{
    Save(MakeSession("Андреев", 1));
    Save(MakeSession("Борисов", 2));
    Save(MakeSession("Васильев", 3));
    OpenPage();
    QAbstractItemModelTester tester(page->Model());
    const std::string file = archive[1].SourceFile;
    SelectRow(page->Grid(), 1);

    dialogs.yesNoAnswers = {true};
    page->actResultsDelete->trigger();

    EXPECT_EQ(dialogs.questions, QStringList{deleteQuestion});
    EXPECT_TRUE(dialogs.infos.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(archive.Count(), 2u);
    EXPECT_EQ(Numbers(), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_EQ(page->Model()->PositionAt(1), 1);
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Андреев"), QStringLiteral("Васильев")}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Васильев Иван"));

    page->RefillResults(false);
    EXPECT_EQ(Numbers(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
}

// The removed row was selected and the first: the row moving up into its
// place is selected and shown, and the positions behind it shift down.
TEST_F(ResultsDeleteTest, DeletingTheFirstRowSelectsAndShowsTheRowMovingUp)
{
    Save(MakeSession("Андреев", 1));
    Save(MakeSession("Борисов", 2));
    Save(MakeSession("Васильев", 3));
    OpenPage();
    QAbstractItemModelTester tester(page->Model());
    ASSERT_EQ(Selected(), 0);

    dialogs.yesNoAnswers = {true};
    ASSERT_TRUE(page->ResultsDeleteExecute());

    EXPECT_EQ(Numbers(), (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Борисов"), QStringLiteral("Васильев")}));
    EXPECT_EQ(page->Model()->PositionAt(0), 0);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Борисов Иван"));
    EXPECT_EQ(MemoText("memoResultsBriefSummary"), QStringLiteral("Кратко о Борисов"));
    EXPECT_TRUE(page->SessionReportText().contains(QStringLiteral("Борисов")));
}

TEST_F(ResultsDeleteTest, DeletingTheLastRowSelectsTheRowBefore)
{
    Save(MakeSession("Андреев", 1));
    Save(MakeSession("Борисов", 2));
    OpenPage();
    SelectRow(page->Grid(), 1);
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(page->ResultsDeleteExecute());
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Андреев Иван"));
}

TEST_F(ResultsDeleteTest, DeletingTheOnlyRowClearsTheWholeView)
{
    Save(MakeSession("Андреев", 3));
    OpenPage();
    ASSERT_FALSE(page->FullChoicesPanel()->IsEmpty());
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(page->ResultsDeleteExecute());
    EXPECT_TRUE(archive.Empty());
    EXPECT_EQ(page->Model()->rowCount(), 0);
    for (const char *label : {"labelResultsUserName", "labelResultsUserSexAge", "labelResultsUserGroup",
                              "labelResultsSessionStarted", "labelResultsSessionDuration"})
        EXPECT_TRUE(LabelText(label).isEmpty()) << label;
    for (const char *memo : {"memoResultsBriefSummary", "memoResultsTotalSummary", "memoResultsFactorSummary"})
        EXPECT_TRUE(MemoText(memo).isEmpty()) << memo;
    EXPECT_TRUE(page->EightColourPanel(1)->IsEmpty());
    EXPECT_TRUE(page->EightColourPanel(2)->IsEmpty());
    EXPECT_TRUE(page->FullChoicesPanel()->IsEmpty());
    EXPECT_TRUE(QDir(dataFolder).entryList(QDir::Files).isEmpty());
}

TEST_F(ResultsDeleteTest, AFileThatCannotBeDeletedKeepsItsRow)
{
    Save(MakeSession("Андреев", 1));
    Save(MakeSession("Борисов", 2));
    OpenPage();
    // A non-empty folder in the file's place cannot be removed as a file.
    const std::string blocked = archive[0].SourceFile;
    std::filesystem::remove(blocked);
    std::filesystem::create_directories(blocked + "/inner");
    // The second session's file has gone missing meanwhile.
    std::filesystem::remove(archive[1].SourceFile);

    for (int row : {0, 1}) {
        SelectRow(page->Grid(), row);
        dialogs.yesNoAnswers = {true};
        EXPECT_FALSE(page->ResultsDeleteExecute()) << row;
    }
    EXPECT_EQ(dialogs.infos, (QStringList{cannotDelete, cannotDelete}));
    EXPECT_EQ(archive.Count(), 2u);
    EXPECT_EQ(Numbers(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
}

TEST_F(ResultsDeleteTest, ASessionNeverSavedCannotBeDeleted)
{
    archive.Add(std::make_unique<TCLTSession>(MakeSession("Андреев", 1)));
    OpenPage();
    dialogs.yesNoAnswers = {true};
    EXPECT_FALSE(page->ResultsDeleteExecute());
    EXPECT_EQ(dialogs.infos, QStringList{cannotDelete});
    EXPECT_EQ(page->Model()->rowCount(), 1);
}

TEST_F(ResultsDeleteTest, AnsweringNoKeepsEverything)
{
    Save(MakeSession("Андреев", 1));
    OpenPage();
    EXPECT_FALSE(page->ResultsDeleteExecute());
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(archive.Count(), 1u);
    EXPECT_TRUE(std::filesystem::exists(archive[0].SourceFile));
}

TEST_F(ResultsDeleteTest, ARowGoesWithItsSessionAndTheSelectionStays)
{
    Save(MakeSession("Андреев", 1));
    Save(MakeSession("Борисов", 2));
    OpenPage();
    SelectRow(page->Grid(), 0);
    archive.Remove(1);
    EXPECT_EQ(page->Model()->rowCount(), 1);
    EXPECT_FALSE(SelectRow(page->Grid(), 1));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Андреев Иван"));
    page->Grid()->clearSelection();
    page->Grid()->setCurrentIndex({});
    EXPECT_FALSE(page->ResultsDeleteExecute());
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(page->SessionReportText().isEmpty());
}

} // namespace
