#include "results/ResultsFixture.h"

#include "results/Cp1251Bytes.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "support/ScriptedDialogs.h"
#include "support/SmallFilesystem.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QTableView>
#include <QTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ResultsExportTest : public ResultsPageFixture {
protected:
    ScriptedDialogs dialogs;
    QTemporaryDir temp;
    QStringList opened;

    void OpenExportPage()
    {
        TCLTSession s = MakeSession("Петров", 2);
        // Bare LF and bare CR inside the stored texts.
        s.BriefConclusion = "первая\nвторая";
        s.DetailedConclusion = "раз\rдва";
        s.AdditionalFindings = "итог";
        Save(s);
        Save(MakeSession("Сидоров", 1));
        OpenPage();
        page->SetTemporaryFolder(temp.path());
        context = StationContext(QLocale(QLocale::Russian, QLocale::Russia),
                                 [] { return LocalDateTime{2025, 7, 4, 9, 5, 3, 456}; });
        page->SetContext(context);
        page->SetFileOpener([this](const QString &path) {
            opened << path;
            return true;
        });
    }

    static std::string Expected()
    {
        return "\r\nСеанс тестирования: 30.06.2025 12:00:00, 1 ч 2 мин 5 сек\r\n\r\n"
               "Тестируемый: Петров Иван (Мужчина, 30 лет), Администрация\r\n\r\n"
               "Результат тестирования: \r\n\r\n"
               "Краткое заключение:\r\nпервая\r\nвторая\r\n\r\n"
               "Подробное заключение:\r\nраз\r\nдва\r\n\r\n"
               "Дополнительные выводы:\r\nитог\r\n\r\n";
    }
};

TEST_F(ResultsExportTest, CopyPutsTheReportWithCrLfOnTheClipboard)
{
    OpenExportPage();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    page->actResultsCopy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), Expected());
    EXPECT_TRUE(dialogs.infos.isEmpty());
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

TEST_F(ResultsExportTest, CtrlCInTheListCopiesTheReport)
{
    OpenExportPage();
    page->activateWindow();
    page->Grid()->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(page->Grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), Expected());
}

TEST_F(ResultsExportTest, EditorHandOverWritesWindows1251AndOpensTheFile)
{
    OpenExportPage();
    page->actResultsExportMSWord->trigger();
    const QString path = temp.filePath(QStringLiteral("PalettorResults_250704090503.rtf"));
    EXPECT_EQ(opened, QStringList{path});
    EXPECT_EQ(readAll(path), ToCp1251Bytes(QString::fromStdString(Expected())));
    EXPECT_EQ(readAll(path).size(), QString::fromStdString(Expected()).size());

    // The same second again: same name, replaced by the other session's report.
    SelectRow(page->Grid(), 1);
    EXPECT_TRUE(page->ResultsExportMSWordExecute());
    EXPECT_EQ(opened.size(), 2);
    EXPECT_TRUE(readAll(path).contains(ToCp1251Bytes(QStringLiteral("Сидоров"))));
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(ResultsExportTest, SaveWritesTheNamedFileAndAddsTheExtension)
{
    OpenExportPage();
    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("report"))};
    page->actResultsSave->trigger();
    EXPECT_EQ(readAll(temp.filePath(QStringLiteral("report.txt"))), ToCp1251Bytes(QString::fromStdString(Expected())));
    EXPECT_TRUE(dialogs.warnings.isEmpty());

    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("report.txt"))};
    SelectRow(page->Grid(), 1);
    EXPECT_TRUE(page->ResultsSaveExecute());
    EXPECT_TRUE(
        readAll(temp.filePath(QStringLiteral("report.txt"))).contains(ToCp1251Bytes(QStringLiteral("Сидоров"))));
}

TEST_F(ResultsExportTest, CancellingTheSaveDialogWritesNothing)
{
    OpenExportPage();
    EXPECT_FALSE(page->ResultsSaveExecute());
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

TEST_F(ResultsExportTest, AFileThatCannotBeWrittenIsReported)
{
    OpenExportPage();
    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("missing/report.txt"))};
    EXPECT_FALSE(page->ResultsSaveExecute());
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].startsWith(QStringLiteral("Невозможно записать файл ")));

    page->SetTemporaryFolder(temp.filePath(QStringLiteral("gone")));
    EXPECT_FALSE(page->ResultsExportMSWordExecute());
    EXPECT_EQ(dialogs.warnings.size(), 2);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(ResultsExportTest, AFullDiskKeepsTheEarlierReportAndSaysSo)
{
    SmallFilesystem disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "cannot mount a small file system here (not root)";
    OpenExportPage();
    const QString path = QString::fromStdString(disk.Path()) + QStringLiteral("/report.txt");
    dialogs.saveFileAnswers = {path};
    ASSERT_TRUE(page->ResultsSaveExecute());
    const QByteArray earlier = readAll(path);
    ASSERT_FALSE(earlier.isEmpty());
    SelectRow(page->Grid(), 1);
    disk.FillLeaving(0);
    dialogs.saveFileAnswers = {path};
    EXPECT_FALSE(page->ResultsSaveExecute());
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QStringLiteral("нет места на диске")))
        << dialogs.warnings[0].toStdString();
    EXPECT_EQ(readAll(path), earlier);
    EXPECT_EQ(QDir(QString::fromStdString(disk.Path())).entryList(QDir::Files).size(), 2); // no temporary
}

TEST_F(ResultsExportTest, NothingHappensWithoutASelectedRow)
{
    OpenExportPage();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("report.txt"))};
    dialogs.yesNoAnswers = {true};
    auto nothingDone = [&](const char *when) {
        EXPECT_TRUE(page->SessionReportText().isEmpty()) << when;
        EXPECT_FALSE(page->ResultsCopyExecute()) << when;
        EXPECT_FALSE(page->ResultsExportMSWordExecute()) << when;
        EXPECT_FALSE(page->ResultsSaveExecute()) << when;
        EXPECT_FALSE(page->ResultsDeleteExecute()) << when;
        EXPECT_FALSE(page->ResultsPreviewExecute()) << when;
        EXPECT_FALSE(page->ResultsPrintExecute()) << when;
        EXPECT_FALSE(page->ResultsSendEMailExecute()) << when;
        EXPECT_FALSE(page->ResultsSavePdfExecute()) << when;
        EXPECT_EQ(dialogs.previews, 0) << when;
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before")) << when;
        EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files).isEmpty()) << when;
        EXPECT_TRUE(opened.isEmpty()) << when;
        EXPECT_TRUE(dialogs.questions.isEmpty()) << when;
        EXPECT_EQ(archive.Count(), 2u) << when;
    };
    page->Grid()->clearSelection();
    nothingDone("rows without a selection");

    Find<QComboBox>("cbFilterTest")->setCurrentIndex(3);
    page->RefillResults(true);
    ASSERT_EQ(page->Model()->rowCount(), 0);
    nothingDone("an empty list");

    // With a row selected the preview finds something to show.
    page->RefillResults(false);
    EXPECT_TRUE(page->ResultsPreviewExecute());
    EXPECT_EQ(dialogs.previews, 1);
}

} // namespace
