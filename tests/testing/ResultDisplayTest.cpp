#include "testing/ResultDisplay.h"

#include <gtest/gtest.h>

namespace {

TCLTSession Finished()
{
    TCLTSession s;
    s.BriefConclusion = "КРАТКО";
    s.DetailedConclusion = "ПОДРОБНО";
    s.AdditionalFindings = "ВЫВОДЫ";
    s.DisplayName = "Иванов Иван";
    s.DurationSeconds = 125;
    return s;
}

TEST(ResultDisplay, NoticeStartsAndEndsAsTheTestedPersonExpects)
{
    EXPECT_TRUE(ResultNotice.starts_with("\r\n***\r\n\r\nВнимание!!!\r\nПеред ознакомлением с результатом "
                                         "тестирования, внимательно прочитайте следующую информацию:\r\n\r\n"));
    EXPECT_TRUE(ResultNotice.ends_with("\r\n\r\n\r\n***\r\n\r\n\r\nРезультат тестирования:\r\n\r\n"));
    EXPECT_NE(ResultNotice.find("О тесте Люшера:"), std::string::npos);
    EXPECT_EQ(ResultReportNotice, ResultNotice + "\r\nСеанс тестирования: ");
}

struct DisplayCase {
    int type;
    std::string caption;
    bool visible;
    std::string text; // expected after the notice
};

class ResultDisplayByType : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(ResultDisplayByType, CaptionMemoAndTestArea)
{
    const auto &c = GetParam();
    const auto shown = MakeResultDisplay(Finished(), c.type, "01.02.2023 10:00:00");
    EXPECT_EQ(shown.Caption, c.caption);
    EXPECT_EQ(shown.MemoVisible, c.visible);
    EXPECT_EQ(shown.HideTestArea, c.visible);
    if (!c.visible) {
        EXPECT_EQ(shown.Text, "");
    } else if (c.type == 3) {
        EXPECT_EQ(shown.Text, ResultReportNotice + c.text);
    } else {
        EXPECT_EQ(shown.Text, ResultNotice + c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, ResultDisplayByType,
    ::testing::Values(DisplayCase{0, "", false, ""}, DisplayCase{1, "Краткое заключение", true, "КРАТКО"},
                      DisplayCase{2, "Подробное заключение", true, "ПОДРОБНО"},
                      DisplayCase{3, "Совокупный отчет", true,
                                  "01.02.2023 10:00:00, 2 мин 5 сек\r\n\r\nТестируемый: Иванов Иван\r\n\r\n"
                                  "Результат тестирования: \r\n\r\nКраткое заключение:\r\nКРАТКО\r\n\r\n"
                                  "Подробное заключение:\r\nПОДРОБНО\r\n\r\nДополнительные выводы:\r\nВЫВОДЫ\r\n\r\n"},
                      DisplayCase{7, "", false, ""}, DisplayCase{-1, "", false, ""}));

} // namespace
