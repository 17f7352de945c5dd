#include "core/ArchiveList.h"

#include "core/SessionListIndex.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const std::string Folder = "/st/Data/";

std::unique_ptr<TCLTSession> stored(const std::string &path)
{
    auto session = std::make_unique<TCLTSession>();
    session->SourceFile = path;
    return session;
}

std::vector<std::string> pathsOf(const ArchiveList &list)
{
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < list.Count(); ++i)
        paths.emplace_back(list.Row(i).Path);
    return paths;
}

// Keeps a copy of the list from the notifications alone, as a listener that
// refers to sessions by position must; it also counts what it was told.
class Mirror : public ArchiveListObserver {
public:
    explicit Mirror(ArchiveList &list) : paths(pathsOf(list)), list(list) { list.AddObserver(this); }
    ~Mirror() override { list.RemoveObserver(this); }

    std::vector<std::string> paths; // as told
    int appends = 0, removals = 0, resets = 0, changes = 0;
    std::vector<PositionRun> lastRuns;
    std::vector<std::size_t> lastChanged;

    void Appended(std::size_t first, std::size_t count) override
    {
        ++appends;
        EXPECT_EQ(first, paths.size());
        for (std::size_t p = first; p < first + count; ++p)
            paths.emplace_back(list.Row(p).Path);
    }
    void Removing(const std::vector<PositionRun> &runs) override
    {
        // Still in place: each run names what this copy holds there.
        for (const PositionRun &run : runs)
            for (std::size_t p = run.First; p < run.First + run.Count; ++p)
                EXPECT_EQ(list.Row(p).Path, paths.at(p));
    }
    void Removed(const std::vector<PositionRun> &runs) override
    {
        ++removals;
        lastRuns = runs;
        for (auto run = runs.rbegin(); run != runs.rend(); ++run)
            paths.erase(paths.begin() + static_cast<std::ptrdiff_t>(run->First),
                        paths.begin() + static_cast<std::ptrdiff_t>(run->First + run->Count));
    }
    void Reset() override
    {
        ++resets;
        paths = pathsOf(list);
    }
    void Changed(const std::vector<std::size_t> &positions) override
    {
        ++changes;
        lastChanged = positions;
    }

private:
    ArchiveList &list;
};

SessionListEntry entry(const std::string &name, const std::string &surname = "Иванова")
{
    SessionListEntry e;
    e.Name = name;
    e.Stamp = {2900, 17, 4};
    e.Fields = {45800.5, 610, 2, "Анна", surname, "Сергеевна", "Бухгалтерия", 2, 45839 - 30 * 365.25, std::nullopt};
    return e;
}

// a.dat .. h.dat in the folder, as rows listed from it (the tests add
// session objects of their own beside them, as a window holds both).
void fill(ArchiveList &list, const std::string &names = "abcdefgh")
{
    std::vector<SessionListEntry> entries;
    for (const char c : names)
        entries.push_back(entry(std::string(1, c) + ".dat"));
    list.AddListed(entries, Folder, {45839, ","});
}

} // namespace

TEST(ArchiveListTest, RemovesManyAsOneChangeInRuns)
{
    struct Case {
        std::vector<std::size_t> positions;
        std::vector<PositionRun> runs;
        std::string left;
    };
    const Case cases[] = {
        {{3}, {{3, 1}}, "abcefgh"},
        {{0, 1, 2}, {{0, 3}}, "defgh"},
        {{7, 1, 6, 2}, {{1, 2}, {6, 2}}, "adef"}, // any order
        {{4, 4, 4, 99}, {{4, 1}}, "abcdfgh"},     // repeated, outside
        {{0, 2, 4, 6}, {{0, 1}, {2, 1}, {4, 1}, {6, 1}}, "bdfh"},
        {{0, 1, 2, 3, 4, 5, 6, 7}, {{0, 8}}, ""},
    };
    for (const Case &c : cases) {
        ArchiveList list;
        fill(list);
        Mirror mirror(list);
        EXPECT_EQ(list.Remove(c.positions), 8 - c.left.size());
        EXPECT_EQ(mirror.removals, 1);
        EXPECT_EQ(mirror.lastRuns, c.runs);
        std::string left;
        for (std::size_t i = 0; i < list.Count(); ++i)
            left += list.Row(i).Path[Folder.size()];
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(mirror.paths, pathsOf(list));
    }
    ArchiveList list;
    fill(list);
    Mirror mirror(list);
    EXPECT_EQ(list.Remove(std::vector<std::size_t>{42}), 0u);
    EXPECT_EQ(mirror.removals, 0) << "nothing removed, nothing told";
}

