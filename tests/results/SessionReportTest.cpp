#include "SessionReport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct LineCase {
    const char *in;
    const char *out;
};

class WithCrLfLinesTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(WithCrLfLinesTest, EndsEveryLineWithCrLf)
{
    EXPECT_EQ(WithCrLfLines(QString::fromUtf8(GetParam().in)).toStdString(), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Cases, WithCrLfLinesTest,
                         ::testing::Values(LineCase{"", ""}, LineCase{"a", "a\r\n"}, LineCase{"a\nb", "a\r\nb\r\n"},
                                           LineCase{"a\rb\r\n", "a\r\nb\r\n"}, LineCase{"a\r\n\r\n", "a\r\n\r\n"},
                                           LineCase{"\n\n", "\r\n\r\n"}, LineCase{"a\n\rb", "a\r\n\r\nb\r\n"},
                                           LineCase{"я\r\nб", "я\r\nб\r\n"}));

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

TEST(DateTimeFormatOfTest, TakesShortDateAndLongTimeWithoutZone)
{
    const QString format = DateTimeFormatOf(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_FALSE(format.contains(QLatin1Char('t'))) << format.toStdString();
    EXPECT_EQ(FormatOleDateTime(ToOleDate({2025, 7, 4, 9, 5, 3, 0}), format).toStdString(), "04.07.2025 09:05:03");
}

TEST(ToCp1251BytesTest, WritesOneByteACharacter)
{
    EXPECT_EQ(ToCp1251Bytes(QStringLiteral("Яа\r\n")), QByteArray("\xDF\xE0\r\n"));
}

TEST(WriteFileAtomicallyTest, ReplacesTheFileAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.txt"));
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("report.txt")});
}

TEST(WriteFileAtomicallyTest, ReportsAFolderThatDoesNotExist)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(WriteFileAtomically(dir.filePath(QStringLiteral("missing/report.txt")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

TEST(WriteFileAtomicallyTest, KeepsTheOldFileWhenTheTargetCannotBeReplaced)
{
    QTemporaryDir dir;
    // A folder in the way of the rename: the write must fail, not pretend.
    const QString path = dir.filePath(QStringLiteral("busy.txt"));
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/inner")));
    EXPECT_FALSE(WriteFileAtomically(path, "x"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});
}

} // namespace
