#include "qtkit/RussianFileModel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

TEST(RussianFileModelTest, SizesAndKindsOfTheSaveDialogAreRussian)
{
    const struct {
        qint64 bytes;
        const char *text;
    } sizes[] = {{0, "0 байт"}, {1023, "1023 байт"}, {2048, "2,0 КБ"}, {15 * 1024 * 1024, "15 МБ"}};
    for (const auto &c : sizes)
        EXPECT_EQ(RussianFileModel::SizeText(c.bytes).toStdString(), c.text);

    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Отчеты")));
    QFile file(dir.filePath(QStringLiteral("report.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2048, 'x'));
    file.close();

    QFileSystemModel files;
    QSignalSpy loaded(&files, &QFileSystemModel::directoryLoaded);
    const QModelIndex root = files.setRootPath(dir.path());
    ASSERT_TRUE(loaded.wait(5000));
    RussianFileModel shown;
    shown.setSourceModel(&files);
    const QModelIndex folder = shown.mapFromSource(files.index(dir.filePath(QStringLiteral("Отчеты"))));
    const QModelIndex report = shown.mapFromSource(files.index(dir.filePath(QStringLiteral("report.txt"))));
    ASSERT_TRUE(folder.isValid() && report.isValid());
    EXPECT_EQ(shown.index(folder.row(), 2, folder.parent()).data().toString(), QStringLiteral("Папка"));
    EXPECT_EQ(shown.index(report.row(), 2, report.parent()).data().toString(), QStringLiteral("Файл TXT"));
    EXPECT_EQ(shown.index(report.row(), 1, report.parent()).data().toString(), QStringLiteral("2,0 КБ"));
    EXPECT_EQ(shown.index(report.row(), 0, report.parent()).data().toString(), QStringLiteral("report.txt"));
    (void)root;
}

} // namespace
