#include "app/preferences/PasswordHash.h"
#include "app/AppTestSupport.h"
#include "app/preferences/PasswordDialogs.h"
#include "app/preferences/Preferences.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

namespace {

TEST(PasswordHashTest, DerivesTheKnownPbkdf2HmacSha256Keys)
{
    struct Case {
        const char *password;
        const char *salt;
        int iterations;
        int length;
        const char *hex;
    };
    const Case cases[] = {
        {"password", "salt", 1, 32, "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"},
        {"password", "salt", 2, 32, "ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"},
        {"password", "salt", 4096, 32, "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"},
        // Two blocks, the second cut short.
        {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 40,
         "348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c7dac47e9"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Pbkdf2HmacSha256(c.password, c.salt, c.iterations, c.length).toHex().toStdString(), c.hex)
            << c.password << " " << c.iterations;
    // Cyrillic is hashed as UTF-8.
    const QString stored = HashPasswordWithSalt(QStringLiteral("Пароль"), "0123456789abcdef", 1000);
    EXPECT_TRUE(stored.endsWith(QString::fromLatin1(
        QByteArray::fromHex("6922744a7043a59d36d5922c3228a6b7246f91b12d87406274525e55342ea89c").toBase64())));
}

TEST(PasswordHashTest, MatchesExactlyAndCaseSensitively)
{
    const QString stored = HashPassword(QStringLiteral("Пароль-7"), 1000);
    EXPECT_TRUE(IsPasswordHash(stored));
    EXPECT_NE(stored, HashPassword(QStringLiteral("Пароль-7"), 1000)) << "every hash has its own salt";
    const struct {
        const char *typed;
        bool matches;
    } cases[] = {{"Пароль-7", true}, {"пароль-7", false}, {"Пароль-7 ", false}, {"Пароль-", false}, {"", false}};
    for (const auto &c : cases)
        EXPECT_EQ(PasswordMatches(QString::fromUtf8(c.typed), stored), c.matches) << c.typed;
    // Damaged stored forms never match.
    for (const char *damaged : {"pbkdf2-sha256$0$c2FsdA==$AAAA", "pbkdf2-sha256$x$c2FsdA==$AAAA",
                                "pbkdf2-sha256$1000$c2FsdA==$", "pbkdf2-sha256$1000"})
        EXPECT_FALSE(PasswordMatches(QString(), QString::fromLatin1(damaged))) << damaged;
    EXPECT_TRUE(HashPassword(QString()).isEmpty());
}

TEST(PasswordHashTest, TheSettingsFileNeverHoldsThePassword)
{
    TemporaryInstallation install;
    const QString password = QStringLiteral("Secret-42");
    ScriptedPasswords passwords;
    passwords.newPasswords = {password};
    Preferences prefs;
    prefs.AskAdminPassword = true;
    ASSERT_TRUE(SetPassword(nullptr, prefs.AdminPassword));
    {
        QSettings settings(install.SettingsFile(), QSettings::IniFormat);
        SavePreferences(settings, prefs, 0, std::nullopt);
        for (const QString &key : settings.allKeys())
            EXPECT_NE(settings.value(key).toString(), password) << key.toStdString();
    }
    QFile file(install.SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.contains(password.toUtf8()));
    EXPECT_TRUE(bytes.contains("pbkdf2-sha256"));

    ScriptedDialogs dialogs;
    QSettings settings(install.SettingsFile(), QSettings::IniFormat);
    const Preferences back = LoadPreferences(settings).Prefs;
    passwords.typed = {password, QStringLiteral("secret-42")};
    EXPECT_TRUE(AskPassword(nullptr, back.AdminPassword, AdminAccessNotice));
    EXPECT_FALSE(AskPassword(nullptr, back.AdminPassword, AdminAccessNotice));
    EXPECT_EQ(dialogs.warnings.size(), 1);
}

TEST(PasswordHashTest, APlainPasswordFromOlderSettingsIsAcceptedAndReplacedByItsHash)
{
    TemporaryInstallation install;
    install.Store(QStringLiteral("AskAdminPassword"), 1);
    install.Store(QStringLiteral("AdminPassword"), QStringLiteral("Старый"));
    QSettings settings(install.SettingsFile(), QSettings::IniFormat);
    const Preferences prefs = LoadPreferences(settings).Prefs;
    settings.sync();
    const QString stored = settings.value(QStringLiteral("Options/AdminPassword")).toString();
    EXPECT_TRUE(IsPasswordHash(stored));
    EXPECT_EQ(prefs.AdminPassword, stored);
    EXPECT_TRUE(PasswordMatches(QStringLiteral("Старый"), stored));
    EXPECT_FALSE(PasswordMatches(QStringLiteral("старый"), stored));
    // Read again, the hash stays as it is.
    EXPECT_EQ(LoadPreferences(settings).Prefs.AdminPassword, stored);
}

} // namespace
