#include "app/testing/SessionFinisher.h"
#include "app/AppTestSupport.h"
#include "qtkit/StationContext.h"
#include "support/ShortTextFields.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cerrno>
#include <unistd.h>

namespace {

// 4 March 2026, 05:06:07.000; file names take the digits 3 and 7.
const LocalDateTime fixedNow{2026, 3, 4, 5, 6, 7, 0};

class SessionFinisherTest : public ::testing::Test {
protected:
    TemporaryInstallation install;
    ScriptedDialogs dialogs;
    TCLTKnowledgeBase knowledgeBase;
    TCLTSession session;
    QStringList steps; // what happened, in order, with the files in Data at that moment

    QStringList Files() const { return QDir(install.DataFolder()).entryList(QDir::Files); }

    std::unique_ptr<SessionFinisher> Make(const StationContext &context)
    {
        auto finisher = std::make_unique<SessionFinisher>(knowledgeBase, install.DataFolder(), context);
        int next = 0;
        finisher->SetDigitSource([next]() mutable { return next++ % 2 ? 7 : 3; });
        finisher->SetDialogs(&dialogs);
        finisher->SetShow([this](const TCLTSession &) { steps << QStringLiteral("show %1").arg(Files().size()); });
        finisher->SetList([this](const TCLTSession &) { steps << QStringLiteral("list %1").arg(Files().size()); });
        return finisher;
    }
};

TEST_F(SessionFinisherTest, InterpretsShowsSavesAndListsInThatOrder)
{
    struct Case {
        QLocale locale;
        std::string separator;
    };
    const Case cases[] = {{QLocale(QLocale::Russian, QLocale::Russia), ","},
                          {QLocale(QLocale::English, QLocale::UnitedStates), "."}};
    for (const Case &c : cases) {
        QDir(install.DataFolder()).removeRecursively();
        QDir(install.Root()).mkpath(QStringLiteral("Data"));
        steps.clear();
        const StationContext context(c.locale, [] { return fixedNow; });
        session = TCLTSession();
        session.TestKind = 1;
        session.Context.DecimalSeparator = "?";
        EXPECT_TRUE(Make(context)->Finish(session, 45000.5, 45000.75));
        EXPECT_EQ(steps, (QStringList{QStringLiteral("show 0"), QStringLiteral("list 1")}));
        EXPECT_EQ(session.Context.DecimalSeparator, c.separator);
        EXPECT_EQ(session.DurationSeconds, 6 * 3600);
        EXPECT_EQ(Files(), QStringList{QStringLiteral("2603040506070037.dat")});
        EXPECT_TRUE(dialogs.warnings.isEmpty());
    }
}

TEST_F(SessionFinisherTest, AFailedSaveIsToldAndTheSessionStaysShownAndListed)
{
    QDir(install.DataFolder()).removeRecursively();
    const StationContext context(QLocale(QLocale::Russian, QLocale::Russia), [] { return fixedNow; });
    EXPECT_FALSE(Make(context)->Finish(session, 45000.5, 45000.5));
    EXPECT_EQ(steps, (QStringList{QStringLiteral("show 0"), QStringLiteral("list 0")}));
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QDir::toNativeSeparators(install.DataFolder())));
    EXPECT_TRUE(dialogs.warnings[0].contains(QStringLiteral("Причина: папка не существует")));
    // Kept in the recovery folder until Data takes it.
    EXPECT_TRUE(QString::fromStdString(session.SourceFile).startsWith(SessionFinisher::DefaultRecoveryFolder()));
}

