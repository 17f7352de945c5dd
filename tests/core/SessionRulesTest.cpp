#include "core/TCLTSession.h"

#include <gtest/gtest.h>

namespace {

const OleDate Today = ToOleDate({2026, 1, 1, 0, 0, 0, 0});

TCLTSession MakeSession(OleDate birth, uint8_t sex, std::string patronymic = "", std::string group = "")
{
    TCLTSession s(Today + 0.5, Today);
    s.Surname = "Иванов";
    s.FirstName = "Пётр";
    s.Patronymic = std::move(patronymic);
    s.Group = std::move(group);
    s.Sex = sex;
    s.BirthDate = birth;
    return s;
}

TEST(SessionRules, NewSessionDefaults)
{
    TCLTSession s(Today + 0.5, Today + 0.5);
    EXPECT_EQ(s.StartedAt, Today + 0.5);
    EXPECT_EQ(s.BirthDate, Today);
    EXPECT_EQ(s.TestKind, 2);
    EXPECT_EQ(s.ShadeTendency[1], 1);
    EXPECT_EQ(s.ShadeTendency[4], 4);
    EXPECT_EQ(s.ShadeScore[1], 0);
    EXPECT_FALSE(s.IsEqualTo(&s));
}

TEST(SessionRules, AgeAndDisplayName)
{
    struct Case {
        OleDate birth;
        uint8_t sex;
        const char *patronymic;
        const char *group;
        double age;
        const char *displayName;
        const char *sexAge;
    };
    const Case cases[] = {
        {0, 0, "", "", 0, "Иванов Пётр", ""},
        {0, 1, "", "", 0, "Иванов Пётр (Мужчина)", "Мужчина"},
        {Today - 180, 2, "", "", 0, "Иванов Пётр (Женщина)", "Женщина"},
        {Today - 180, 0, "", "Группа", 0, "Иванов Пётр, Группа", ""},
        {Today - 40000, 1, "", "", 0, "Иванов Пётр (Мужчина)", "Мужчина"},
        {ToOleDate({1996, 1, 1}), 0, "", "", 30, "Иванов Пётр (30 лет)", "30 лет"},
        {Today - 12610, 1, "Сергеевич", "Администрация", 34.5,
         "Иванов Пётр Сергеевич (Мужчина, 34,5 лет), Администрация", "Мужчина, 34,5 лет"},
        // Future birth dates age too: the span has no sign.
        {Today + 400, 2, "", "", 13.0 / 12, "Иванов Пётр (Женщина, 1,1 лет)", "Женщина, 1,1 лет"},
        {Today - 181, 0, "", "", 5.0 / 12, "Иванов Пётр (,4 лет)", ",4 лет"},
    };
    for (const auto &c : cases) {
        TCLTSession s = MakeSession(c.birth, c.sex, c.patronymic, c.group);
        s.UpdateDisplayName();
        EXPECT_DOUBLE_EQ(s.Age, c.age) << c.displayName;
        EXPECT_EQ(s.DisplayName, c.displayName);
        EXPECT_EQ(s.SexAgeText(), c.sexAge) << c.displayName;
    }
}

TEST(SessionRules, FullNameOmitsEmptyPatronymic)
{
    EXPECT_EQ(MakeSession(0, 0).FullName(), "Иванов Пётр");
    EXPECT_EQ(MakeSession(0, 0, "Ильич").FullName(), "Иванов Пётр Ильич");
}

TEST(SessionRules, CountsLookOnlyAtTheirPositions)
{
    TCLTSession s(0, 0);
    const int marks[8] = {2, 2, 1, 2, 1, 1, 2, 1};
    for (int p = 1; p <= 8; ++p)
        s.AcMark[2][p] = marks[p - 1];
    EXPECT_EQ(s.CountCompensations(2), 2);
    EXPECT_EQ(s.CountAnxieties(2), 2);
    EXPECT_EQ(s.CountCompensations(1), 0);
    EXPECT_EQ(s.CountAnxieties(1), 0);
}

TEST(SessionRules, AmbivalenceAndIdenticalChoices)
{
    TCLTSession s(0, 0);
    for (int p = 1; p <= 8; ++p) {
        s.Choice[1][p] = p;
        s.Choice[2][p] = p;
    }
    EXPECT_TRUE(s.ChoicesIdentical());
    s.Choice[2][7] = 2;
    s.Choice[2][2] = 7;
    s.Choice[2][8] = 1;
    s.Choice[2][1] = 8;
    EXPECT_FALSE(s.ChoicesIdentical());
    EXPECT_EQ(s.AmbivalentPosition(1), 8);
    EXPECT_EQ(s.AmbivalentPosition(2), 7);
    s.Choice[2][8] = 5;
    EXPECT_EQ(s.AmbivalentPosition(1), -1);
    s.TestKind = 1;
    EXPECT_EQ(s.AmbivalentPosition(2), -1);
    s.Choice[2] = s.Choice[1];
    EXPECT_FALSE(s.ChoicesIdentical());
}

TEST(SessionRules, ItemEquality)
{
    TCTOChoiceItem a;
    a.StimulusName = "Мать";
    a.AssociatedColour[1] = 3;
    a.AssociationRank[2][1] = 5;
    TCTOChoiceItem b;
    b.Assign(a);
    EXPECT_TRUE(a.IsEqualTo(&a));
    EXPECT_TRUE(a.IsEqualTo(&b));
    EXPECT_FALSE(a.IsEqualTo(nullptr));
    b.StimulusName = "мать";
    EXPECT_FALSE(a.IsEqualTo(&b));
    b.Assign(a);
    b.AssociationRank[2][2] = 1;
    EXPECT_FALSE(a.IsEqualTo(&b));

    TCLTFunctionGroup g;
    g.FunctionCode = 1;
    g.FirstColour = 3;
    g.SecondColour = 4;
    TCLTFunctionGroup h = g;
    EXPECT_TRUE(g.IsEqualTo(&h));
    EXPECT_FALSE(g.IsEqualTo(&a));
    h.SecondColour = 3;
    EXPECT_FALSE(g.IsEqualTo(&h));
}

} // namespace
