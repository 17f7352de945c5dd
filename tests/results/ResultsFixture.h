#pragma once

#include "core/SessionArchive.h"
#include "core/SessionListIndex.h"
#include "core/TSimpleFileStream.h"
#include "results/ResultsPage.h"
#include "support/Find.h"
#include "support/SessionBuilder.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

// 1 July 2025, the "today" of every test.
constexpr OleDate TestToday = 45839;

// A session as the test procedure would leave it: every choice recorded,
// conclusions set (the kit's builder with this area's usual person).
inline TCLTSession MakeSession(const std::string &surname, int kind, uint8_t sex = 1, double ageYears = 30,
                               const std::string &group = "Администрация")
{
    // Birth date so that whole twelfths of a year come out exactly.
    return SessionBuilder(kind, TestToday - 0.5, TestToday)
        .Name(surname, "Иван")
        .Sex(sex)
        .Group(group)
        .Born(ageYears > 0 ? TestToday - (ageYears * 12 * 30.4375 + 10) : 0)
        .Context(TestToday)
        .Duration(3725)
        .Positions([](int c, int p) { return SessionBuilder::Position{c == 1 ? p : 9 - p}; })
        .Conclusions("Кратко о " + surname, "Подробно о " + surname, "Выводы о " + surname)
        .Derived();
}

// A temporary program folder with a session folder and a placement store,
// and a page over an archive loaded from the written files.
class ResultsPageFixture : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString dataFolder;
    std::unique_ptr<QSettings> store;
    ArchiveList archive;
    // Handed to the page by tests that need another locale or a fixed clock;
    // declared first so it outlives the page.
    StationContext context;
    std::unique_ptr<ResultsPage> page;
    int savedCount = 0;

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        dataFolder = folder.filePath(QStringLiteral("Data"));
        ASSERT_TRUE(QDir().mkpath(dataFolder));
        store = std::make_unique<QSettings>(folder.filePath(QStringLiteral("placement.ini")), QSettings::IniFormat);
    }

    void TearDown() override { page.reset(); }

    // Writes the session file; names follow the order of writing.
    void Save(TCLTSession session)
    {
        ++savedCount;
        const LocalDateTime when{2025, 7, 1, 10, savedCount / 60, savedCount % 60, 100};
        int digit = 0;
        SaveSession(session, dataFolder.toStdString(), when, [&digit] { return digit++ % 10; });
    }

    // Lists the folder as the window does (rows of list fields, no session
    // objects) and builds the page (shown offscreen so the panels have their
    // real sizes).
    void OpenPage(bool refill = true)
    {
        const std::string data = dataFolder.toStdString();
        const SessionListLoad loaded =
            LoadSessionList(data, folder.filePath(QStringLiteral("list.index")).toStdString());
        ASSERT_TRUE(loaded.Skipped.empty());
        archive.AddListed(loaded.Entries, PathInFolder(data, {}), SessionContext{TestToday, ","});
        page = std::make_unique<ResultsPage>(archive, *store);
        page->SetUserGroups({QStringLiteral("Администрация"), QStringLiteral("Бухгалтерия")}, 0);
        page->resize(1200, 800);
        page->show();
        if (refill)
            page->RefillResults(false);
    }

    // The page's child of that name (see Find.h).
    template <typename T>
    T *Find(const char *name) const
    {
        return ::Find<T>(*page, name);
    }

    QString LabelText(const char *name) const;
    QString MemoText(const char *name) const;
    int Selected() const;
    QStringList Numbers() const; // the "№" column, top to bottom
    QStringList Names() const;   // surnames behind the rows, through the archive positions
};
