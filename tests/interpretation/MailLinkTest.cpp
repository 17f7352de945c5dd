#include "interpretation/MailLink.h"

#include <gtest/gtest.h>

namespace {

TEST(MailLink, OnlyTheUnreservedCharactersStayAsTheyAre)
{
    const struct {
        const char *text;
        const char *encoded;
    } cases[] = {
        {"", ""},
        {"Az09-._~", "Az09-._~"},
        {"a&b+c=d", "a%26b%2Bc%3Dd"},
        {"\"кавычки\" %", "%22%D0%BA%D0%B0%D0%B2%D1%8B%D1%87%D0%BA%D0%B8%22%20%25"},
        {"\r\n?#/", "%0D%0A%3F%23%2F"},
        {"\xFF", "%FF"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PercentEncoded(c.text), c.encoded) << c.text;
    EXPECT_EQ(MailLinkText("a b", "&"), "mailto:?subject=a%20b&body=%26");
}

// The limit counts the link as sent: a Cyrillic letter takes six characters.
TEST(MailLink, TheLimitCountsTheEncodedLink)
{
    const std::string empty = MailLinkText("", "");
    const std::size_t room = MailLinkLimit - empty.size();
    std::string cyrillic;
    for (std::size_t i = 0; i < room / 6 + 1; ++i)
        cyrillic += "ж";
    const struct {
        const char *what;
        std::string body;
        bool fits;
    } cases[] = {{"exactly the limit", std::string(room, 'x'), true},
                 {"one past the limit", std::string(room + 1, 'x'), false},
                 {"Cyrillic, a sixth of the limit as text", cyrillic, false}};
    for (const auto &c : cases)
        EXPECT_EQ(MailLinkFits(MailLinkText("", c.body)), c.fits) << c.what;
}

TEST(MailLink, TheSubjectNamesTheTestAndThePerson)
{
    TCLTSession session;
    session.TestKind = 1;
    session.Surname = "Волков";
    session.FirstName = "Иван";
    const std::string subject = MailSubject(session);
    EXPECT_EQ(subject.rfind("Результаты: 8-цветный ТЛ [1], ", 0), 0u) << subject;
    EXPECT_NE(subject.find("Волков Иван"), std::string::npos) << subject;
    EXPECT_NE(ReportInFileBody("r.pdf").find("в файле r.pdf - приложите"), std::string::npos);
}

} // namespace
