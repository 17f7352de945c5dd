// What other stations do to the shared session folder while the window runs:
// deletions and additions taken in as one set, files replaced in place.
#include "app/AppTestSupport.h"
#include "app/WindowFixture.h"
#include "app/archive/ArchiveSync.h"
#include "app/window/TformPalettorMain.h"
#include "core/FolderMount.h"
#include "core/SessionArchive.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <atomic>
#include <functional>

namespace {

class ArchiveChangesTest : public ::testing::Test {
protected:
    TemporaryInstallation install;
    ScriptedDialogs dialogs;
    ScriptedPasswords passwords;
    std::unique_ptr<TformPalettorMain> w;
    std::vector<std::string> paths;

    void Start()
    {
        w = std::make_unique<TformPalettorMain>(install.Root());
        w->SetArchiveCheckInterval(60 * 60 * 1000);
        QSignalSpy finished(w.get(), &TformPalettorMain::StartupFinished);
        w->show();
        ASSERT_TRUE(finished.count() == 1 || finished.wait(10000));
        ASSERT_TRUE(w->AdministratorMode());
    }
    ResultsModel *Model() const { return w->findChild<ResultsModel *>(); }
    QTableView *Grid() const { return w->findChild<QTableView *>(QStringLiteral("gridResults")); }
    QStringList Surnames() const
    {
        QStringList names;
        for (int row = 0; row < Model()->rowCount(); ++row)
            names << QString::fromStdString(Model()->SessionAt(row)->Surname);
        return names;
    }
    static QStringList Texts(const std::vector<std::string> &texts)
    {
        QStringList list;
        for (const std::string &text : texts)
            list << QString::fromStdString(text);
        return list;
    }
    QString Brief() const { return Find<QPlainTextEdit>(*w, "memoResultsBriefSummary")->toPlainText(); }
    void Remove(const std::vector<int> &which)
    {
        for (const int i : which)
            ASSERT_TRUE(QFile::remove(QString::fromStdString(paths[static_cast<std::size_t>(i)])));
    }
};

} // namespace