// Every way Data can refuse a session: the session goes to the recovery
// folder at once, counts as not stored, and a retry once Data is mended
// moves it there under a name of the archive's rule.
TEST_F(SessionFinisherTest, AFailedSaveIsKeptForRecoveryAndStoredOnRetry)
{
    const bool root = geteuid() == 0; // root writes into a read-only folder
    struct Case {
        const char *what;
        std::function<void(SessionFinisher &)> breakData;
        QString reason;
    };
    const QString data = install.DataFolder();
    const Case cases[] = {
        {"missing", [&](SessionFinisher &) { QDir(data).removeRecursively(); }, QStringLiteral("папка не существует")},
        {"a file",
         [&](SessionFinisher &) {
             QDir(data).removeRecursively();
             WriteBytes(data, "x");
         },
         QStringLiteral("это не папка")},
        {"read-only",
         [&](SessionFinisher &f) {
             if (root)
                 f.SetSaveHooks({[](SaveStage stage) { return stage == SaveStage::Creating ? EROFS : 0; }, {}, {}});
             else
                 QFile::setPermissions(data, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
         },
         root ? QStringLiteral("только для чтения") : QStringLiteral("доступ")},
        {"full",
         [&](SessionFinisher &f) {
             f.SetSaveHooks({[](SaveStage stage) { return stage == SaveStage::Writing ? ENOSPC : 0; }, {}, {}});
         },
         QStringLiteral("нет места на диске")},
    };
    const StationContext context(QLocale(QLocale::Russian, QLocale::Russia), [] { return fixedNow; });
    const QString recovery = install.Root() + QStringLiteral("recovery");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.warnings.clear();
        ArchiveList sessions;
        TCLTSession &held = sessions.Add(std::make_unique<TCLTSession>());
        held.TestKind = 1;
        auto finisher = Make(context);
        finisher->SetRecoveryFolder(recovery);
        c.breakData(*finisher);
        EXPECT_FALSE(finisher->Finish(held, 45000.5, 45000.5));
        ASSERT_EQ(dialogs.warnings.size(), 1);
        EXPECT_TRUE(dialogs.warnings[0].contains(c.reason)) << dialogs.warnings[0].toStdString();
        EXPECT_TRUE(dialogs.warnings[0].contains(QDir::toNativeSeparators(recovery)));
        EXPECT_EQ(QDir(recovery).entryList({QStringLiteral("*.dat")}, QDir::Files).size(), 1);
        EXPECT_TRUE(finisher->NotStored(held));
        EXPECT_EQ(finisher->NotStoredCount(sessions), 1);

        // Still refused: the retry tells why and keeps the copy.
        EXPECT_EQ(finisher->RetryNotStored(sessions), 1);
        EXPECT_EQ(QDir(recovery).entryList({QStringLiteral("*.dat")}, QDir::Files).size(), 1);

        QFile::setPermissions(data, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (!QFileInfo(data).isDir()) {
            QFile::remove(data);
            QDir(install.Root()).mkpath(QStringLiteral("Data"));
        }
        finisher->SetSaveHooks({});
        EXPECT_EQ(finisher->RetryNotStored(sessions), 0);
        EXPECT_FALSE(finisher->NotStored(held));
        EXPECT_EQ(Files(), QStringList{QStringLiteral("2603040506070037.dat")});
        EXPECT_TRUE(QDir(recovery).entryList({QStringLiteral("*.dat")}, QDir::Files).isEmpty());
        QDir(data).removeRecursively();
        QDir(install.Root()).mkpath(QStringLiteral("Data"));
    }
}

// Every short text at its limit and one past it, saved as the window saves a
// finished session: the file keeps the first 255 bytes and both readers take it.
TEST_F(SessionFinisherTest, SavedShortTextsAtTheirLimitAreReadBack)
{
    const StationContext context(QLocale(QLocale::Russian, QLocale::Russia), [] { return fixedNow; });
    for (const std::size_t bytes : ShortTextLengths) {
        SCOPED_TRACE(bytes);
        QDir(install.DataFolder()).removeRecursively(); // the fixed clock and digits give one name
        QDir(install.Root()).mkpath(QStringLiteral("Data"));
        TCLTSession held;
        held.TestKind = 4;
        for (std::size_t f = 0; f < std::size(ShortTextFields); ++f)
            ShortTextFields[f].Of(held) = ShortTextOf(f, bytes);
        ASSERT_TRUE(Make(context)->Store(held));
        ExpectShortTextsKept(held.SourceFile, bytes);
    }
}

// At the next start recovered sessions go into Data; one that cannot be read
// stays and the administrator is told why, in Russian.
TEST_F(SessionFinisherTest, RecoveredSessionsMoveIntoDataAtTheNextStart)
{
    const StationContext context(QLocale(QLocale::Russian, QLocale::Russia), [] { return fixedNow; });
    const QString recovery = install.Root() + QStringLiteral("recovery");
    QDir().mkpath(recovery);
    session.Surname = "Кузнецов";
    const QString good = QString::fromStdString(
        SaveSession(session, recovery.toStdString(), LocalDateTime{2025, 1, 2, 3, 4, 5, 0}, [] { return 1; }));
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    WriteBytes(recovery + QStringLiteral("/2501020304050099.dat"), whole.left(whole.size() / 2)); // cut short
    auto finisher = Make(context);
    finisher->SetRecoveryFolder(recovery);
    const QStringList notes = finisher->MoveRecoveredIntoData();
    EXPECT_EQ(Files(), QStringList{QStringLiteral("2603040506070037.dat")});
    EXPECT_EQ(QDir(recovery).entryList(QDir::Files), QStringList{QStringLiteral("2501020304050099.dat")});
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes[0].contains(QDir::toNativeSeparators(recovery)));
    EXPECT_FALSE(notes[0].contains(QStringLiteral("unexpected"))) << notes[0].toStdString();

    ArchiveList listed;
    finisher->AddWaitingRecovered(listed);
    EXPECT_EQ(listed.Count(), 0u) << "a damaged copy is not listed";
}

