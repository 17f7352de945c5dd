#include "app/preferences/PasswordDialogs.h"
#include "app/AppTestSupport.h"
#include "app/preferences/PasswordHash.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

TEST(AskPasswordDialogTest, OkOnlyWhileSomethingIsTypedAndTheEntryIsMasked)
{
    TemporaryInstallation install;
    TformAskPassword dialog(AdminAccessNotice);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Введите пароль"));
    EXPECT_EQ(dialog.editPassword->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(dialog.btnOK->isEnabled());
    QTest::keyClicks(dialog.editPassword, QStringLiteral("a"));
    EXPECT_TRUE(dialog.btnOK->isEnabled());
    QTest::keyClick(dialog.editPassword, Qt::Key_Backspace);
    EXPECT_FALSE(dialog.btnOK->isEnabled());
}

TEST(SetPasswordDialogTest, OkOnlyWhenBothFieldsAreFilledAndEqual)
{
    TemporaryInstallation install;
    TformSetPassword dialog;
    struct Case {
        const char *first;
        const char *second;
        bool ok;
    };
    const Case cases[] = {{"", "", false},       {"abc", "", false},    {"", "abc", false},
                          {"abc", "abd", false}, {"abc", "ABC", false}, {"abc", "abc", true}};
    for (const auto &c : cases) {
        dialog.editNewPassword->setText(QString::fromLatin1(c.first));
        dialog.editConfirmPassword->setText(QString::fromLatin1(c.second));
        EXPECT_EQ(dialog.btnOK->isEnabled(), c.ok) << c.first << " / " << c.second;
    }
    EXPECT_EQ(dialog.editNewPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.editConfirmPassword->echoMode(), QLineEdit::Password);
}

TEST(SetPasswordDialogTest, AtMostSixtyCharactersCanBeTyped)
{
    TemporaryInstallation install;
    TformSetPassword dialog;
    QTest::keyClicks(dialog.editNewPassword, QString(70, QLatin1Char('x')));
    EXPECT_EQ(dialog.editNewPassword->text().size(), 60);
}

TEST(AskPasswordTest, ComparesExactlyAndWarnsOnlyWhenWrong)
{
    struct Case {
        std::optional<QString> typed;
        bool accepted;
        int warnings;
    };
    const Case cases[] = {
        {QStringLiteral("Secret"), true, 0},
        {QStringLiteral("secret"), false, 1},
        {QStringLiteral("Secret "), false, 1},
        {QStringLiteral("Secre"), false, 1},
        {std::nullopt, false, 0},
    };
    for (const auto &c : cases) {
        ScriptedDialogs dialogs;
        ScriptedPasswords passwords;
        passwords.typed.push_back(c.typed);
        EXPECT_EQ(AskPassword(nullptr, QStringLiteral("Secret"), AdminAccessNotice), c.accepted);
        ASSERT_EQ(dialogs.warnings.size(), c.warnings);
        if (c.warnings) {
            EXPECT_EQ(dialogs.warnings.front(), QStringLiteral("Вы ввели неправильный пароль"));
        }
        EXPECT_EQ(passwords.notices.value(0), AdminAccessNotice);
    }
}

TEST(SetPasswordTest, OkReplacesCancelKeeps)
{
    ScriptedPasswords passwords;
    QString password = QStringLiteral("old");
    passwords.newPasswords = {std::nullopt, QStringLiteral("new")};
    EXPECT_FALSE(SetPassword(nullptr, password));
    EXPECT_EQ(password, QStringLiteral("old"));
    EXPECT_TRUE(SetPassword(nullptr, password));
    EXPECT_TRUE(IsPasswordHash(password));
    EXPECT_TRUE(PasswordMatches(QStringLiteral("new"), password));
}

} // namespace
