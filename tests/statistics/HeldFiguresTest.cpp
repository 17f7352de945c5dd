// Statistics over a list filled as the window fills it (from the session
// files at first, then from the station's index) use the figures the list
// holds, and give exactly what reading every file gives.
#include "core/SessionArchive.h"
#include "core/SessionListIndex.h"
#include "statistics/SelectionReader.h"
#include "support/SessionBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

// Every kind, three user groups, marks and intensities in and out of range,
// a choice that is no order of the eight colours, and associations.
TCLTSession sessionNumbered(int i, std::mt19937 &random)
{
    SessionBuilder b = SessionBuilder::Numbered(i, 45000);
    b.Group("Группа " + std::to_string(i % 3)).Intensities(i % 15, (i * 7) % 16 - 1);
    for (int c = 1; c <= 2; ++c) {
        std::array<int, 8> tags{1, 2, 3, 4, 5, 6, 7, 8};
        std::shuffle(tags.begin(), tags.end(), random);
        if (i % 11 == c)
            tags[3] = tags[4];
        b.Choice(c, tags);
    }
    b.With([i](TCLTSession &s) {
        for (int p = 1; p <= 8; ++p)
            s.AcMark[1 + i % 2][p] = (p + i) % 3;
    });
    if (i % 4 == 3 && i % 8 != 7)
        b.Stimulus("Мать", {i % 8, (i + 3) % 8}).Stimulus("Работа", {2, 9});
    return b;
}

std::string json(const StatisticsRequest &request, std::vector<std::string> *unreadable = nullptr)
{
    StatisticsProgress progress;
    const StatisticsResult result = ComputeStatistics(request, progress);
    EXPECT_FALSE(result.Cancelled);
    if (unreadable)
        *unreadable = result.Unreadable;
    return StatisticsToJson(result.Output);
}

} // namespace

TEST(HeldFigures, StatisticsFromTheListEqualThoseReadFromTheFiles)
{
    const fs::path root = fs::temp_directory_path() / "palettor-held-figures";
    fs::remove_all(root);
    const std::string data = (root / "Data").string();
    const std::string index = (root / "list.idx").string();
    fs::create_directories(data);
    std::mt19937 random(7);
    for (int i = 0; i < 48; ++i) {
        TCLTSession s = sessionNumbered(i, random);
        int digit = i;
        SaveSession(s, data, {2025, 7, 4, 9, 5, i % 60, 100 + i}, [&] { return digit++ % 10; });
    }

    for (const char *route : {"from the files", "from the index"}) {
        SCOPED_TRACE(route);
        const SessionListLoad load = LoadSessionList(data, index);
        ASSERT_EQ(load.Entries.size(), 48u);
        std::vector<std::unique_ptr<TCLTSession>> listed;
        std::size_t held = 0;
        for (const SessionListEntry &entry : load.Entries) {
            listed.push_back(ListedSession(entry.Fields, PathInFolder(data, entry.Name), {45000, ","}));
            held += listed.back()->ListFigures.has_value();
        }
        // Only the relations tests with associations are left to their files.
        EXPECT_EQ(held, 48u - 6u);
        for (const int choice : {1, 2}) {
            for (const bool versus : {false, true}) {
                StatisticsRequest fromList;
                StatisticsRequest fromFiles;
                fromList.Choice = fromFiles.Choice = choice;
                if (versus) {
                    fromList.Versus.emplace();
                    fromFiles.Versus.emplace();
                }
                for (const auto &session : listed) {
                    const bool second = versus && session->Group == "Группа 1";
                    SelectedSession selected = SelectedSession::Of(*session);
                    (second ? *fromList.Versus : fromList.First).push_back(selected);
                    selected.Figures.reset();
                    (second ? *fromFiles.Versus : fromFiles.First).push_back(selected);
                }
                const std::string expected = json(fromFiles);
                EXPECT_EQ(json(fromList), expected) << "choice " << choice << (versus ? ", two groups" : "");
                if (!versus) {
                    EXPECT_NE(expected.find("kruskal_wallis"), std::string::npos);
                }
            }
        }
    }

    // Files of sessions the list holds the figures of are not read.
    const SessionListLoad load = LoadSessionList(data, index);
    StatisticsRequest request;
    std::vector<std::unique_ptr<TCLTSession>> listed;
    for (const SessionListEntry &entry : load.Entries)
        listed.push_back(ListedSession(entry.Fields, PathInFolder(data, entry.Name), {45000, ","}));
    for (const auto &session : listed)
        request.First.push_back(SelectedSession::Of(*session));
    const std::string before = json(request);
    for (const auto &session : listed)
        if (session->ListFigures)
            fs::remove(session->SourceFile);
    std::vector<std::string> unreadable;
    EXPECT_EQ(json(request, &unreadable), before);
    EXPECT_TRUE(unreadable.empty());
    fs::remove_all(root);
}
