// Who a session is of, for person codes, and the research table without
// names.
#include "interpretation/ResearchCsv.h"
#include "statistics/PersonIdentity.h"

#include <gtest/gtest.h>

namespace {

TEST(PersonIdentity, CaseYoAndBlanksDoNotCount)
{
    struct Case {
        const char *text, *folded;
    };
    const Case cases[] = {
        {"Ёлкина", "елкина"}, {"  АЛЁНА ", "алена"}, {"Smith-Jones", "smith-jones"}, {"ЯЩЕР", "ящер"}, {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FoldedName(c.text), c.folded) << c.text;

    TCLTSession a;
    a.Surname = "Ёлкина";
    a.FirstName = "Алёна";
    a.BirthDate = ToOleDate(LocalDateTime{2009, 5, 3});
    TCLTSession b = a;
    b.Surname = "ЕЛКИНА ";
    b.FirstName = "алена";
    EXPECT_EQ(PersonIdentityKey(a), PersonIdentityKey(b));
    b.BirthDate = ToOleDate(LocalDateTime{2009, 5, 4});
    EXPECT_NE(PersonIdentityKey(a), PersonIdentityKey(b));
    // Fields never run into one another.
    TCLTSession c;
    c.Surname = "Ива";
    c.FirstName = "нов";
    TCLTSession d;
    d.Surname = "Иван";
    d.FirstName = "ов";
    EXPECT_NE(PersonIdentityKey(c), PersonIdentityKey(d));
}

TEST(ResearchCsv, NameFreeTableHasTheCodeWhereTheNamesStood)
{
    TCLTSession s(45000.5, 45000);
    s.TestKind = 1;
    s.Surname = "Петрова";
    s.FirstName = "Анна";
    s.Patronymic = "Игоревна";
    s.Group = "7А";
    s.BirthDate = ToOleDate(LocalDateTime{2011, 2, 14});
    s.Age = 13.5;
    for (int p = 1; p <= 8; ++p)
        s.Choice[1][p] = p;
    ResearchCsvOptions options = ResearchCsvOptionsFor(",");
    options.PersonCode = [](const TCLTSession &session) { return "P-" + session.Group; };
    std::string csv;
    ASSERT_TRUE(WriteResearchCsv({&s}, options, csv));
    const std::string header = csv.substr(0, csv.find("\r\n"));
    EXPECT_NE(header.find(";Test;PersonCode;Sex;Age;Group;Choice1_1;"), std::string::npos) << header;
    const std::string row = csv.substr(csv.find("\r\n") + 2);
    EXPECT_NE(row.find(";P-7А;;13,50;7А;0;1;"), std::string::npos) << row;
    for (const char *personal : {"Петрова", "Анна", "Игоревна", "2011-02-14", "Surname", "BirthDate"})
        EXPECT_EQ(csv.find(personal), std::string::npos) << personal;
}

} // namespace
