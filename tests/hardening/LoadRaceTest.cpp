// The session folder changing under the archive pass: files replaced or
// removed after the folder was listed, and temporaries of interrupted saves.

#include "hardening/HardeningSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>

using namespace hardening;

namespace {

enum class Change { Foreign, Damaged, HalfSession, OtherSession, Folder, Removed, Pipe, DeviceLink };

struct RaceCase {
    const char *Name;
    Change What;
    bool Skipped; // reported as damaged; a file without the signature is passed over
    bool LoadsOther;
};

void PrintTo(const RaceCase &c, std::ostream *out) { *out << c.Name; }

class ChangedAfterListing : public ::testing::TestWithParam<RaceCase> {};

TEST_P(ChangedAfterListing, TheArchiveLoadsWhatIsThereAndNoHalfSession)
{
    const RaceCase &c = GetParam();
    ScratchFolder folder(true);
    std::vector<TCLTSession> saved;
    for (int i = 0; i < 3; ++i) {
        LocalDateTime when = SaveTime;
        when.Second = i;
        saved.push_back(SessionBuilder::EveryField(i + 2, i));
        SaveSession(saved.back(), folder.str(), when, Digits({i}));
    }
    TCLTSession other = SessionBuilder::EveryField(3, 7);
    const std::string otherBytes = SavedBytes(other);
    other.SourceFile = saved[1].SourceFile;
    other.UpdateDisplayName();
    const fs::path victim = saved[1].SourceFile;
    const std::string victimBytes = ReadFile(victim);

    // The pass reports progress after each file: the second one changes
    // after the folder was listed and before it is read.
    auto change = [&](int done, int) {
        if (done != 1)
            return;
        switch (c.What) {
        case Change::Foreign:
            WriteFile(victim, std::string(5000, '\x6e'));
            break;
        case Change::Damaged:
            WriteFile(victim, victimBytes.substr(0, 31) + "\x01\x02\x03");
            break;
        case Change::HalfSession:
            WriteFile(victim, victimBytes.substr(0, victimBytes.size() / 2));
            break;
        case Change::OtherSession:
            WriteFile(victim, otherBytes);
            break;
        case Change::Folder:
            fs::remove(victim);
            fs::create_directory(victim);
            break;
        case Change::Removed:
            fs::remove(victim);
            break;
        case Change::Pipe:
            fs::remove(victim);
            ASSERT_EQ(::mkfifo(victim.c_str(), 0644), 0);
            break;
        case Change::DeviceLink:
            fs::remove(victim);
            fs::create_symlink("/dev/zero", victim);
            break;
        }
    };
    TCLTArchive archive;
    const ArchiveLoadResult result = LoadArchive(folder.str(), archive, saved[0].Context, change);

    std::vector<const TCLTSession *> expected{&saved[0], &saved[2]};
    if (c.LoadsOther)
        expected.insert(expected.begin() + 1, &other);
    ASSERT_EQ(archive.Count(), expected.size());
    EXPECT_EQ(result.Loaded, static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(SessionDifferences(archive[i], *expected[i]), "") << "session " << i;
    EXPECT_EQ(result.Skipped, c.Skipped ? std::vector<std::string>{victim.string()} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangedAfterListing,
                         ::testing::Values(RaceCase{"Foreign", Change::Foreign, false, false},
                                           RaceCase{"Damaged", Change::Damaged, true, false},
                                           RaceCase{"HalfSession", Change::HalfSession, true, false},
                                           RaceCase{"OtherSession", Change::OtherSession, false, true},
                                           RaceCase{"Folder", Change::Folder, false, false},
                                           RaceCase{"Removed", Change::Removed, false, false},
                                           RaceCase{"Pipe", Change::Pipe, false, false},
                                           RaceCase{"DeviceLink", Change::DeviceLink, false, false}),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST(ChangedAfterListing, APipeOrFolderAtASessionNameIsRefusedNotWaitedOn)
{
    // LoadSessionFile itself, when the name changes after the caller looked.
    ScratchFolder folder(true);
    const fs::path pipe = folder.path / "2507040905030700.dat";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_THROW(TSimpleFileStream::OpenRead(pipe.string()), StreamError);
    EXPECT_THROW(TSimpleFileStream::OpenRead(folder.str()), StreamError);
    EXPECT_THROW(TSimpleFileStream::OpenRead((folder.path / "gone.dat").string()), StreamError);
}

TEST(StaleTemporaries, OnlyOldTemporariesOfSavesAreRemoved)
{
    ScratchFolder folder(true);
    TCLTSession session = SessionBuilder::EveryField(2);
    SaveSession(session, folder.str(), SaveTime, Digits({1}));
    const auto now = fs::file_time_type::clock::now();
    struct Leftover {
        std::string Name;
        std::chrono::minutes Age;
        bool Kept;
    };
    const std::vector<Leftover> leftovers{
        {"2507040905030742.dat.tmp", std::chrono::minutes(120), false}, // an interrupted save
        {"25070409050312342.dat.tmp", std::chrono::minutes(61), false}, // 17 digits
        {"2507040905030743.dat.tmp", std::chrono::minutes(1), true},    // a save may still run
        {"notes.dat.tmp", std::chrono::minutes(120), true},             // not ours
        {"2507040905030744.tmp", std::chrono::minutes(120), true},      // not a session temporary
        {"2507040905030745.dat.tmp.x", std::chrono::minutes(120), true},
    };
    for (const auto &l : leftovers) {
        WriteFile(folder.path / l.Name, "half");
        fs::last_write_time(folder.path / l.Name, now - l.Age);
    }
    // A plain listing leaves every one of them; only the start-up clean-up
    // asks for the stale ones to go.
    for (const bool cleanUp : {false, true}) {
        TCLTArchive archive;
        const ArchiveLoadResult result = LoadArchive(folder.str(), archive, {}, {}, cleanUp);
        EXPECT_EQ(result.Loaded, 1);
        EXPECT_TRUE(result.Skipped.empty());
        for (const auto &l : leftovers)
            EXPECT_EQ(fs::exists(folder.path / l.Name), l.Kept || !cleanUp) << l.Name << (cleanUp ? " clean-up" : "");
    }
}

} // namespace
