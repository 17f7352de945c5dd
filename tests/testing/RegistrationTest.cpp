#include "testing/Registration.h"
#include "core/TCLTSession.h"
#include "testing/TileLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

// The tables below are aligned by hand, one case a line.
// clang-format off

namespace {

constexpr OleDate Today = 45000.0;

RegistrationInput Complete()
{
    RegistrationInput input;
    input.Surname = "Сидорова";
    input.FirstName = "Анна";
    input.Patronymic = "Павловна";
    input.Group = "Отдел кадров";
    input.GroupSelected = true;
    input.SexIndex = 1;
    input.BirthDate = Today - 12000;
    return input;
}

RequiredFields All()
{
    RequiredFields r;
    r.Flags.fill(true);
    return r;
}

struct CheckCase {
    const char *name;
    void (*change)(RegistrationInput &);
    RequiredFields required;
    std::vector<std::string> messages; // every failed check, in order
};

class RegistrationChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(RegistrationChecks, MessagesComeInTheirOrderAndOnlyTheFirstIsShown)
{
    const auto &c = GetParam();
    RegistrationInput input = Complete();
    c.change(input);
    std::vector<std::string> messages;
    for (const auto &p : RegistrationProblems(input, c.required, Today))
        messages.push_back(p.Message);
    EXPECT_EQ(messages, c.messages);
    const auto first = CheckRegistration(input, c.required, Today);
    ASSERT_EQ(first.has_value(), !c.messages.empty());
    if (first) {
        EXPECT_EQ(first->Message, c.messages.front());
    }
}

RequiredFields Only(RegistrationField f)
{
    RequiredFields r;
    r.Flags.fill(false);
    r[f] = true;
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegistrationChecks,
    ::testing::Values(
        CheckCase{"everything_empty_defaults",
                  [](RegistrationInput &i) { i = RegistrationInput{}; i.BirthDate = Today; },
                  RequiredFields{},
                  {"Не заполнено поле Фамилия", "Не заполнено поле Имя"}},
        CheckCase{"defaults_accept_missing_optional_fields",
                  [](RegistrationInput &i) {
                      i.Patronymic.clear();
                      i.GroupSelected = false;
                      i.SexIndex = -1;
                      i.BirthDate = Today;
                  },
                  RequiredFields{}, {}},
        CheckCase{"all_required_all_missing",
                  [](RegistrationInput &i) { i = RegistrationInput{}; i.BirthDate = Today - 10; },
                  All(),
                  {"Не заполнено поле Фамилия", "Не заполнено поле Имя", "Не заполнено поле Отчество",
                   "Не заполнено поле Группа", "Не заполнено поле Пол", "Не заполнено поле Дата рождения"}},
        CheckCase{"a_blank_is_content", [](RegistrationInput &i) { i.Surname = " "; },
                  Only(RegistrationField::Surname), {}},
        CheckCase{"patronymic_only_when_required", [](RegistrationInput &i) { i.Patronymic.clear(); },
                  Only(RegistrationField::Patronymic), {"Не заполнено поле Отчество"}},
        CheckCase{"group_text_without_selection", [](RegistrationInput &i) { i.GroupSelected = false; },
                  Only(RegistrationField::Group), {"Не заполнено поле Группа"}},
        CheckCase{"sex_not_selected", [](RegistrationInput &i) { i.SexIndex = -1; },
                  Only(RegistrationField::Sex), {"Не заполнено поле Пол"}},
        CheckCase{"born_179_days_ago", [](RegistrationInput &i) { i.BirthDate = Today - 179; },
                  Only(RegistrationField::BirthDate), {"Не заполнено поле Дата рождения"}},
        CheckCase{"born_180_days_ago", [](RegistrationInput &i) { i.BirthDate = Today - 180; },
                  Only(RegistrationField::BirthDate), {}},
        CheckCase{"born_40000_days_ago", [](RegistrationInput &i) { i.BirthDate = Today - 40000; },
                  Only(RegistrationField::BirthDate), {}},
        CheckCase{"born_in_the_future", [](RegistrationInput &i) { i.BirthDate = Today + 400; },
                  Only(RegistrationField::BirthDate), {"Не заполнено поле Дата рождения"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RegistrationFocus, TheProblemNamesItsField)
{
    RegistrationInput input = Complete();
    input.SexIndex = -1;
    const auto p = CheckRegistration(input, All(), Today);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->Field, RegistrationField::Sex);
}

struct BirthCase {
    OleDate birth;
    OleDate stored;
};

class StoredBirthDates : public ::testing::TestWithParam<BirthCase> {};

TEST_P(StoredBirthDates, OnlyPlausibleDatesAreKept)
{
    EXPECT_DOUBLE_EQ(StoredBirthDate(GetParam().birth, Today), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Table, StoredBirthDates,
                         ::testing::Values(BirthCase{Today, 0}, BirthCase{Today - 180, 0},
                                           BirthCase{Today - 181, Today - 181}, BirthCase{Today - 39999, Today - 39999},
                                           BirthCase{Today - 40000, 0}, BirthCase{Today + 500, 0},
                                           BirthCase{0, 0}, BirthCase{-3, 0}));

TEST(CopyRegistration, CopiesTheFieldsAndNumbersTheSex)
{
    TCLTSession session(Today + 0.5, Today);
    RegistrationInput input = Complete();
    CopyRegistration(input, Today, session);
    EXPECT_EQ(session.Surname, "Сидорова");
    EXPECT_EQ(session.FirstName, "Анна");
    EXPECT_EQ(session.Patronymic, "Павловна");
    EXPECT_EQ(session.Group, "Отдел кадров");
    EXPECT_EQ(session.Sex, 2);
    EXPECT_DOUBLE_EQ(session.BirthDate, Today - 12000);
    EXPECT_NE(session.DisplayName.find("Сидорова"), std::string::npos);

    input.GroupSelected = false;
    input.SexIndex = -1;
    input.BirthDate = Today;
    CopyRegistration(input, Today, session);
    EXPECT_EQ(session.Group, "");
    EXPECT_EQ(session.Sex, 0);
    EXPECT_DOUBLE_EQ(session.BirthDate, 0);
    input.SexIndex = 0;
    CopyRegistration(input, Today, session);
    EXPECT_EQ(session.Sex, 1);
}

// ---------------------------------------------------------------- tile geometry

struct LayoutCase {
    int count, width, height;
    int tileWidth, tileHeight;
};

class TileGeometry : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(TileGeometry, TilesShareTheWidthWithTenPixelMarginsAndGaps)
{
    const auto c = GetParam();
    const auto rects = LayOutTileRects(c.count, c.width, c.height);
    ASSERT_EQ(rects.size(), static_cast<size_t>(std::max(c.count, 0)));
    for (int i = 0; i < c.count; ++i) {
        const auto &r = rects[static_cast<size_t>(i)];
        EXPECT_EQ(r.Width, c.tileWidth);
        EXPECT_EQ(r.Height, c.tileHeight);
        EXPECT_EQ(r.Top, 10);
        EXPECT_EQ(r.Left, 10 + i * (c.tileWidth + 10));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, TileGeometry,
                         ::testing::Values(LayoutCase{8, 834, 400, 93, 380}, LayoutCase{2, 834, 400, 402, 380},
                                           LayoutCase{5, 834, 300, 154, 280}, LayoutCase{7, 834, 300, 107, 280},
                                           LayoutCase{8, 50, 10, 0, 0}, LayoutCase{0, 834, 400, 0, 0}));

// ---------------------------------------------------------------- tile order

TEST(TileOrder, EveryDrawIsAPermutationAndEveryTagLeadsAboutEquallyOften)
{
    auto random = SeededRandom(7);
    std::map<int, int> leaders;
    const int draws = 4000;
    for (int i = 0; i < draws; ++i) {
        const auto order = NewTileOrder(random);
        ASSERT_EQ(std::set<int>(order.begin(), order.end()), (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8}));
        ASSERT_EQ(order.size(), 8u);
        ++leaders[order.front()];
    }
    for (int tag = 1; tag <= 8; ++tag)
        EXPECT_NEAR(leaders[tag], draws / 8, draws / 8 / 4) << tag;
}

TEST(TileOrder, TheSameSeedGivesTheSameOrderAndABrokenSourceStillEnds)
{
    auto a = SeededRandom(99), b = SeededRandom(99);
    EXPECT_EQ(NewTileOrder(a), NewTileOrder(b));
    const auto stuck = NewTileOrder([](int) { return 3; });
    EXPECT_EQ(stuck, (std::vector<int>{4, 1, 2, 3, 5, 6, 7, 8}));
    const auto wild = NewTileOrder([](int) { return 42; });
    EXPECT_EQ(wild, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

} // namespace
// clang-format on