TEST_F(ArchiveChangesTest, DeletionsAndAdditionsElsewhereAreOneChangeOfTheListAndTheShownRowMovesOn)
{
    for (int i = 0; i < 12; ++i)
        paths.push_back(StoreSession(install.DataFolder(), i, "С" + std::to_string(i)));
    w = std::make_unique<TformPalettorMain>(install.Root());
    QAbstractItemModelTester tester(Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(Model()->rowCount(), 12);
    ASSERT_TRUE(SelectRow(Grid(), 4));
    ASSERT_EQ(Brief(), QStringLiteral("Вывод С4"));

    struct Case {
        std::vector<int> deleted; // elsewhere
        int added;                // elsewhere, after the deletions
        bool userDeletes;         // then the user deletes the shown row
        std::vector<std::string> rows;
        const char *shown;
        int resets;
        int removals;
    };
    // Scattered deletions with the shown row among them: one reset, the
    // next row left is shown. Rows standing together: one removal. The last
    // shown row going: the new last row is shown.
    const Case cases[] = {
        {{2, 4, 5, 9}, 2, false, {"С0", "С1", "С3", "С6", "С7", "С8", "С10", "С11", "Н0", "Н1"}, "Вывод С6", 1, 0},
        {{}, 0, true, {"С0", "С1", "С3", "С7", "С8", "С10", "С11", "Н0", "Н1"}, "Вывод С7", 0, 1},
        {{7, 8}, 0, false, {"С0", "С1", "С3", "С10", "С11", "Н0", "Н1"}, "Вывод С10", 0, 1},
    };
    int added = 0;
    for (const Case &c : cases) {
        QSignalSpy resets(Model(), &QAbstractItemModel::modelReset);
        QSignalSpy removals(Model(), &QAbstractItemModel::rowsRemoved);
        ASSERT_NO_FATAL_FAILURE(Remove(c.deleted));
        for (int i = 0; i < c.added; ++i, ++added)
            StoreSession(install.DataFolder(), 40 + added, "Н" + std::to_string(added));
        if (c.deleted.size() > 0 || c.added > 0) {
            w->CheckArchiveFolder();
            ASSERT_TRUE(WaitUntil([&] { return Surnames() == Texts(c.rows); }, 5000, "the rows of the case"))
                << Surnames().join(u',').toStdString();
        }
        if (c.userDeletes) {
            dialogs.yesNoAnswers = {true};
            Find<QAction>(*w, "actResultsDelete")->trigger();
        }
        EXPECT_EQ(Surnames(), Texts(c.rows));
        EXPECT_EQ(Brief(), QString::fromUtf8(c.shown));
        EXPECT_EQ(resets.count(), c.resets);
        EXPECT_EQ(removals.count(), c.removals);
        EXPECT_EQ(w->Sessions().Count(), static_cast<std::size_t>(c.rows.size()));
    }
    // The last row shown, and it goes with others: the new last row is shown.
    ASSERT_TRUE(SelectRow(Grid(), 6));
    for (const char *name : {"Н1", "Н0"})
        for (std::size_t i = 0; i < w->Sessions().Count(); ++i)
            if (w->Sessions()[i].Surname == name) {
                ASSERT_TRUE(QFile::remove(QString::fromStdString(w->Sessions()[i].SourceFile)));
            }
    ASSERT_NO_FATAL_FAILURE(Remove({0}));
    w->CheckArchiveFolder();
    ASSERT_TRUE(WaitUntil([&] { return Model()->rowCount() == 4; }, 5000, "four rows"));
    EXPECT_EQ(Surnames(),
              (QStringList{QStringLiteral("С1"), QStringLiteral("С3"), QStringLiteral("С10"), QStringLiteral("С11")}));
    EXPECT_EQ(SelectedRow(Grid()), 3);
    EXPECT_EQ(Brief(), QStringLiteral("Вывод С11"));
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

TEST_F(ArchiveChangesTest, AFileReplacedByAnotherSessionsBytesShowsTheNewPersonAfterACheckAndARestart)
{
    paths.push_back(StoreSession(install.DataFolder(), 1, "Петров"));
    paths.push_back(StoreSession(install.DataFolder(), 2, "Иванова"));
    const std::string third = StoreSession(install.DataFolder(), 3, "Сидоренко");
    const QString first = QString::fromStdString(paths[0]);
    auto replaceFirstWith = [&](const std::string &other) {
        QFile source(QString::fromStdString(other));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();
        QFile target(first);
        ASSERT_TRUE(target.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(target.write(bytes), bytes.size());
    };
    ASSERT_TRUE(QFile::remove(QString::fromStdString(third)));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(SelectRow(Grid(), 0));
    ASSERT_EQ(Brief(), QStringLiteral("Вывод Петров"));

    ASSERT_NO_FATAL_FAILURE(replaceFirstWith(paths[1]));
    w->CheckArchiveFolder();
    ASSERT_TRUE(WaitUntil([&] { return Surnames().first() == QStringLiteral("Иванова"); }, 5000, "the first row to go"))
        << Surnames().join(u',').toStdString();
    EXPECT_EQ(Brief(), QStringLiteral("Вывод Иванова"));
    EXPECT_EQ(Model()->rowCount(), 2);

    // Replaced while the program was closed: the station's index no longer holds.
    w.reset();
    const std::string other = StoreSession(install.DataFolder(), 4, "Сидоренко");
    ASSERT_NO_FATAL_FAILURE(replaceFirstWith(other));
    ASSERT_TRUE(QFile::remove(QString::fromStdString(other)));
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(Surnames(), (QStringList{QStringLiteral("Сидоренко"), QStringLiteral("Иванова")}));
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

TEST_F(ArchiveChangesTest, DamageBeyondTheListFieldsIsFoundInTheBackgroundAndToldAsAtStartUp)
{
    auto cut = [](const std::string &path, qint64 size) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.resize(size < 0 ? file.size() + size : size));
    };
    StoreSession(install.DataFolder(), 1, "Целый");
    const std::string damaged = StoreSession(install.DataFolder(), 2, "Обрезанный");
    ASSERT_NO_FATAL_FAILURE(cut(damaged, -12));
    const QString name = QFileInfo(QString::fromStdString(damaged)).fileName();
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitUntil([&] { return !dialogs.warnings.isEmpty(); }, 5000, "a warning"));
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].startsWith(QStringLiteral("Не удалось прочитать поврежденные файлы результатов")));
    EXPECT_TRUE(dialogs.warnings[0].contains(name));
    EXPECT_EQ(w->DamagedFiles(), QStringList{name});
    EXPECT_EQ(Model()->rowCount(), 2); // listed still: selecting it tells the damage

    // Written while the window runs: one cut after its list fields, one
    // within them. Both are told, and only they.
    const std::string late = StoreSession(install.DataFolder(), 3, "Поздний");
    const std::string early = StoreSession(install.DataFolder(), 4, "Ранний");
    ASSERT_NO_FATAL_FAILURE(cut(late, -12));
    ASSERT_NO_FATAL_FAILURE(cut(early, 100));
    w->CheckArchiveFolder();
    const QStringList both{QFileInfo(QString::fromStdString(late)).fileName(),
                           QFileInfo(QString::fromStdString(early)).fileName()};
    ASSERT_TRUE(WaitUntil([&] { return w->DamagedFiles().size() == 3; }, 5000, "three damaged files told"))
        << w->DamagedFiles().join(u',').toStdString();
    for (const QString &file : both)
        EXPECT_TRUE(w->DamagedFiles().contains(file)) << file.toStdString();
    const QString told = dialogs.warnings.mid(1).join(u'\n');
    for (const QString &file : both)
        EXPECT_TRUE(told.contains(file)) << told.toStdString();
    EXPECT_FALSE(told.contains(name)); // told once
}

