#include "results/ListLayout.h"
#include "results/ResultsFixture.h"
#include "results/ResultsModel.h"
#include "results/ResultsSearchProxy.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

class ResultsSearchTest : public ResultsPageFixture {
protected:
    // What the list shows, top to bottom: "number surname".
    QStringList Shown() const
    {
        QStringList rows;
        const QAbstractItemModel *shown = page->Grid()->model();
        for (int row = 0; row < shown->rowCount(); ++row)
            rows << shown->index(row, 0).data().toString() + QLatin1Char(' ')
                    + shown->index(row, 3).data().toString().section(QLatin1Char(' '), 0, 0);
        return rows;
    }
    void Type(const QString &text)
    {
        // As typed: every change of the text filters (the test's Cyrillic has no key codes).
        QLineEdit *field = page->SearchField();
        field->clear();
        for (int i = 1; i <= text.size(); ++i)
            field->setText(text.left(i));
    }
    void ClickHeader(int column)
    {
        QHeaderView *header = page->Grid()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
};

TEST_F(ResultsSearchTest, TypedTextFindsSurnameNameOrPatronymicIgnoringCaseAndYo)
{
    TCLTSession a = MakeSession("Семёнов", 1);
    a.Patronymic = "Ильич";
    Save(a);
    Save(MakeSession("Андреева", 2));
    TCLTSession c = MakeSession("Петрова", 1);
    c.FirstName = "Алёна";
    Save(c);
    OpenPage();
    QAbstractItemModelTester tester(page->Grid()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);

    const struct {
        const char *typed;
        QStringList rows;
    } cases[] = {
        {"семенов", {QStringLiteral("1 Семёнов")}},
        {"ИЛЬИЧ", {QStringLiteral("1 Семёнов")}},
        {"алена", {QStringLiteral("3 Петрова")}},
        {"ЕВА", {QStringLiteral("2 Андреева")}},
        {"иВаН", {QStringLiteral("1 Семёнов"), QStringLiteral("2 Андреева")}},
        {"Администрация", {}},
        {"", {QStringLiteral("1 Семёнов"), QStringLiteral("2 Андреева"), QStringLiteral("3 Петрова")}},
    };
    for (const auto &c : cases) {
        Type(QString::fromUtf8(c.typed));
        EXPECT_EQ(Shown(), c.rows) << c.typed;
    }
    // The detail view follows the row shown, not the archive's row of that index.
    Type(QStringLiteral("петрова"));
    ASSERT_TRUE(SelectRow(page->Grid(), 0));
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Петрова Алёна"));
    EXPECT_EQ(page->SessionReportText().contains(QStringLiteral("Кратко о Петрова")), true);
}

TEST_F(ResultsSearchTest, HeaderClicksSortByAnyColumnAndTheNumbersStayTheArchives)
{
    TCLTSession b = MakeSession("Борисов", 3);
    b.DurationSeconds = 10;
    b.StartedAt = TestToday - 0.2;
    Save(b);
    TCLTSession a = MakeSession("Андреев", 4);
    a.DurationSeconds = 5000;
    a.StartedAt = TestToday - 0.4;
    Save(a);
    TCLTSession v = MakeSession("Васильев", 1);
    v.DurationSeconds = 300;
    v.StartedAt = TestToday - 0.3;
    Save(v);
    OpenPage();
    QAbstractItemModelTester tester(page->Grid()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QString b1 = QStringLiteral("1 Борисов"), a2 = QStringLiteral("2 Андреев"), v3 = QStringLiteral("3 Васильев");
    EXPECT_EQ(Shown(), (QStringList{b1, a2, v3}));

    const struct {
        int column;
        QStringList rows;
    } clicks[] = {
        {3, {a2, b1, v3}}, {3, {v3, b1, a2}}, // a second click turns the order round
        {2, {v3, b1, a2}}, {4, {b1, v3, a2}}, {1, {a2, v3, b1}}, {0, {b1, a2, v3}},
    };
    for (const auto &c : clicks) {
        ClickHeader(c.column);
        EXPECT_EQ(Shown(), c.rows) << c.column;
    }

    // Deleting the row shown first, sorted by name, deletes that person's session.
    ClickHeader(3);
    ClickHeader(3);
    ClickHeader(3); // ascending by name: Андреев, Борисов, Васильев
    ASSERT_EQ(Shown(), (QStringList{a2, b1, v3}));
    ASSERT_TRUE(SelectRow(page->Grid(), 0));
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Андреев Иван"));
    ScriptedDialogs dialogs;
    dialogs.yesNoAnswers = {true};
    ASSERT_TRUE(page->ResultsDeleteExecute());
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Борисов"), QStringLiteral("Васильев")}));
    EXPECT_EQ(Shown(), (QStringList{b1, v3}));
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Борисов Иван"));
}

TEST_F(ResultsSearchTest, TheListIsExportedAsShownSearchedAndSorted)
{
    Save(MakeSession("Борисов", 1));
    Save(MakeSession("Андреева", 1));
    Save(MakeSession("Баранов", 1));
    OpenPage();
    Type(QStringLiteral("б"));
    ClickHeader(3);
    ASSERT_EQ(Shown(), (QStringList{QStringLiteral("3 Баранов"), QStringLiteral("1 Борисов")}));
    ScriptedDialogs dialogs;
    QTemporaryDir temp;
    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("list.csv"))};
    ASSERT_TRUE(page->ResultsExportListExecute());
    QFile file(temp.filePath(QStringLiteral("list.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].contains(QStringLiteral(";Баранов;"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(QStringLiteral(";Борисов;"))) << lines[2].toStdString();
}

TEST_F(ResultsSearchTest, NumbersNeverRepeatWhenAnotherStationsSessionsComeAndGo)
{
    Save(MakeSession("Андреев", 1));
    Save(MakeSession("Борисов", 1));
    Save(MakeSession("Васильев", 1));
    OpenPage();
    archive.Remove(1); // its file was deleted at another station
    EXPECT_EQ(Numbers(), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    archive.Add(std::make_unique<TCLTSession>(MakeSession("Григорьев", 1)));
    page->AppendFinishedSession(archive.Add(std::make_unique<TCLTSession>(MakeSession("Дмитриев", 1))));
    EXPECT_EQ(Numbers(),
              (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(LabelText("labelResultsUserName"), QStringLiteral("Дмитриев Иван"));
}

// The names kept for searching follow the list when sessions come and go
// or are read again with another name.
TEST_F(ResultsSearchTest, ASearchAfterTheListChangedFindsTheNamesNowThere)
{
    Save(MakeSession("Андреев", 1));
    Save(MakeSession("Борисов", 1));
    Save(MakeSession("Васильев", 1));
    OpenPage();
    const auto found = [this](const char *typed) {
        Type(QString::fromUtf8(typed));
        auto *shown = qobject_cast<ResultsSearchProxy *>(page->Grid()->model());
        QStringList surnames;
        for (int row = 0; shown && row < shown->rowCount(); ++row)
            surnames << QString::fromStdString(page->Model()->SessionAt(shown->SourceRow(row))->Surname);
        return surnames;
    };
    EXPECT_EQ(found("борис"), QStringList{QStringLiteral("Борисов")});
    archive.Remove(std::size_t{0});
    archive.Add(std::make_unique<TCLTSession>(MakeSession("Григорьев", 1)));
    EXPECT_EQ(found("григор"), QStringList{QStringLiteral("Григорьев")});
    EXPECT_EQ(found("андреев"), QStringList{});
    archive[0].Surname = "Беляев"; // read again in place: another station replaced the file
    archive.MarkChanged({0});
    EXPECT_EQ(found("борис"), QStringList{});
    EXPECT_EQ(found("беляев"), QStringList{QStringLiteral("Беляев")});
}

TEST_F(ResultsSearchTest, EveryColumnWidthIsTheUsersAndComesBack)
{
    Save(MakeSession("Андреев", 1));
    OpenPage();
    QTableView *grid = page->Grid();
    QHeaderView *header = grid->horizontalHeader();
    const int widths[5] = {55, 150, 130, 420, 240};
    for (int c = 0; c < 5; ++c)
        header->resizeSection(c, widths[c]);
    header->resizeSection(1, 260); // widening another column leaves the name's alone
    EXPECT_EQ(grid->columnWidth(3), 420);
    page->SavePlacement();
    page.reset();

    OpenPage();
    const int back[5] = {55, 260, 130, 420, 240};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(page->Grid()->columnWidth(c), back[c]) << c;
    // Nor does a wider window take the name's width from the user.
    page->resize(1500, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(page->Grid()->columnWidth(3), 420);
}

} // namespace

namespace {

// A search changes the shown rows in one layout change, not a removal per
// run of rows (which made the view recount 100,000 rows a thousand times),
// and the selected session stays selected while it matches.
TEST_F(ResultsSearchTest, ASearchIsOneLayoutChangeAndKeepsTheSelectedSession)
{
    for (int i = 0; i < 40; ++i)
        Save(MakeSession(i % 4 == 1 ? "Семёнов" : "Андреева", 1 + i % 2));
    OpenPage();
    ASSERT_TRUE(SelectRow(page->Grid(), 5)); // number 6, a Семёнов
    const QAbstractItemModel *shown = page->Grid()->model();
    QSignalSpy removed(shown, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(shown, &QAbstractItemModel::rowsInserted);
    QSignalSpy layouts(shown, &QAbstractItemModel::layoutChanged);

    Type(QStringLiteral("семенов"));
    EXPECT_EQ(shown->rowCount(), 10);
    EXPECT_EQ(removed.count() + inserted.count(), 0);
    EXPECT_EQ(layouts.count(), static_cast<int>(QStringLiteral("семенов").size()));
    const QModelIndexList selected = page->Grid()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().data().toString(), QStringLiteral("6"));
    EXPECT_EQ(LabelText("labelResultsUserName").section(QLatin1Char(' '), 0, 0), QStringLiteral("Семёнов"));
}

} // namespace

TEST_F(ResultsSearchTest, PaintingFilteringSearchingSortingAndExportingMakeNoSessionObjectButTheShownOne)
{
    const std::pair<const char *, const char *> people[] = {
        {"Борисов", "Бухгалтерия"},  {"Андреева", "Администрация"}, {"Баранов", "Администрация"},
        {"Васильев", "Бухгалтерия"}, {"Белова", "Бухгалтерия"},     {"Волков", "Администрация"},
    };
    for (const auto &[surname, group] : people)
        Save(MakeSession(surname, 2, 1, 30, group));
    OpenPage();
    ASSERT_LE(archive.HeldCount(), 1u) << "only the session shown in the detail view";
    Find<QComboBox>("cbFilterTest")->setCurrentIndex(2);
    page->RefillResults(true);
    Type(QStringLiteral("б"));
    for (const int column : {1, 2, 3, 4, 3})
        ClickHeader(column);
    page->Grid()->grab();
    EXPECT_EQ(page->ShownSessions().size(), 3u);
    EXPECT_FALSE(page->SessionsOfGroup("Бухгалтерия").empty());
    ScriptedDialogs dialogs;
    QTemporaryDir temp;
    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("list.csv"))};
    ASSERT_TRUE(page->ResultsExportListExecute());
    ASSERT_EQ(archive.HeldCount(), 1u);
    for (std::size_t p = 0; p < archive.Count(); ++p) {
        if (const TCLTSession *held = archive.HeldAt(p)) {
            EXPECT_EQ(QString::fromStdString(held->Surname + " " + held->FirstName), LabelText("labelResultsUserName"));
        }
    }
}
