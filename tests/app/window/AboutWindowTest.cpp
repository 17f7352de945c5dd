#include "app/window/AboutWindow.h"
#include "app/WindowFixture.h"
#include "app/window/AppInfo.h"
#include "core/KnowledgeBaseFile.h"

#include <QFile>
#include <QSignalSpy>

// The about window names the version, the knowledge base in use and the
// data folder, and leads to the licence.
namespace {

class AboutWindowTest : public WindowFixture {};

TEST_F(AboutWindowTest, NamesTheBaseInUseTheDataFolderAndTheLicence)
{
    const QString base = install.Root() + QStringLiteral("ColorTest.dat");
    KnowledgeBaseImage image;
    image.Written = ToOleDate(LocalDateTime{2026, 12, 1, 0, 0, 0, 0});
    image.Records.resize(3);
    const std::string bytes = KnowledgeBaseBytes(image);
    WriteBytes(base, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    StartWindow();
    ASSERT_EQ(w->KnowledgeBase().Count(), 3u);

    TformAbout about(w->About(), w->Help(), w.get());
    const QString text = about.Text();
    EXPECT_TRUE(text.contains(QStringLiteral("Версия ") + AppInfo::Version));
    EXPECT_TRUE(text.contains(QStringLiteral("База знаний: 3 записи, записана 01.12.2026"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(base)));
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(w->DataFolder())));
    EXPECT_TRUE(text.contains(QStringLiteral("лицензионного соглашения")));
    EXPECT_TRUE(text.contains(QStringLiteral("Qt 6 на условиях лицензии GNU LGPL версии 3")));

    QSignalSpy licence(&about, &TformAbout::licenceRequested);
    emit Find<QLabel>(about, "aboutText")->linkActivated(QStringLiteral("licence"));
    EXPECT_EQ(licence.count(), 1);
    // The window's help takes it: without a guide it says where the guide belongs.
    ASSERT_EQ(dialogs.infos.size(), 1);
    EXPECT_TRUE(dialogs.infos[0].startsWith(QStringLiteral("Файл справочной системы")));
}

TEST_F(AboutWindowTest, SaysWhenThereIsNoKnowledgeBaseOrItIsDamaged)
{
    StartWindow();
    QString text = TformAbout(w->About(), w->Help(), w.get()).Text();
    EXPECT_TRUE(text.contains(QStringLiteral("База знаний: не найдена"))) << text.toStdString();

    WriteBytes(install.Root() + QStringLiteral("ColorTest.dat"), "not a knowledge base");
    StartWindow();
    text = TformAbout(w->About(), w->Help(), w.get()).Text();
    EXPECT_TRUE(text.contains(QStringLiteral("не является базой знаний"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("без текстов базы"))) << text.toStdString();
}

} // namespace