TEST_F(ArchiveChangesTest, AShareUnmountedUnderTheFolderKeepsTheListAndTheMountBackIsWatched)
{
    for (int i = 0; i < 3; ++i)
        paths.push_back(StoreSession(install.DataFolder(), i, "С" + std::to_string(i)));
    ASSERT_NO_FATAL_FAILURE(Start());
    auto *sync = w->findChild<ArchiveSync *>();
    ASSERT_NE(sync, nullptr);
    const std::uint64_t real = DeviceOf(install.DataFolder().toStdString()).value();
    // Shared with the watcher's thread, which may outlive this body.
    auto device = std::make_shared<std::atomic<std::uint64_t>>(real);
    auto probed = std::make_shared<std::atomic<int>>(0);
    sync->SetDeviceProbe([device, probed](const std::string &) -> std::optional<std::uint64_t> {
        ++*probed;
        return device->load();
    });

    // Unmounted: an empty folder of the disk below, where the share was.
    *device = real + 1;
    ASSERT_NO_FATAL_FAILURE(Remove({0, 1, 2}));
    for (int check = 0; check < 2; ++check) {
        const int before = *probed;
        w->CheckArchiveFolder();
        ASSERT_TRUE(WaitUntil([&] { return *probed > before; }, 5000, "another probe of the device"));
        QTest::qWait(300);
        EXPECT_EQ(Model()->rowCount(), 3) << check;
    }
    // Mounted again (a new device number): the share is compared again.
    paths[1] = StoreSession(install.DataFolder(), 1, "С1");
    *device = real + 2;
    w->CheckArchiveFolder();
    ASSERT_TRUE(WaitUntil([&] { return Model()->rowCount() == 1; }, 5000, "one row")) << Model()->rowCount();
    EXPECT_EQ(Surnames(), QStringList{QStringLiteral("С1")});
}
