#include "SessionFinisher.h"
#include "AppTestSupport.h"
#include "StationContext.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

// 4 March 2026, 05:06:07.000; file names take the digits 3 and 7.
const LocalDateTime fixedNow{2026, 3, 4, 5, 6, 7, 0};

class SessionFinisherTest : public ::testing::Test {
protected:
    TemporaryInstallation install;
    ScriptedDialogs dialogs;
    TCLTKnowledgeBase knowledgeBase;
    TCLTSession session;
    QStringList steps; // what happened, in order, with the files in Data at that moment

    QStringList Files() const { return QDir(install.DataFolder()).entryList(QDir::Files); }

    std::unique_ptr<SessionFinisher> Make(const StationContext &context)
    {
        auto finisher = std::make_unique<SessionFinisher>(knowledgeBase, install.DataFolder(), context);
        int next = 0;
        finisher->SetDigitSource([next]() mutable { return next++ % 2 ? 7 : 3; });
        finisher->SetDialogs(&dialogs);
        finisher->SetShow([this](const TCLTSession &) { steps << QStringLiteral("show %1").arg(Files().size()); });
        finisher->SetList([this](const TCLTSession &) { steps << QStringLiteral("list %1").arg(Files().size()); });
        return finisher;
    }
};

TEST_F(SessionFinisherTest, InterpretsShowsSavesAndListsInThatOrder)
{
    struct Case {
        QLocale locale;
        std::string separator;
    };
    const Case cases[] = {{QLocale(QLocale::Russian, QLocale::Russia), ","},
                          {QLocale(QLocale::English, QLocale::UnitedStates), "."}};
    for (const Case &c : cases) {
        QDir(install.DataFolder()).removeRecursively();
        QDir(install.Root()).mkpath(QStringLiteral("Data"));
        steps.clear();
        const StationContext context(c.locale, [] { return fixedNow; });
        session = TCLTSession();
        session.TestKind = 1;
        session.Context.DecimalSeparator = "?";
        EXPECT_TRUE(Make(context)->Finish(session, 45000.5, 45000.75));
        EXPECT_EQ(steps, (QStringList{QStringLiteral("show 0"), QStringLiteral("list 1")}));
        EXPECT_EQ(session.Context.DecimalSeparator, c.separator);
        EXPECT_EQ(session.DurationSeconds, 6 * 3600);
        EXPECT_EQ(Files(), QStringList{QStringLiteral("2603040506070037.dat")});
        EXPECT_TRUE(dialogs.warnings.isEmpty());
    }
}

TEST_F(SessionFinisherTest, AFailedSaveIsToldAndTheSessionStaysShownAndListed)
{
    QDir(install.DataFolder()).removeRecursively();
    const StationContext context(QLocale(QLocale::Russian, QLocale::Russia), [] { return fixedNow; });
    EXPECT_FALSE(Make(context)->Finish(session, 45000.5, 45000.5));
    EXPECT_EQ(steps, (QStringList{QStringLiteral("show 0"), QStringLiteral("list 0")}));
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QDir::toNativeSeparators(install.DataFolder())));
    EXPECT_TRUE(dialogs.warnings[0].contains(QStringLiteral("Причина: папка не существует")));
    EXPECT_TRUE(session.SourceFile.empty());
}

} // namespace