TEST(ArchiveListTest, ListenersStayInStepThroughEveryKindOfChange)
{
    ArchiveList list;
    Mirror mirror(list);
    const std::vector<std::function<void()>> steps = {
        [&] { fill(list, "cab"); },
        [&] { list.Add(stored("")); }, // a session not stored yet
        [&] { fill(list, "fed"); },
        [&] {
            list.RemoveNamed(Folder, {"a.dat", "e.dat", "zz.dat"});
        },
        [&] { list.SortByName(Folder); },
        [&] { list.Remove(list.Count() - 1); },
        [&] { list.Add(stored(Folder + "a.dat")); },
        [&] { list.SortByName(Folder); },
        [&] {
            list.MarkChanged({1, 0, 1, 77});
        },
        [&] { list.Remove(&list[1]); },
        [&] { list.Clear(); },
        [&] { fill(list, "x"); },
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i]();
        EXPECT_EQ(mirror.paths, pathsOf(list)) << "after step " << i;
    }
    EXPECT_EQ(mirror.appends, 5);
    EXPECT_EQ(mirror.removals, 3);
    EXPECT_EQ(mirror.resets, 3); // two sorts that moved something, one clear
    EXPECT_EQ(mirror.changes, 1);
    EXPECT_EQ(mirror.lastChanged, (std::vector<std::size_t>{0, 1}));
}

TEST(ArchiveListTest, SortsStoredSessionsByNameOthersKeepTheirTurnAfter)
{
    ArchiveList list;
    list.Add(stored(Folder + "b.dat"));
    list.Add(stored(""));
    list.Add(stored("/elsewhere/a.dat"));
    list.Add(stored(Folder + "a.dat"));
    list.Add(stored(Folder + "sub/0.dat"));
    list.SortByName(Folder);
    EXPECT_EQ(
        pathsOf(list),
        (std::vector<std::string>{Folder + "a.dat", Folder + "b.dat", "", "/elsewhere/a.dat", Folder + "sub/0.dat"}));
    Mirror mirror(list);
    list.SortByName(Folder);
    EXPECT_EQ(mirror.resets, 0) << "in order already";
}

