#include "results/SessionReport.h"

#include <gtest/gtest.h>

namespace {

TEST(SessionReportTextTest, JoinsTheFieldsInOrderWithCrLf)
{
    TCLTSession s;
    s.StartedAt = ToOleDate({2025, 7, 4, 9, 5, 3, 0});
    s.DurationSeconds = 65;
    s.DisplayName = "Петров Иван (Мужчина, 30 лет), Администрация";
    s.BriefConclusion = "Кратко";
    s.DetailedConclusion = "Подробно";
    s.AdditionalFindings = "Выводы";
    const std::string expected = "\r\nСеанс тестирования: 04.07.2025 9:05:03, 1 мин 5 сек\r\n\r\n"
                                 "Тестируемый: Петров Иван (Мужчина, 30 лет), Администрация\r\n\r\n"
                                 "Результат тестирования: \r\n\r\n"
                                 "Краткое заключение:\r\nКратко\r\n\r\n"
                                 "Подробное заключение:\r\nПодробно\r\n\r\n"
                                 "Дополнительные выводы:\r\nВыводы\r\n\r\n";
    EXPECT_EQ(SessionReportText(s, QStringLiteral("dd.MM.yyyy H:mm:ss")).toStdString(), expected);
}

} // namespace