// Every question and notice of the finisher goes to the dialogs it was given,
// not to the ones installed for the whole program.
TEST_F(SessionFinisherTest, RetryNoticesAndTheCloseQuestionUseTheGivenDialogs)
{
    ScriptedDialogs installed; // installs itself over the fixture's dialogs
    const StationContext context(QLocale(QLocale::Russian, QLocale::Russia), [] { return fixedNow; });
    auto finisher = Make(context);
    finisher->SetRecoveryFolder(install.Root() + QStringLiteral("recovery"));
    ArchiveList sessions;
    TCLTSession &held = sessions.AddNew();
    held.TestKind = 1;

    finisher->RetryAndTell(sessions); // nothing to store: "all saved"
    EXPECT_TRUE(finisher->MayCloseWith(sessions));
    QDir(install.DataFolder()).removeRecursively();
    EXPECT_FALSE(finisher->Finish(held, 45000.5, 45000.5));
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(finisher->MayCloseWith(sessions));
    QDir(install.Root()).mkpath(QStringLiteral("Data"));
    finisher->RetryAndTell(sessions); // stored now: "saved"

    EXPECT_EQ(dialogs.infos,
              (QStringList{QStringLiteral("Все результаты тестирования сохранены."),
                           QStringLiteral("Результаты тестирования сохранены.")}));
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(QStringLiteral("Закрыть программу?")));
    EXPECT_TRUE(installed.infos.isEmpty());
    EXPECT_TRUE(installed.questions.isEmpty());
    EXPECT_TRUE(installed.warnings.isEmpty());
}

} // namespace

TEST(SessionFinisherFolder, ASessionIsStoredOnlyWhenItsFileIsRightInData)
{
    TCLTKnowledgeBase knowledgeBase;
    const StationContext context(QLocale(QLocale::Russian, QLocale::Russia), [] { return fixedNow; });
    const struct {
        QString folder;
        std::string file;
        bool stored;
    } cases[] = {
        {QStringLiteral("/st/Data"), "/st/Data/1.dat", true},
        {QStringLiteral("/st/Data/"), "/st/Data/1.dat", true},
        {QStringLiteral("/st/bin/../Data"), "/st/bin/../Data/1.dat", true},
        {QStringLiteral("/st/bin/../Data"), "/st/Data/1.dat", true},
        {QStringLiteral("/st/Data"), "/st/bin/../Data/1.dat", true},
        {QStringLiteral("/st/Data"), "/st/Data/./1.dat", true},
        {QStringLiteral("/st/Data"), "/st/Data/sub/1.dat", true}, // under it, as ever
        {QStringLiteral("/st/Data"), "/st/Data/sub/../../1.dat", false},
        {QStringLiteral("/st/Data"), "/st/Data/..", false},
        {QStringLiteral("/st/Data"), "/st/Data2/1.dat", false},
        {QStringLiteral("/st/Data"), "/st/Recovery/1.dat", false},
        {QStringLiteral("."), "./1.dat", false}, // cleaned, the file has no folder left
        {QStringLiteral("/"), "/1.dat", false},
    };
    for (const auto &c : cases) {
        const SessionFinisher finisher(knowledgeBase, c.folder, context);
        TCLTSession session;
        session.SourceFile = c.file;
        EXPECT_EQ(finisher.NotStored(session), !c.stored) << c.folder.toStdString() << " " << c.file;
    }
}
