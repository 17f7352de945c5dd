#include "core/NameSearch.h"

#include <gtest/gtest.h>

namespace {

TEST(NameSearchTest, FoldsCaseOfBothAlphabetsAndYoToYe)
{
    EXPECT_EQ(FoldForSearch("АБВГДЕЖЗИЙКЛМНОП"), "абвгдежзийклмноп");
    EXPECT_EQ(FoldForSearch("РСТУФХЦЧШЩЪЫЬЭЮЯ"), "рстуфхцчшщъыьэюя");
    EXPECT_EQ(FoldForSearch("Ёлкин ёж Smith-2"), "елкин еж smith-2");
    EXPECT_EQ(FoldForSearch("\xD0"), "\xD0"); // a cut sequence stays as it is
}

TEST(NameSearchTest, FindsSurnameNameOrPatronymicAsTyped)
{
    TCLTSession session;
    session.Surname = "Семёнов";
    session.FirstName = "Пётр";
    session.Patronymic = "Ильич";
    session.Group = "Отдел кадров";
    const struct {
        const char *typed;
        bool found;
    } cases[] = {
        {"", true},        {"   ", true},     {"семенов", true},        {"СЕМЁНОВ", true}, {"петр", true},
        {"  Пётр ", true}, {"ильич", true},   {"Семенов Петр", true},   {"мёнов п", true}, {"Петр Семенов", false},
        {"Иванов", false}, {"кадров", false}, {"Семенов  Петр", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NameMatches(session, SearchKey(c.typed)), c.found) << c.typed;
}

} // namespace
