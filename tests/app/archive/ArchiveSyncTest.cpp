#include "app/archive/ArchiveSync.h"
#include "app/AppTestSupport.h"
#include "app/WindowFixture.h"
#include "app/archive/ArchiveLoadDriver.h"
#include "app/archive/ArchiveWatcher.h"
#include "app/window/TformPalettorMain.h"
#include "core/SessionArchive.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

// The window's folder watcher, checking only when the test asks: the
// system's notices of the folder's changes are not heard.
ArchiveWatcher *QuietWatcher(const TformPalettorMain &window)
{
    auto *watcher = window.findChild<ArchiveWatcher *>();
    if (!watcher)
        throw std::runtime_error("the window watches no folder");
    watcher->SetInterval(60 * 60 * 1000);
    watcher->findChild<QFileSystemWatcher *>()->blockSignals(true);
    return watcher;
}

// Holds the watcher's next check open, before or after it lists the folder,
// until the test lets it go (or the held object goes).
class HeldCheck {
public:
    enum Point { BeforeListing, AfterListing };

    HeldCheck(ArchiveWatcher &watcher, Point point) : watcher(watcher)
    {
        watcher.SetFolderCheck([state = state, point](const std::string &folder, const std::vector<KnownFile> &known) {
            const bool hold = !state->used.exchange(true);
            if (hold && point == BeforeListing)
                state->Hold();
            auto found = CheckSessionFolder(folder, known);
            if (hold && point == AfterListing)
                state->Hold();
            return found;
        });
    }
    ~HeldCheck()
    {
        Release();
        watcher.SetFolderCheck({});
    }
    HeldCheck(const HeldCheck &) = delete;
    HeldCheck &operator=(const HeldCheck &) = delete;

    testing::AssertionResult WaitHeld()
    {
        return WaitUntil([this] { return state->held.load(); }, 5000, "a folder check is held");
    }
    // False once the check has gone on: it was held too long.
    bool Held() const { return state->held && !state->gaveUp; }
    void Release() { state->released = true; }

private:
    struct State {
        std::atomic<bool> used{false};
        std::atomic<bool> held{false};
        std::atomic<bool> released{false};
        std::atomic<bool> gaveUp{false};
        void Hold()
        {
            held = true;
            // Bounded, so a test that fails before letting go still ends.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!released && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            gaveUp = !released;
        }
    };
    ArchiveWatcher &watcher;
    std::shared_ptr<State> state = std::make_shared<State>();
};

class ArchiveSyncTest : public ::testing::Test {
protected:
    TemporaryInstallation install;
    ScriptedDialogs dialogs;
    ScriptedPasswords passwords;
    std::unique_ptr<TformPalettorMain> w;

    void Start(std::size_t batchEntries = 2000)
    {
        if (!w)
            w = std::make_unique<TformPalettorMain>(install.Root());
        w->SetArchiveBatchEntries(batchEntries);
        w->SetArchiveCheckInterval(60 * 60 * 1000); // checks are asked for by the tests
        QSignalSpy finished(w.get(), &TformPalettorMain::StartupFinished);
        w->show();
        ASSERT_TRUE(WaitUntil([&] { return finished.count() == 1; }, 10000, "the window has started"));
        ASSERT_TRUE(w->AdministratorMode());
    }
    ResultsModel *Model() const { return w->findChild<ResultsModel *>(); }
    QStringList Surnames() const
    {
        QStringList names;
        for (int row = 0; row < Model()->rowCount(); ++row)
            names << QString::fromStdString(std::string(Model()->RowAt(row)->Surname));
        return names;
    }
    QString Brief() const { return Find<QPlainTextEdit>(*w, "memoResultsBriefSummary")->toPlainText(); }
};

} // namespace

