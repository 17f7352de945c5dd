// One person's sessions in order, the change from one to the next and the
// person's own yardstick for it.
#include "statistics/PersonHistory.h"
#include "testing/TestKinds.h"

#include <gtest/gtest.h>

namespace {

// Colour numbers from position 1 to 8.
void setChoice(TCLTSession &s, int choice, const char *colours)
{
    for (int p = 1; p <= 8; ++p)
        s.Choice[choice][p] = colours[p - 1] - '0' + 1;
}

TCLTSession sessionAt(OleDate start, int kind, const char *first, const char *second = nullptr)
{
    TCLTSession s(start, 0);
    s.TestKind = kind;
    if (first)
        setChoice(s, 1, first);
    if (second)
        setChoice(s, 2, second);
    return s;
}

TEST(PersonHistory, OrdersSessionsAndComparesEachWithThePreviousChoice)
{
    TCLTSession once = sessionAt(50, KindEightOnce, "76543210");
    once.AcIntensity[1] = 3;
    TCLTSession twice = sessionAt(100, KindEightTwice, "01234567", "01234576");
    twice.AcIntensity[2] = 5;
    TCLTSession relations = sessionAt(200, KindRelations, nullptr);
    TCLTSession later = sessionAt(300, KindEightTwice, "01234567", "10325476");
    later.AcIntensity[2] = 13; // outside 0..12: not known

    const PersonHistory history = TracePerson({&later, &twice, &relations, &once});
    ASSERT_EQ(history.Steps.size(), 4u);
    struct Expected {
        const TCLTSession *session;
        int choice;
        std::optional<double> toPrevious, own;
        std::optional<int> intensity;
    };
    // Rho by hand: 1 - 6 * sum(d^2) / (8 * 63).
    const Expected expected[] = {
        {&once, 1, std::nullopt, std::nullopt, 3},
        {&twice, 2, -41.0 / 42, 41.0 / 42, 5},
        {&relations, 0, std::nullopt, std::nullopt, std::nullopt},
        {&later, 2, 13.0 / 14, 19.0 / 21, std::nullopt}, // against the session before the Relations Test
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const HistoryStep &step = history.Steps[i];
        const Expected &e = expected[i];
        EXPECT_EQ(step.Session, e.session) << i;
        EXPECT_EQ(step.Choice, e.choice) << i;
        EXPECT_EQ(step.Positions.has_value(), e.choice != 0) << i;
        ASSERT_EQ(step.RhoToPrevious.has_value(), e.toPrevious.has_value()) << i;
        if (e.toPrevious) {
            EXPECT_NEAR(*step.RhoToPrevious, *e.toPrevious, 1e-12) << i;
        }
        ASSERT_EQ(step.OwnRho.has_value(), e.own.has_value()) << i;
        if (e.own) {
            EXPECT_NEAR(*step.OwnRho, *e.own, 1e-12) << i;
        }
        EXPECT_EQ(step.Intensity, e.intensity) << i;
    }
    // The median of the two sessions' own rho.
    ASSERT_TRUE(history.Yardstick);
    EXPECT_NEAR(*history.Yardstick, (41.0 / 42 + 19.0 / 21) / 2, 1e-12);
    EXPECT_EQ(history.YardstickN, 2u);
}

TEST(PersonHistory, SentencesJudgeTheChangeAgainstTheYardstick)
{
    TCLTSession a = sessionAt(1, KindEightTwice, "01234567", "01234576");
    TCLTSession b = sessionAt(2, KindEightOnce, "10325476");
    PersonHistory history = TracePerson({&a, &b});
    // 13/14 = 0.93 against 41/42 = 0.98.
    EXPECT_EQ(ChangeSentence(history, 1, ","),
              "Сеанс 2 против сеанса 1: ρ = 0,93 — порядок цветов изменился больше, чем он обычно меняется у этого "
              "человека между двумя выборами одного сеанса (ρ = 0,98)");
    EXPECT_EQ(ChangeSentence(history, 0, ","), "");
    history.Yardstick = 0.9301; // above 13/14 but shown as 0,93 too: not called larger
    EXPECT_EQ(ChangeSentence(history, 1, "."),
              "Сеанс 2 против сеанса 1: ρ = 0.93 — изменение не больше, чем между двумя выборами одного сеанса "
              "(ρ = 0.93)");
    history.Yardstick.reset();
    EXPECT_EQ(ChangeSentence(history, 1, ","),
              "Сеанс 2 против сеанса 1: ρ = 0,93; сравнить не с чем: нет сеанса с двумя выборами");
    EXPECT_NE(YardstickSentence(history, ",").find("мерки для изменений нет"), std::string::npos);
}

TEST(PersonHistory, SessionsOfThePersonIgnoreCaseAndYo)
{
    TCLTSession person;
    person.Surname = "Семёнова";
    person.FirstName = "Алёна";
    person.BirthDate = 40000;
    TCLTSession typed = person;
    typed.Surname = "СЕМЕНОВА";
    typed.FirstName = "алена ";
    TCLTSession otherBirth = person;
    otherBirth.BirthDate = 40001;
    TCLTSession otherName = person;
    otherName.Patronymic = "Ивановна";
    const auto same = SessionsOfPerson({&otherBirth, &typed, &otherName, &person}, person);
    EXPECT_EQ(same, (std::vector<const TCLTSession *>{&typed, &person}));
}

} // namespace
