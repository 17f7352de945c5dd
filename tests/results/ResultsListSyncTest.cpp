#include "results/ResultsFixture.h"

#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QSignalSpy>
#include <QTableView>

#include <functional>

namespace {

// The list's rows follow the archive's list through every kind of change as
// they interleave: batches of the start-up fill, sessions deleted at another
// station (together and scattered), a finished test appended outside the
// filter, the user's delete and a reorder. After each step the rows name
// exactly the admitted sessions in the archive's order, and each step is one
// change of the model.
class ResultsListSyncTest : public ResultsPageFixture {
protected:
    TCLTArchive read; // sessions read from their files, handed over in batches
    const TCLTSession *finished = nullptr;

    void Batch(std::size_t count)
    {
        std::vector<std::unique_ptr<TCLTSession>> batch;
        while (count-- > 0 && !read.Empty())
            batch.push_back(read.Take(0));
        archive.Add(std::move(batch));
    }

    // The filter admits the second test kind; the finished session stays
    // listed besides until the rows are made again.
    QStringList Expected(bool withFinished = true) const
    {
        QStringList names;
        if (!page->Model()->Listing())
            return names; // the first refill lists them
        for (std::size_t i = 0; i < archive.Count(); ++i)
            if (const ListedRow session = archive.Row(i);
                session.TestKind == 2 || (withFinished && session.Held && session.Held == finished))
                names << QString::fromStdString(std::string(session.Surname));
        return names;
    }
};

TEST_F(ResultsListSyncTest, RowsFollowEveryChangeOfTheArchiveAsOneChangeEach)
{
    for (int i = 0; i < 14; ++i)
        Save(MakeSession("Сеанс" + std::to_string(10 + i), 1 + i % 2));
    ASSERT_TRUE(LoadArchive(dataFolder.toStdString(), read, SessionContext{TestToday, ","}).Skipped.empty());
    page = std::make_unique<ResultsPage>(archive, *store);
    page->resize(1200, 800);
    page->show();
    QAbstractItemModelTester tester(page->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ScriptedDialogs dialogs;
    QSignalSpy inserted(page->Model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(page->Model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(page->Model(), &QAbstractItemModel::modelReset);
    const auto positionNamed = [&](const char *surname) {
        for (std::size_t p = 0; p < archive.Count(); ++p)
            if (archive[p].Surname == surname)
                return p;
        ADD_FAILURE() << surname;
        return std::size_t{0};
    };

    struct Step {
        const char *what;
        std::function<void()> act;
        int inserts, removals, resets;
        const char *selected; // the surname shown afterwards, or nullptr to skip
    };
    const Step steps[] = {
        {"first batch, before the list is filled", [&] { Batch(4); }, 0, 0, 0, nullptr},
        {"the filtered refill",
         [&] {
             Find<QComboBox>("cbFilterTest")->setCurrentIndex(2);
             page->RefillResults(true);
             SelectRow(page->Grid(), 1);
         },
         0, 0, 1, "Сеанс13"},
        {"second batch", [&] { Batch(6); }, 1, 0, 0, "Сеанс13"},
        {"deleted elsewhere, rows together",
         [&] {
             archive.Remove(std::vector<std::size_t>{positionNamed("Сеанс14"), positionNamed("Сеанс15")});
         },
         0, 1, 0, "Сеанс13"},
        {"the shown one deleted elsewhere", [&] { archive.Remove(positionNamed("Сеанс13")); }, 0, 1, 0, "Сеанс17"},
        {"a finished test outside the filter",
         [&] {
             finished = &archive.Add(std::make_unique<TCLTSession>(MakeSession("Итоговый", 3)));
             page->AppendFinishedSession(*finished);
         },
         1, 0, 0, "Итоговый"},
        {"third batch", [&] { Batch(4); }, 1, 0, 0, "Итоговый"},
        {"deleted elsewhere, scattered",
         [&] {
             archive.Remove(std::vector<std::size_t>{positionNamed("Сеанс11"), positionNamed("Сеанс16"),
                                                     positionNamed("Сеанс21"), positionNamed("Сеанс12")});
         },
         0, 0, 1, "Итоговый"},
        {"the user's delete",
         [&] {
             SelectRow(page->Grid(), 0);
             dialogs.yesNoAnswers = {true};
             ASSERT_TRUE(page->ResultsDeleteExecute());
         },
         0, 1, 0, "Сеанс19"},
        {"nothing of the list deleted", [&] { archive.Remove(positionNamed("Сеанс10")); }, 0, 0, 0, "Сеанс19"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        inserted.clear();
        removed.clear();
        reset.clear();
        step.act();
        EXPECT_EQ(Names(), Expected());
        EXPECT_EQ(inserted.count(), step.inserts);
        EXPECT_EQ(removed.count(), step.removals);
        EXPECT_EQ(reset.count(), step.resets);
        if (step.selected) {
            EXPECT_EQ(LabelText("labelResultsUserName"), QString::fromUtf8(step.selected) + QStringLiteral(" Иван"));
        }
    }
    // Running numbers never repeat, whatever went.
    const QStringList numbers = Numbers();
    for (int row = 1; row < numbers.size(); ++row)
        EXPECT_LT(numbers[row - 1].toInt(), numbers[row].toInt());

    // Sessions appended out of order are put in place in one reset; the rows
    // are made again as the filter admits them.
    archive.Add(std::make_unique<TCLTSession>(MakeSession("Ранний", 2))).SourceFile =
        dataFolder.toStdString() + "/000000000000000.dat";
    reset.clear();
    archive.SortByName(dataFolder.toStdString() + "/");
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(Names(), Expected(false));
    EXPECT_EQ(Names().front(), QStringLiteral("Ранний"));
}

} // namespace
