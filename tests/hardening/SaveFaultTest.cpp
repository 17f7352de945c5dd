// Saves that fail or are cut short at every point: each case ends with an
// audit of the whole session folder.

#include "core/SystemReason.h"
#include "core/TSimpleFileStream.h"
#include "hardening/HardeningSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

using namespace hardening;

namespace {

struct Scenario {
    const char *Name;
    int Kind;
    std::vector<int> Digits;     // what the save under test draws
    bool NameTaken = false;      // an earlier session holds the first name drawn
    bool TemporaryTaken = false; // a leftover temporary holds the first name drawn
    bool RaceAtPublish = false;  // another station stores a session under it just before it is taken
    int Lacks = 0;               // ways of publishing the file system lacks: 1 no-replace rename, 2 hard links too
};

void PrintTo(const Scenario &s, std::ostream *out) { *out << s.Name; }

// Two earlier sessions, plus what the scenario puts in the way.
void Prepare(const Scenario &s, const ScratchFolder &folder)
{
    LocalDateTime earlier = SaveTime;
    earlier.Second = 1;
    TCLTSession first = SessionBuilder::EveryField(2, 1);
    SaveSession(first, folder.str(), earlier, Digits({0, 1}));
    earlier.Second = 2;
    TCLTSession second = SessionBuilder::EveryField(4, 2);
    SaveSession(second, folder.str(), earlier, Digits({9}));
    if (s.NameTaken) {
        TCLTSession holder = SessionBuilder::EveryField(3, 3);
        const std::string path = SaveSession(holder, folder.str(), SaveTime, Digits(s.Digits));
        WriteFile(fs::path(path).replace_extension(".~da"), "an older backup");
    }
    if (s.TemporaryTaken)
        WriteFile(folder.path / (SessionFileName(SaveTime, Digits(s.Digits)) + ".dat.tmp"), "left by a crash");
}

TCLTSession NewSession(const Scenario &s) { return SessionBuilder::EveryField(s.Kind, 10); }

const std::string &RivalBytes()
{
    static const std::string bytes = SavedBytes(SessionBuilder::EveryField(1, 30));
    return bytes;
}

std::string FirstName(const Scenario &s) { return SessionFileName(SaveTime, Digits(s.Digits)) + ".dat"; }

// What the file system lacks and what another station does while the save
// under test runs; each test adds its own faults to these hooks.
SaveHooks ScenarioHooks(const Scenario &s)
{
    SaveHooks hooks;
    auto raced = std::make_shared<bool>(false);
    hooks.BeforePublish = [s, raced](PublishStep step, const std::string &path) {
        if (static_cast<int>(step) < s.Lacks)
            return step == PublishStep::NoReplaceRename ? EINVAL : EPERM;
        if (s.RaceAtPublish && !*raced) {
            *raced = true;
            WriteFile(path, RivalBytes());
        }
        return 0;
    };
    return hooks;
}

// The save as it goes when nothing fails: its name, bytes and stages.
struct Reference {
    ExpectedSave Expected;
    std::vector<SaveStage> Stages;
};

Reference MakeReference(const Scenario &s)
{
    ScratchFolder folder(true);
    Prepare(s, folder);
    Reference r;
    SaveHooks hooks = ScenarioHooks(s);
    hooks.AtStage = [&](SaveStage stage) {
        r.Stages.push_back(stage);
        return 0;
    };
    std::vector<PublishStep> steps;
    hooks.BeforePublish = [&steps, inner = hooks.BeforePublish](PublishStep step, const std::string &path) {
        steps.push_back(step);
        return inner(step, path);
    };
    TCLTSession session = NewSession(s);
    const std::string path = SaveSession(session, folder.str(), SaveTime, Digits(s.Digits), hooks);
    r.Expected.Name = fs::path(path).filename().string();
    // The scenario must do what it says: the way used is the first the file
    // system has, and a name taken first makes the save draw again.
    EXPECT_EQ(steps.back(), static_cast<PublishStep>(s.Lacks));
    EXPECT_EQ(r.Expected.Name != FirstName(s), s.NameTaken || s.TemporaryTaken || s.RaceAtPublish);
    r.Expected.Bytes = ReadFile(path);
    if (s.RaceAtPublish) {
        // The temporary file keeps the name first drawn; the session takes the next.
        r.Expected.Appeared[FirstName(s)] = RivalBytes();
        r.Expected.Temporary = FirstName(s) + ".tmp";
    }
    return r;
}

// The save must throw a StreamError that names the folder and the reason.
void ExpectReported(const ScratchFolder &folder, const Scenario &s, const SaveHooks &hooks, int code)
{
    TCLTSession session = NewSession(s);
    try {
        SaveSession(session, folder.str(), SaveTime, Digits(s.Digits), hooks);
        ADD_FAILURE() << "the failed save was reported as done";
    } catch (const StreamError &error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("\"" + folder.str() + "\""), std::string::npos) << message;
        EXPECT_NE(message.find(SystemReasonText(code)), std::string::npos) << message;
    }
    EXPECT_TRUE(session.SourceFile.empty());
}

