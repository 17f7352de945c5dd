#include "app/WindowFixture.h"
#include "app/testing/SessionFinisher.h"

#include <QDir>

// A recovered session whose file the recovery folder will not let go (read
// but not written) goes into Data once, however often the program starts,
// and the administrator is told to remove it. The suite runs as root, whom
// a read-only folder does not stop, so the removal is failed through the
// finisher's seam.
namespace {

class RecoveredSessions : public WindowFixture {
protected:
    int removals = 0;

    void Start(bool removable)
    {
        w.reset();
        dialogs.warnings.clear();
        removals = 0;
        w = std::make_unique<TformPalettorMain>(install.Root());
        if (!removable)
            w->Finisher().SetFileRemover([this](const QString &, QString &reason) {
                ++removals;
                reason = QStringLiteral("отказано в доступе");
                return false;
            });
        QSignalSpy finished(w.get(), &TformPalettorMain::StartupFinished);
        w->show();
        ASSERT_TRUE(finished.count() == 1 || finished.wait(10000));
    }
};

TEST_F(RecoveredSessions, AFileThatCannotBeRemovedIsMovedOnceAndTheAdministratorIsTold)
{
    const QString recovery = SessionFinisher::DefaultRecoveryFolder();
    ASSERT_TRUE(QDir().mkpath(recovery));
    // Two sessions of one size that differ in one pick: each is its own.
    for (int pick = 1; pick <= 2; ++pick) {
        TCLTSession session;
        session.TestKind = 1;
        session.Surname = "Кузнецов";
        session.Choice[1][1] = pick;
        SaveSession(session, recovery.toStdString(), LocalDateTime{2025, 1, 2, 3, 4, 5, pick}, [] { return 1; });
    }
    ASSERT_EQ(install.RecoveredFiles().size(), 2);

    for (int start = 1; start <= 3; ++start) {
        Start(false);
        EXPECT_EQ(SessionFiles().size(), 2) << "start " << start;
        EXPECT_EQ(install.RecoveredFiles().size(), 2) << "start " << start;
        EXPECT_EQ(removals, 2) << "start " << start;
        EXPECT_EQ(w->Sessions().Count(), 2u) << "listed from Data only, start " << start;
        EXPECT_EQ(w->Finisher().NotStoredCount(w->Sessions()), 0) << "start " << start;
        ASSERT_EQ(dialogs.warnings.size(), 1) << "start " << start;
        const QString &note = dialogs.warnings[0];
        EXPECT_TRUE(note.contains(QStringLiteral("уже перенесены"))) << note.toStdString();
        EXPECT_TRUE(note.contains(QStringLiteral("отказано в доступе"))) << note.toStdString();
        EXPECT_TRUE(note.contains(install.RecoveredFiles()[0])) << note.toStdString();
    }

    // Once the folder lets them go they are removed, and nothing is copied.
    Start(true);
    EXPECT_EQ(SessionFiles().size(), 2);
    EXPECT_TRUE(install.RecoveredFiles().isEmpty());
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

} // namespace
