#include "app/WindowFixture.h"
#include "app/window/AboutWindow.h"
#include "core/KnowledgeBaseFile.h"
#include "core/TSimpleFileStream.h"

#include <QDir>

// A knowledge base that is there but damaged is told: to the administrator
// at start-up and in the about window, and in testing mode once before the
// first test. A missing one is the program working without it and is not.
namespace {

class KnowledgeBaseStatusTest : public WindowFixture {
protected:
    QString Base() const { return install.Root() + QStringLiteral("ColorTest.dat"); }
    // Two entries, cut short in the second.
    QByteArray CutShort() const
    {
        KnowledgeBaseImage image;
        image.Records.resize(2);
        image.Records[1].Entry.PsychologicalText = std::string(300, 'x');
        const std::string bytes = KnowledgeBaseBytes(image);
        return QByteArray::fromStdString(bytes.substr(0, bytes.size() - 100));
    }
    void StartInTestingMode()
    {
        install.Store(QStringLiteral("AskAdminPassword"), 1);
        install.Store(QStringLiteral("AdminPassword"), QStringLiteral("secret"));
        passwords.typed.push_back(std::nullopt);
        StartWindow();
        ASSERT_FALSE(w->AdministratorMode());
    }
};

TEST_F(KnowledgeBaseStatusTest, TheAdministratorIsToldWhyAtStartAndInTheAboutWindow)
{
    const struct {
        const char *name;
        bool folder;
        QByteArray bytes;
        const char *reason;
    } cases[] = {
        {"cut short", false, CutShort(), "Прочитано 1 запись из 2"},
        {"a folder", true, {}, "это папка"},
    };
    for (const auto &c : cases) {
        QDir().rmdir(Base());
        QFile::remove(Base());
        if (c.folder)
            QDir().mkpath(Base());
        else
            WriteBytes(Base(), c.bytes);
        dialogs.warnings.clear();
        StartWindow();
        ASSERT_EQ(dialogs.warnings.size(), 1) << c.name;
        const QString &note = dialogs.warnings[0];
        EXPECT_TRUE(note.contains(QDir::toNativeSeparators(Base()))) << c.name;
        EXPECT_TRUE(note.contains(QString::fromUtf8(c.reason))) << c.name << ": " << note.toStdString();
        const QString about = TformAbout(w->About(), w->Help(), w.get()).Text();
        EXPECT_TRUE(about.contains(QString::fromUtf8(c.reason))) << c.name << ": " << about.toStdString();
    }
}

TEST_F(KnowledgeBaseStatusTest, TestingModeWarnsOnceBeforeTheFirstTestOnlyWhenDamaged)
{
    WriteBytes(Base(), CutShort());
    StartInTestingMode();
    EXPECT_TRUE(dialogs.warnings.isEmpty()); // start-up notes are the administrator's
    PlayToTheEnd(KindEightOnce, 3);
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QStringLiteral("без части текстов базы знаний")))
        << dialogs.warnings[0].toStdString();
    EXPECT_EQ(SessionFiles().size(), 1);
    Choose(KindEightOnce);
    EXPECT_EQ(dialogs.warnings.size(), 1);

    // Without a base nothing is said, as before.
    w.reset();
    dialogs.warnings.clear();
    QFile::remove(Base());
    StartInTestingMode();
    Choose(KindEightOnce);
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

} // namespace