int SessionFileCount(const FolderSnapshot &files)
{
    int count = 0;
    for (const auto &[name, bytes] : files)
        count += fs::path(name).extension() == ".dat";
    return count;
}

const char *StageName(SaveStage stage)
{
    switch (stage) {
    case SaveStage::Creating:
        return "Creating";
    case SaveStage::Writing:
        return "Writing";
    case SaveStage::Syncing:
        return "Syncing";
    case SaveStage::Closing:
        return "Closing";
    case SaveStage::Renaming:
        return "Renaming";
    case SaveStage::SyncingFolder:
        return "SyncingFolder";
    case SaveStage::Done:
        return "Done";
    }
    return "?";
}

class SaveFaults : public ::testing::TestWithParam<Scenario> {};

TEST_P(SaveFaults, FullDiskAtEveryWriteOffset)
{
    const Scenario &s = GetParam();
    const Reference reference = MakeReference(s);
    const size_t size = reference.Expected.Bytes.size();
    ASSERT_GT(size, 500u);
    for (size_t full = 0; full < size; ++full) {
        SCOPED_TRACE("disk full after " + std::to_string(full) + " of " + std::to_string(size) + " bytes");
        ScratchFolder folder(true);
        Prepare(s, folder);
        const FolderSnapshot before = Snapshot(folder.path);
        SaveHooks hooks = ScenarioHooks(s);
        // The write reaching the limit is cut short there, the next one fails.
        hooks.BeforeWrite = [full](size_t offset, size_t &count) {
            if (offset >= full)
                return ENOSPC;
            count = std::min(count, full - offset);
            return 0;
        };
        ExpectReported(folder, s, hooks, ENOSPC);
        AuditFolder(folder.path, before, reference.Expected, SaveOutcome::Failed);
        if (HasFailure())
            return;
    }
}

TEST_P(SaveFaults, ShortWritesStillStoreTheWholeSession)
{
    const Scenario &s = GetParam();
    const Reference reference = MakeReference(s);
    ScratchFolder folder(true);
    Prepare(s, folder);
    const FolderSnapshot before = Snapshot(folder.path);
    SaveHooks hooks = ScenarioHooks(s);
    hooks.BeforeWrite = [](size_t offset, size_t &count) {
        count = std::min<size_t>(count, offset % 7 + 1);
        return 0;
    };
    TCLTSession session = NewSession(s);
    SaveSession(session, folder.str(), SaveTime, Digits(s.Digits), hooks);
    EXPECT_TRUE(AuditFolder(folder.path, before, reference.Expected, SaveOutcome::Saved));
}

TEST_P(SaveFaults, FailureAtEveryStage)
{
    const Scenario &s = GetParam();
    const Reference reference = MakeReference(s);
    for (size_t failing = 0; failing < reference.Stages.size(); ++failing) {
        const SaveStage stage = reference.Stages[failing];
        SCOPED_TRACE(std::string("failing at stage ") + std::to_string(failing + 1) + " " + StageName(stage));
        ScratchFolder folder(true);
        Prepare(s, folder);
        const FolderSnapshot before = Snapshot(folder.path);
        size_t reached = 0;
        SaveHooks hooks = ScenarioHooks(s);
        hooks.AtStage = [&](SaveStage) { return reached++ == failing ? EIO : 0; };
        // Once the session has its name the save is done; what follows
        // cannot undo it.
        if (stage == SaveStage::SyncingFolder || stage == SaveStage::Done) {
            TCLTSession session = NewSession(s);
            EXPECT_NO_THROW(SaveSession(session, folder.str(), SaveTime, Digits(s.Digits), hooks));
            AuditFolder(folder.path, before, reference.Expected, SaveOutcome::Saved);
        } else {
            ExpectReported(folder, s, hooks, EIO);
            AuditFolder(folder.path, before, reference.Expected, SaveOutcome::Failed);
        }
    }
}