TEST_F(ArchiveSyncTest, TheListFillsInBatchesWhileThePasswordIsAskedAndATestCanStart)
{
    QStringList expected;
    for (int i = 0; i < 60; ++i) {
        StoreSession(install.DataFolder(), i, "Тест" + std::to_string(i));
        expected << QStringLiteral("Тест%1").arg(i);
    }
    install.Store(QStringLiteral("AskAdminPassword"), 1);
    install.Store(QStringLiteral("AdminPassword"), QStringLiteral("pw"));
    passwords.typed = {QStringLiteral("pw")};
    bool loadingWhenAsked = false;
    bool startableWhenAsked = false;
    passwords.whenAsked = [&] {
        loadingWhenAsked = w->ArchiveLoading();
        startableWhenAsked = Find<QAction>(*w, "actStartTesting")->isEnabled();
        // A session that could not be stored, appended amid the pass: it
        // ends up after the stored ones, as it would after a full read.
        w->Sessions().AddNew().Surname = "Несохраненный";
    };
    expected << QStringLiteral("Несохраненный");
    // The list is refilled before the pass has listed anything: the stored
    // row is selected once it is there, and the stored widths hold.
    {
        QSettings settings(install.SettingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("TformPalettorMain/gridResults_SelectIndex"), 40);
        settings.setValue(QStringLiteral("TformPalettorMain/gridResults_ColWidth4"), 333);
    }
    w = std::make_unique<TformPalettorMain>(install.Root());
    QAbstractItemModelTester tester(Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(Model(), &QAbstractItemModel::rowsInserted);
    Start(7);

    EXPECT_TRUE(loadingWhenAsked);
    EXPECT_TRUE(startableWhenAsked);
    EXPECT_FALSE(w->ArchiveLoading());
    EXPECT_GT(inserted.count(), 2); // batch by batch, not at the end
    EXPECT_EQ(Surnames(), expected);
    EXPECT_EQ(Model()->NumberAt(60), 61);
    EXPECT_TRUE(Find<QAction>(*w, "actResultsExportList")->isEnabled());
    // The station's index of the list lies in the user's cache folder.
    const QString index = ArchiveSync::IndexPath(install.DataFolder());
    EXPECT_TRUE(index.startsWith(install.Root() + QStringLiteral("user-cache/"))) << index.toStdString();
    EXPECT_TRUE(QFile::exists(index));
    QTableView *grid = w->findChild<QTableView *>(QStringLiteral("gridResults"));
    EXPECT_EQ(grid->columnWidth(3), 333);
    EXPECT_EQ(SelectedRow(grid), 40);
    EXPECT_EQ(Brief(), QStringLiteral("Вывод Тест40"));
    // Only the list fields were read; the rest comes when a row is shown.
    EXPECT_FALSE(w->Sessions()[10].DetailsRead);
    ASSERT_TRUE(SelectRow(grid, 10));
    EXPECT_EQ(Brief(), QStringLiteral("Вывод Тест10"));
    EXPECT_TRUE(w->Sessions()[10].DetailsRead);

    // Again, with the index: its rows come straight from its bytes before the
    // folder is listed, a session appended amid them still ends up last, and
    // no session object is made but the unsaved one and the few rows shown
    // on the way (the stored row is reached before the unsaved one is put last).
    w.reset();
    passwords.typed = {QStringLiteral("pw")};
    loadingWhenAsked = false;
    w = std::make_unique<TformPalettorMain>(install.Root());
    QAbstractItemModelTester again(Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy insertedAgain(Model(), &QAbstractItemModel::rowsInserted);
    Start(7);
    EXPECT_TRUE(loadingWhenAsked);
    EXPECT_GT(insertedAgain.count(), 2);
    EXPECT_EQ(Surnames(), expected);
    EXPECT_LE(w->Sessions().HeldCount(), 3u);
    EXPECT_EQ(Brief(), QStringLiteral("Вывод Тест40"));
}

TEST_F(ArchiveSyncTest, AnotherStationsSessionsAppearAndItsDeletionsGoWithoutAWord)
{
    const std::string first = StoreSession(install.DataFolder(), 1, "Первый");
    const std::string second = StoreSession(install.DataFolder(), 2, "Второй");
    {
        QSettings settings(install.SettingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("TformPalettorMain/gridResults_ColWidth4"), 333);
    }
    Start();
    ASSERT_EQ(Surnames(), (QStringList{QStringLiteral("Первый"), QStringLiteral("Второй")}));
    // Filled while the archive was still empty: the stored width and the
    // first row all the same.
    QTableView *grid = w->findChild<QTableView *>(QStringLiteral("gridResults"));
    EXPECT_EQ(grid->columnWidth(3), 333);
    EXPECT_EQ(SelectedRow(grid), 0);

    // Seen by the folder watcher without being asked.
    StoreSession(install.DataFolder(), 3, "Третий");
    ASSERT_TRUE(WaitUntil([&] { return Model()->rowCount() == 3; }, 5000, "the new session is listed"))
        << Surnames().join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(Surnames().last(), QStringLiteral("Третий"));

    // Deleted elsewhere while its row is shown, and found by a listing.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(first)));
    w->CheckArchiveFolder();
    ASSERT_TRUE(WaitUntil([&] { return Model()->rowCount() == 2; }, 5000, "the deleted session leaves the list"))
        << Surnames().join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(Surnames(), (QStringList{QStringLiteral("Второй"), QStringLiteral("Третий")}));
    EXPECT_EQ(w->Sessions().Count(), 2u);
    EXPECT_EQ(Brief(), QStringLiteral("Вывод Второй"));
    ASSERT_TRUE(QFile::remove(QString::fromStdString(second)));
    w->CheckArchiveFolder();
    ASSERT_TRUE(
        WaitUntil([&] { return Model()->rowCount() == 1; }, 5000, "the first name in the folder leaves the list"))
        << Surnames().join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(Surnames(), QStringList{QStringLiteral("Третий")});
    EXPECT_TRUE(dialogs.warnings.isEmpty());
    EXPECT_TRUE(dialogs.infos.isEmpty());
}

TEST_F(ArchiveSyncTest, DamageBeyondTheListFieldsIsToldWhenTheSessionIsNeededAndHidesNothing)
{
    StoreSession(install.DataFolder(), 1, "Целый");
    const QString damaged = QString::fromStdString(StoreSession(install.DataFolder(), 2, "Поврежденный"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() - 12));
    file.close();
    Start();
    // The pass reads the list fields only; reading the rest in the
    // background finds the damage and tells it.
    QElapsedTimer waited;
    waited.start();
    while (dialogs.warnings.isEmpty() && waited.elapsed() < 5000)
        QTest::qWait(10);
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_EQ(w->DamagedFiles(), QStringList{QFileInfo(damaged).fileName()});
    ASSERT_EQ(Model()->rowCount(), 2);

    QTableView *grid = w->findChild<QTableView *>(QStringLiteral("gridResults"));
    ASSERT_TRUE(SelectRow(grid, 1));
    EXPECT_TRUE(Brief().contains(QStringLiteral("поврежден"))) << Brief().toStdString();
    EXPECT_TRUE(Brief().contains(QFileInfo(damaged).fileName()));
    EXPECT_EQ(Model()->rowCount(), 2);

    // Its report is refused with the reason; the table of the list leaves it
    // out and says so.
    Find<QAction>(*w, "actResultsCopy")->trigger();
    ASSERT_EQ(dialogs.warnings.size(), 2);
    EXPECT_TRUE(dialogs.warnings[1].contains(QFileInfo(damaged).fileName()));
    const QString table = install.Root() + QStringLiteral("list.csv");
    dialogs.saveFileAnswers = {table};
    Find<QAction>(*w, "actResultsExportList")->trigger();
    ASSERT_EQ(dialogs.warnings.size(), 3);
    EXPECT_TRUE(dialogs.warnings[2].contains(QFileInfo(damaged).fileName()));
    QFile written(table);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString csv = QString::fromUtf8(written.readAll());
    EXPECT_TRUE(csv.contains(QStringLiteral("Целый")));
    EXPECT_FALSE(csv.contains(QStringLiteral("Поврежденный")));
}

namespace {
class TwoStationsTest : public WindowFixture {};
} // namespace

TEST_F(TwoStationsTest, ASessionFinishedAtOneStationIsListedAtTheOtherAndItsDeletionGoesBack)
{
    // Station B shares the session folder (and, here, the settings).
    TformPalettorMain other(install.Root());
    other.SetArchiveCheckInterval(60 * 60 * 1000);
    QSignalSpy otherStarted(&other, &TformPalettorMain::StartupFinished);
    other.show();
    ASSERT_TRUE(WaitUntil([&] { return otherStarted.count() == 1; }, 10000, "station B has started"));
    StartWindow();
    ASSERT_NO_FATAL_FAILURE(PlayToTheEnd(KindEightOnce, 2));
    ASSERT_EQ(SessionFiles().size(), 1);

    auto *otherModel = other.findChild<ResultsModel *>();
    other.CheckArchiveFolder();
    ASSERT_TRUE(WaitUntil([&] { return otherModel->rowCount() == 1; }, 5000, "station B lists A's session"));
    ASSERT_TRUE(SelectRow(other.findChild<QTableView *>(QStringLiteral("gridResults")), 0));
    // Its choices are read from station A's file when the row is shown.
    const TCLTSession &listed = other.Sessions()[0];
    EXPECT_TRUE(listed.DetailsRead);
    EXPECT_EQ(listed.Surname, "Кузнецов");
    EXPECT_NE(listed.Choice[1][1], 0);
    EXPECT_EQ(listed.Choice[1], w->Sessions()[0].Choice[1]);

    dialogs.yesNoAnswers = {true};
    Find<QAction>(other, "actResultsDelete")->trigger();
    ASSERT_TRUE(SessionFiles().isEmpty());
    w->CheckArchiveFolder();
    ASSERT_TRUE(WaitUntil([&] { return w->findChild<ResultsModel *>()->rowCount() == 0; }, 5000,
                          "station A drops the session B deleted"));
    EXPECT_EQ(w->Sessions().Count(), 0u);
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

// A session stored while a check lists the folder is missed by that check;
// the check asked for meanwhile follows it and lists the session.
TEST_F(ArchiveSyncTest, AChangeThatArrivesDuringACheckIsTakenInByTheCheckAfterIt)
{
    StoreSession(install.DataFolder(), 1, "Первый");
    Start();
    HeldCheck held(*QuietWatcher(*w), HeldCheck::AfterListing);
    w->CheckArchiveFolder();
    ASSERT_TRUE(held.WaitHeld());
    StoreSession(install.DataFolder(), 2, "Второй");
    w->CheckArchiveFolder();
    ASSERT_TRUE(held.Held());
    held.Release();
    ASSERT_TRUE(WaitUntil([&] { return Model()->rowCount() == 2; }, 5000, "the session stored meanwhile is listed"));
    EXPECT_EQ(Surnames(), (QStringList{QStringLiteral("Первый"), QStringLiteral("Второй")}));
}

// The window's own save lands while a check lists the folder: the check
// finds a file its list of known names lacked, and the window lists it once.
TEST_F(TwoStationsTest, TheWindowsOwnSaveDuringACheckIsListedOnce)
{
    StartWindow();
    HeldCheck held(*QuietWatcher(*w), HeldCheck::BeforeListing);
    w->CheckArchiveFolder();
    ASSERT_TRUE(held.WaitHeld());
    ASSERT_NO_FATAL_FAILURE(PlayToTheEnd(KindEightOnce, 2));
    ASSERT_EQ(SessionFiles().size(), 1);
    ASSERT_EQ(w->Sessions().Count(), 1u);
    ASSERT_TRUE(held.Held());
    // Nothing is deleted here: a row taken out was listed twice (and dropped
    // again by a later check) or compared out of order.
    auto *model = w->findChild<ResultsModel *>();
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    held.Release();
    // Another station's session, found by the check after the held one,
    // tells that the held one has been taken in.
    StoreSession(install.DataFolder(), 5, "Другой");
    w->CheckArchiveFolder();
    ASSERT_TRUE(
        WaitUntil([&] { return model->rowCount() > 0 && model->SessionAt(model->rowCount() - 1)->Surname == "Другой"; },
                  5000, "another station's session is listed"));
    ASSERT_EQ(w->Sessions().Count(), 2u);
    EXPECT_EQ(w->Sessions()[0].Surname, "Кузнецов");
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(removed.count(), 0);

    // The list is out of name order now (the window's session is the newer):
    // a check compares the folder with it all the same.
    StoreSession(install.DataFolder(), 6, "Третий");
    w->CheckArchiveFolder();
    ASSERT_TRUE(WaitUntil([&] { return w->Sessions().Count() == 3; }, 5000, "the third session is listed"));
    EXPECT_EQ(removed.count(), 0);
    EXPECT_EQ(w->Sessions()[2].Surname, "Третий");
}

namespace {
// A session folder of its own for the driver and the watcher alone.
struct LoneFolder {
    QTemporaryDir root;
    QString Data() const { return root.path() + QStringLiteral("/Data"); }
    QString Index() const { return root.path() + QStringLiteral("/cache/list.idx"); }
    LoneFolder() { QDir(root.path()).mkpath(QStringLiteral("Data")); }
};
} // namespace

// Batches that queued while the window's thread was busy are taken in at one
// go (one showing of the rows for many batches), each entry once and in order.
TEST(ArchiveLoadDriverTest, BatchesQueuedMeanwhileAreTakenInTogetherInNameOrder)
{
    LoneFolder folder;
    for (int i = 0; i < 40; ++i)
        StoreSession(folder.Data(), i, "Тест" + std::to_string(i));
    ArchiveLoadDriver driver(folder.Data(), folder.Index());
    driver.SetBatchEntries(1);
    std::vector<std::string> names;
    int batches = 0;
    int goes = 0;
    int finished = 0;
    QObject::connect(&driver, &ArchiveLoadDriver::BatchRead, [&](const std::shared_ptr<SessionListBatch> &batch) {
        ++batches;
        for (const SessionListEntry &entry : batch->Entries)
            names.push_back(entry.Name);
    });
    QObject::connect(&driver, &ArchiveLoadDriver::BatchesTaken, [&] { ++goes; });
    QObject::connect(&driver, &ArchiveLoadDriver::Finished, [&] { ++finished; });
    driver.Start();
    // The window's thread busy while the whole pass runs.
    const QDeadlineTimer deadline(10000);
    while (!QFile::exists(folder.Index()) && !deadline.hasExpired())
        QThread::msleep(5);
    ASSERT_TRUE(QFile::exists(folder.Index())) << "the pass has handed on every batch and written the index";
    QThread::msleep(50);
    ASSERT_TRUE(WaitUntil([&] { return finished == 1; }, 5000, "the pass has ended"));
    EXPECT_GE(batches, 20);
    EXPECT_LE(goes, 2);
    EXPECT_EQ(names.size(), 40u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    const std::vector<KnownFile> listed = driver.TakeListedFiles();
    ASSERT_EQ(listed.size(), names.size());
    for (std::size_t i = 0; i < listed.size(); ++i)
        EXPECT_EQ(listed[i].Name, names[i]);
}

// After the files the list was read from are told, checks compare the
// folder with what the previous check found, on the worker: the window's
// list of names is never asked for.
TEST(ArchiveWatcherTest, ChecksCompareWithTheLastListingWithoutAskingTheWindow)
{
    LoneFolder folder;
    const std::string first = StoreSession(folder.Data(), 1, "Первый");
    int asked = 0;
    ArchiveWatcher watcher(
        folder.Data(),
        [&] {
            ++asked;
            return std::vector<KnownFile>{};
        },
        nullptr);
    watcher.SetInterval(60 * 60 * 1000);
    const std::string data = folder.Data().toStdString();
    const std::string firstName = QFileInfo(QString::fromStdString(first)).fileName().toStdString();
    watcher.SetKnown({{firstName, StampOf(first).value_or(FileStamp{})}});
    watcher.Start();
    watcher.findChild<QFileSystemWatcher *>()->blockSignals(true);
    std::vector<std::shared_ptr<SessionFolderChanges>> seen;
    QObject::connect(&watcher, &ArchiveWatcher::Changed,
                     [&](const std::shared_ptr<SessionFolderChanges> &changes) { seen.push_back(changes); });
    auto check = [&](std::size_t expected) {
        watcher.CheckNow();
        return WaitUntil([&] { return seen.size() == expected; }, 5000, "the check has ended");
    };

    const std::string second = StoreSession(folder.Data(), 2, "Второй");
    ASSERT_TRUE(check(1));
    ASSERT_EQ(seen[0]->Added.size(), 1u);
    EXPECT_EQ(PathInFolder(data, seen[0]->Added[0].Name), second);
    EXPECT_TRUE(seen[0]->Vanished.empty());

    ASSERT_TRUE(QFile::remove(QString::fromStdString(first)));
    const std::string third = StoreSession(folder.Data(), 3, "Третий");
    ASSERT_TRUE(check(2));
    ASSERT_EQ(seen[1]->Added.size(), 1u);
    EXPECT_EQ(PathInFolder(data, seen[1]->Added[0].Name), third);
    EXPECT_EQ(seen[1]->Vanished, std::vector<std::string>{firstName});

    // The sessions found before are known now: only the deletion is told.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(second)));
    ASSERT_TRUE(check(3));
    EXPECT_TRUE(seen[2]->Added.empty());
    EXPECT_EQ(seen[2]->Vanished,
              std::vector<std::string>{QFileInfo(QString::fromStdString(second)).fileName().toStdString()});
    EXPECT_EQ(asked, 0);
}
