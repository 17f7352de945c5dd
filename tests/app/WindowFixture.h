#pragma once

#include "app/AppTestSupport.h"
#include "app/testing/ChooserPanel.h"
#include "app/testing/RegistrationPanel.h"
#include "app/testing/TestingPage.h"
#include "app/testing/TileArea.h"
#include "app/window/TformPalettorMain.h"
#include "core/SessionArchive.h"
#include "support/Find.h"
#include "support/WaitUntil.h"
#include "testing/TestKinds.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <string>

// The main window of a temporary installation, driven as a user would:
// the chooser, the registration and the tiles.
class WindowFixture : public ::testing::Test {
protected:
    TemporaryInstallation install;
    ScriptedDialogs dialogs;
    ScriptedPasswords passwords;
    std::unique_ptr<TformPalettorMain> w;

    // context: the station's locale and clock; the system's when not given.
    void StartWindow(const StationContext *context = nullptr)
    {
        w = context ? std::make_unique<TformPalettorMain>(install.Root(), *context)
                    : std::make_unique<TformPalettorMain>(install.Root());
        QSignalSpy finished(w.get(), &TformPalettorMain::StartupFinished);
        // Clicks of a test come faster than any double-click; each is a pick.
        w->Testing().Tiles()->SetDoubleClickInterval(0);
        w->show();
        ASSERT_TRUE(WaitUntil([&] { return finished.count() == 1; }, 10000, "the window has started"));
        QApplication::setActiveWindow(w.get());
    }
    TestingPage *Page() const { return Find<TestingPage>(*w); }
    QStringList SessionFiles() const
    {
        return QDir(install.DataFolder()).entryList({QStringLiteral("*.dat")}, QDir::Files);
    }
    // The one stored session, as a later run reads it.
    std::unique_ptr<TCLTSession> StoredSession() const
    {
        TCLTArchive back;
        const QStringList files = SessionFiles();
        EXPECT_EQ(files.size(), 1);
        if (files.size() == 1) {
            EXPECT_TRUE(LoadSessionFile((install.DataFolder() + QLatin1Char('/') + files[0]).toStdString(), back,
                                        SessionContext{}));
        }
        return back.Count() == 1 ? back.Take(0) : std::make_unique<TCLTSession>();
    }
    void Choose(int kind)
    {
        Find<QAction>(*w, "actStartTesting")->trigger();
        ASSERT_TRUE(Page()->Chooser()->isVisible());
        QTest::mouseClick(Page()->Chooser()->StartButton(kind), Qt::LeftButton);
    }
    void Register(int kind)
    {
        Choose(kind);
        Page()->Registration()->SurnameEdit()->setText(QStringLiteral("Кузнецов"));
        Page()->Registration()->FirstNameEdit()->setText(QStringLiteral("Олег"));
        QTest::mouseClick(Page()->Registration()->SubmitButton(), Qt::LeftButton);
    }
    // Registers for the kind (confirming a short stimulus list for the
    // relations test) and picks until the test ends, taking the first tile
    // every stride-th pick and the last otherwise, so choices differ.
    void PlayToTheEnd(int kind, int stride)
    {
        Register(kind);
        if (kind == KindRelations) {
            Find<QPlainTextEdit>(*Page(), "memoStimulItems")->setPlainText(QStringLiteral("Мать\nОтец\nЯ сам"));
            QTest::mouseClick(Find<QPushButton>(*Page(), "btnStimulDone"), Qt::LeftButton);
        }
        const QString stopCaption = QStringLiteral("Прекратить тестирование");
        for (int guard = 0; guard < 200 && Find<QAction>(*w, "actStartTesting")->text() == stopCaption; ++guard) {
            const auto tiles = Page()->Tiles()->Tiles();
            ASSERT_FALSE(tiles.isEmpty()) << "no tiles before the test ended, pick " << guard;
            QTest::mouseClick(guard % stride ? tiles.first() : tiles.last(), Qt::LeftButton);
        }
    }
    void Pick(int count)
    {
        for (int i = 0; i < count; ++i) {
            const auto tiles = Page()->Tiles()->Tiles();
            ASSERT_FALSE(tiles.isEmpty());
            QTest::mouseClick(tiles.first(), Qt::LeftButton);
        }
    }
    // Colour Relations Test up to the stimulus list, then the typed list confirmed.
    void ConfirmStimuli(const QString &typed)
    {
        Register(KindRelations);
        auto *memo = w->findChild<QPlainTextEdit *>(QStringLiteral("memoStimulItems"));
        ASSERT_TRUE(memo && memo->isVisible());
        memo->setPlainText(typed);
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnStimulDone")), Qt::LeftButton);
    }
};