TEST(ArchiveListTest, FindsByNameAndByAddressInTheFolderOnly)
{
    ArchiveList list;
    fill(list, "abc");
    list.Add(stored("/elsewhere/d.dat"));
    list.Add(stored(Folder + "sub/e.dat"));
    EXPECT_EQ(list.Find(Folder, "b.dat"), 1);
    EXPECT_EQ(list.Find(Folder, "d.dat"), -1);
    EXPECT_EQ(list.Find(Folder, "e.dat"), -1);
    EXPECT_EQ(list.Find(Folder, "sub/e.dat"), -1);
    EXPECT_EQ(list.Find(Folder, ""), -1);
    EXPECT_EQ(list.PositionsNamed(Folder, {"c.dat", "a.dat", "d.dat", "c.dat"}), (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(list.PositionOf(&list[3]), 3);
    TCLTSession outside;
    EXPECT_EQ(list.PositionOf(&outside), -1);
    EXPECT_FALSE(list.Remove(&outside));
    EXPECT_EQ(list.Count(), 5u);
}

TEST(ArchiveListTest, LaterListenersHearOfAChangeFirstAndOfItsEndLast)
{
    struct Recorder : ArchiveListObserver {
        std::string name;
        std::vector<std::string> *log = nullptr;
        void Removing(const std::vector<PositionRun> &) override { log->push_back(name + " removing"); }
        void Removed(const std::vector<PositionRun> &) override { log->push_back(name + " removed"); }
        void Resetting() override { log->push_back(name + " resetting"); }
        void Reset() override { log->push_back(name + " reset"); }
    };
    std::vector<std::string> log;
    Recorder model, page;
    model.name = "model";
    page.name = "page";
    model.log = page.log = &log;
    ArchiveList list;
    fill(list, "ba");
    list.AddObserver(&model);
    list.AddObserver(&page);
    list.Remove(std::vector<std::size_t>{0});
    list.Clear();
    EXPECT_EQ(log,
              (std::vector<std::string>{"page removing", "model removing", "model removed", "page removed",
                                        "page resetting", "model resetting", "model reset", "page reset"}));
    list.RemoveObserver(&page);
    list.RemoveObserver(&model);
}

TEST(ArchiveListTest, ListedRowsHoldNoSessionObjectUntilOneIsAskedAndItThenStaysPut)
{
    ArchiveList list;
    SessionListEntry first = entry("a.dat");
    first.Fields.Figures =
        SessionFigures{{{{1, 2, 3, 4, 5, 6, 7, 8}, {8, 7, 6, 5, 4, 3, 2, 1}}}, {2, 3}, {1, 0}, {0, 2}};
    list.AddListed({first, entry("b.dat", "Петров")}, Folder, {45839, ","});
    EXPECT_EQ(list.HeldCount(), 0u);

    const ListedRow row = list.Row(0);
    EXPECT_EQ(row.Surname, "Иванова");
    EXPECT_EQ(row.FirstName, "Анна");
    EXPECT_EQ(row.Patronymic, "Сергеевна");
    EXPECT_EQ(row.Group, "Бухгалтерия");
    EXPECT_EQ(row.Path, Folder + "a.dat");
    EXPECT_EQ(row.Figures, first.Fields.Figures);
    EXPECT_EQ(list.Row(1).Figures, std::nullopt);
    EXPECT_EQ(list.Stamp(1), (FileStamp{2900, 17, 4}));
    EXPECT_EQ(list.HeldCount(), 0u);

    // What a row shows is what a session made from it shows.
    struct Case {
        const char *label;
        std::function<void(SessionListFields &)> change;
    };
    const Case cases[] = {
        {"every field", [](SessionListFields &) {}},
        {"no patronymic", [](SessionListFields &f) { f.Patronymic.clear(); }},
        {"no sex, no group", [](SessionListFields &f) { f.Sex = 0, f.Group.clear(); }},
        {"no birth date", [](SessionListFields &f) { f.BirthDate = 0; }},
        {"a birth date too near", [](SessionListFields &f) { f.BirthDate = 45800; }},
    };
    for (const Case &c : cases) {
        SessionListEntry e = entry("c.dat");
        c.change(e.Fields);
        ArchiveList one;
        one.AddListed({e}, Folder, {45839, ","});
        const std::string shown = DisplayNameOf(one.Row(0));
        EXPECT_EQ(shown, ListedSession(e.Fields, Folder + "c.dat", {45839, ","})->DisplayName) << c.label;
        EXPECT_EQ(one.Row(0).Age, one[0].Age) << c.label;
        EXPECT_EQ(shown, one[0].DisplayName) << c.label;
    }

    TCLTSession &made = list[0];
    EXPECT_EQ(list.HeldCount(), 1u);
    EXPECT_FALSE(made.DetailsRead);
    EXPECT_EQ(made.SourceFile, Folder + "a.dat");
    EXPECT_EQ(made.ListFigures, first.Fields.Figures);
    // Many more rows (new text blocks) and a removal before it: the object
    // and the row's texts stay where they were.
    std::vector<SessionListEntry> many;
    many.reserve(20000);
    for (int i = 0; i < 20000; ++i)
        many.push_back(entry("n" + std::to_string(i) + ".dat", std::string(60, 'x')));
    const std::string_view kept = list.Row(1).Surname;
    list.AddListed(many, Folder, {45839, ","});
    EXPECT_EQ(kept, "Петров");
    list.Remove(std::size_t{1});
    EXPECT_EQ(&list[0], &made);
    // The object is what the row shows from then on.
    made.Surname = "Смирнова";
    EXPECT_EQ(list.Row(0).Surname, "Смирнова");
    // A file replaced under its name: read again in place, an object kept
    // at its address and a row without one changed without making one.
    list.ReplaceListed(0, entry("a.dat", "Кузнецова"), Folder);
    list.ReplaceListed(5, entry("n4.dat", "Орлова"), Folder);
    EXPECT_EQ(&list[0], &made);
    EXPECT_EQ(made.Surname, "Кузнецова");
    EXPECT_EQ(list.Row(5).Surname, "Орлова");
    EXPECT_EQ(list.Row(5).Path, Folder + "n4.dat");
    EXPECT_EQ(list.HeldCount(), 1u);

    // A text longer than a row's width (never written by the program) keeps
    // its session in an object, whole.
    SessionListEntry huge = entry("z.dat");
    huge.Fields.Group = std::string(70000, 'g');
    list.AddListed({huge}, Folder, {45839, ","});
    EXPECT_NE(list.HeldAt(list.Count() - 1), nullptr);
    EXPECT_EQ(list.Row(list.Count() - 1).Group.size(), 70000u);
}
