#include "results/ListExport.h"
#include "results/ResultsFixture.h"
#include "results/ResultsModel.h"
#include "support/ScriptedDialogs.h"
#include "support/SmallFilesystem.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

class ListExportTest : public ResultsPageFixture {
protected:
    ScriptedDialogs dialogs;
    QTemporaryDir temp;

    QStringList ExportedLines(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
        QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.takeLast(), QString()); // ends with CR LF
        return lines;
    }
};

TEST_F(ListExportTest, WritesTheListAsFilteredWithTheLocalesSeparator)
{
    Save(MakeSession("Петров", 1));
    Save(MakeSession("Сидорова; Анна", 3, 2));
    Save(MakeSession("Орлов", 3));
    OpenPage();
    Find<QComboBox>("cbFilterTest")->setCurrentIndex(3);
    page->RefillResults(true);
    ASSERT_EQ(page->Model()->rowCount(), 2);

    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("list"))};
    ASSERT_TRUE(page->ResultsExportListExecute());
    QStringList lines = ExportedLines(temp.filePath(QStringLiteral("list.csv")));
    ASSERT_EQ(lines.size(), 3);
    // The window's table is read by people: Russian column names.
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("№;Файл;Начало;Длительность, с;Код теста;Тест;Фамилия;Имя;")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral(";Выбор1_1;")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral(";ПобедыОсновная1;")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral(";\"Сидорова; Анна\";Иван;")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral(";30,00;"))); // age with the decimal comma
    EXPECT_TRUE(lines[2].contains(QStringLiteral(";Орлов;")));

    // A point as decimal separator takes the comma.
    context = StationContext(QLocale(QLocale::English, QLocale::UnitedStates));
    page->SetContext(context);
    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("list.csv"))};
    page->actResultsExportList->trigger();
    lines = ExportedLines(temp.filePath(QStringLiteral("list.csv")));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("№,Файл,Начало,")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral(",Сидорова; Анна,Иван,")));
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

TEST_F(ListExportTest, AFailedExportSaysWhyAndLeavesNoFile)
{
    Save(MakeSession("Петров", 1));
    OpenPage();
    dialogs.saveFileAnswers = {temp.filePath(QStringLiteral("missing/list.csv"))};
    EXPECT_FALSE(page->ResultsExportListExecute());
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QStringLiteral("не существует")));

    // A folder without the right to write: the old file stays, no temporary is left.
    const QString locked = temp.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    QFile old(locked + QStringLiteral("/list.csv"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    dialogs.saveFileAnswers = {locked + QStringLiteral("/list.csv")};
    const bool written = page->ResultsExportListExecute();
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!written) { // root may write anywhere
        ASSERT_EQ(dialogs.warnings.size(), 2);
        EXPECT_TRUE(dialogs.warnings[1].contains(QStringLiteral("нет права записи")));
        EXPECT_EQ(QDir(locked).entryList(QDir::Files), QStringList{QStringLiteral("list.csv")});
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("old"));
    }

    // Cancelled: nothing written, nothing said.
    EXPECT_FALSE(page->ResultsExportListExecute());
    EXPECT_EQ(dialogs.warnings.size(), written ? 1 : 2);
}

TEST_F(ListExportTest, AFullDiskKeepsTheEarlierListAndSaysSo)
{
    SmallFilesystem disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "cannot mount a small file system here (not root)";
    for (int i = 0; i < 30; ++i)
        Save(MakeSession("Петров" + std::to_string(i), 3));
    OpenPage();
    const QString path = QString::fromStdString(disk.Path()) + QStringLiteral("/list.csv");
    dialogs.saveFileAnswers = {path};
    ASSERT_TRUE(page->ResultsExportListExecute());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray earlier = file.readAll();
    file.close();
    ASSERT_GT(earlier.size(), 8192);
    Save(MakeSession("Сидоров", 3));
    page->RefillResults(true);
    for (const std::size_t freeBytes : {std::size_t{0}, std::size_t{4096}}) {
        SCOPED_TRACE(freeBytes);
        disk.FillLeaving(freeBytes);
        dialogs.warnings.clear();
        dialogs.saveFileAnswers = {path};
        EXPECT_FALSE(page->ResultsExportListExecute());
        ASSERT_EQ(dialogs.warnings.size(), 1);
        EXPECT_TRUE(dialogs.warnings[0].contains(QStringLiteral("нет места на диске")))
            << dialogs.warnings[0].toStdString();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), earlier);
        file.close();
        EXPECT_EQ(QDir(QString::fromStdString(disk.Path())).entryList(QDir::Files).size(), 2); // no temporary
        QFile::remove(QString::fromStdString(disk.Path()) + QStringLiteral("/filler"));
    }
}

// A long export shows its progress while the window keeps answering;
// cancelled there, it leaves the file the user named byte for byte as it
// was, leaves no temporary file, says nothing and reports no success.
TEST_F(ListExportTest, ACancelledLongExportLeavesTheExistingFileAsItWas)
{
    Save(MakeSession("Петров", 1));
    OpenPage();
    const QString path = temp.filePath(QStringLiteral("list.csv"));
    const QByteArray before = "Number;File\r\n1;2501020304050099.dat\r\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(before), before.size());
    }
    const std::vector<const TCLTSession *> sessions(ListExport::ProgressFrom, &archive[0]);
    QWidget parent;
    ListExport exporter(&parent, ",");
    // The readers hold at the middle row until the user has cancelled, so
    // the export cannot end first.
    std::atomic<bool> clicked{false};
    exporter.SetBeforeRead([&clicked](std::size_t i) {
        for (int waited = 0; i == ListExport::ProgressFrom / 2 && !clicked && waited < 10000; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    QString title;
    QTimer::singleShot(0, &parent, [&] {
        auto *progress = parent.findChild<QProgressDialog *>();
        QPushButton *cancel = progress ? progress->findChild<QPushButton *>() : nullptr;
        if (cancel && cancel->text() == QStringLiteral("Отмена")) {
            title = progress->windowTitle();
            cancel->click();
        }
        clicked = true;
    });
    EXPECT_FALSE(exporter.WriteListed(sessions, path));
    EXPECT_EQ(title, QStringLiteral("Экспорт списка")) << "no progress dialog to cancel";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("list.csv")});
    EXPECT_TRUE(dialogs.warnings.isEmpty());
    EXPECT_TRUE(dialogs.infos.isEmpty());
}

// Rows are read from the files as they are now: a session deleted by another
// station since the list was shown is left out and named.
TEST_F(ListExportTest, ASessionWhoseFileIsGoneIsLeftOutAndNamed)
{
    for (const char *name : {"Петров", "Сидоров", "Орлов"})
        Save(MakeSession(name, 1));
    OpenPage();
    ASSERT_EQ(archive.Count(), 3u);
    const std::string gone = archive[1].SourceFile;
    ASSERT_TRUE(QFile::remove(QString::fromStdString(gone)));
    const QString path = temp.filePath(QStringLiteral("list.csv"));
    ListExport exporter(page.get(), ",");
    ASSERT_TRUE(exporter.WriteListed({&archive[0], &archive[1], &archive[2]}, path));
    const QStringList lines = ExportedLines(path);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1;")) && lines[1].contains(QStringLiteral(";Петров;")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("2;")) && lines[2].contains(QStringLiteral(";Орлов;")));
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QFileInfo(QString::fromStdString(gone)).fileName()));
}

} // namespace