TEST_P(SaveFaults, KilledAtEveryStage)
{
    const Scenario &s = GetParam();
    const Reference reference = MakeReference(s);
    for (size_t killed = 0; killed < reference.Stages.size(); ++killed) {
        SCOPED_TRACE(std::string("killed at stage ") + std::to_string(killed + 1) + " "
                     + StageName(reference.Stages[killed]));
        ScratchFolder folder(true);
        Prepare(s, folder);
        const FolderSnapshot before = Snapshot(folder.path);
        std::fflush(nullptr);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            size_t reached = 0;
            SaveHooks hooks = ScenarioHooks(s);
            hooks.AtStage = [&](SaveStage) {
                if (reached++ == killed)
                    ::raise(SIGKILL);
                return 0;
            };
            TCLTSession session = NewSession(s);
            try {
                SaveSession(session, folder.str(), SaveTime, Digits(s.Digits), hooks);
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the save was not stopped, status " << status;
        const bool present = AuditFolder(folder.path, before, reference.Expected, SaveOutcome::Interrupted);
        // Killed once the name is in place, the session must be there.
        if (reference.Stages[killed] == SaveStage::SyncingFolder || reference.Stages[killed] == SaveStage::Done) {
            EXPECT_TRUE(present);
        }

        const FolderSnapshot left = Snapshot(folder.path);
        // The next run saves as usual beside whatever was left.
        LocalDateTime later = SaveTime;
        later.Minute += 1;
        TCLTSession next = SessionBuilder::EveryField(1, 20);
        EXPECT_NO_THROW(SaveSession(next, folder.str(), later, Digits({5})));
        TCLTArchive archive;
        const ArchiveLoadResult loaded = LoadArchive(folder.str(), archive, {});
        EXPECT_TRUE(loaded.Skipped.empty());
        EXPECT_EQ(loaded.Loaded, SessionFileCount(left) + 1);
        if (HasFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, SaveFaults,
    ::testing::Values(Scenario{"FreshName", 3, {4, 2}}, Scenario{"Relations", 4, {6, 1}},
                      Scenario{"NameTakenByAnEarlierSession", 2, {3, 3, 4, 2}, true},
                      Scenario{"TemporaryNameTaken", 1, {1, 1, 2, 2}, false, true},
                      Scenario{"NameTakenWhilePublishing", 3, {5, 5, 7, 7}, false, false, true},
                      Scenario{"NameTakenWithoutNoReplaceRename", 2, {5, 5, 7, 7}, false, false, true, 1},
                      Scenario{"NameTakenWithoutHardLinks", 4, {5, 5, 7, 7}, false, false, true, 2}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST(SaveNames, EveryDrawnNameTakenFailsTheSaveAndDisplacesNothing)
{
    ScratchFolder folder(true);
    const Scenario s{"AllTaken", 2, {3}, true};
    Prepare(s, folder);
    const FolderSnapshot before = Snapshot(folder.path);
    ExpectReported(folder, s, {}, EEXIST);
    ExpectedSave none;
    none.Name = FirstName(s);
    AuditFolder(folder.path, before, none, SaveOutcome::Failed);
}

TEST(SaveFolder, MissingFolderIsReportedAndNotCreated)
{
    ScratchFolder root(true);
    const fs::path data = root.path / "Data";
    TCLTSession session = SessionBuilder::EveryField(2);
    try {
        SaveSession(session, data.string(), SaveTime, Digits({1}));
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const StreamError &error) {
        EXPECT_NE(std::string(error.what()).find("\"" + data.string() + "\""), std::string::npos) << error.what();
    }
    EXPECT_TRUE(fs::is_empty(root.path));
    EXPECT_TRUE(session.SourceFile.empty());
}

TEST(SaveFolder, ReadOnlyFolderIsReportedAndKeepsItsSessions)
{
    ScratchFolder folder;
    const Scenario s{"ReadOnly", 2, {4, 2}};
    Prepare(s, folder);
    const FolderSnapshot before = Snapshot(folder.path);
    fs::permissions(folder.path,
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec
                        | fs::perms::others_read | fs::perms::others_exec);
    // Root writes into read-only folders: the save then runs in a child
    // that has given up root for an unprivileged user.
    enum { Reported = 0, Saved = 1, WrongMessage = 2, CannotDropRoot = 3 };
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(CannotDropRoot);
        TCLTSession session = NewSession(s);
        try {
            SaveSession(session, folder.str(), SaveTime, Digits(s.Digits));
        } catch (const StreamError &error) {
            const std::string message = error.what();
            const bool clear = message.find("\"" + folder.str() + "\"") != std::string::npos
                && message.find(SystemReasonText(EACCES)) != std::string::npos;
            ::_exit(clear && session.SourceFile.empty() ? Reported : WrongMessage);
        }
        ::_exit(Saved);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == CannotDropRoot)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(WEXITSTATUS(status), Reported) << "1: reported as saved, 2: the message lacks the folder or reason";
    ExpectedSave none;
    none.Name = SessionFileName(SaveTime, Digits(s.Digits)) + ".dat";
    AuditFolder(folder.path, before, none, SaveOutcome::Failed);
}

} // namespace
