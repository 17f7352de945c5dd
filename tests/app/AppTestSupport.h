#pragma once

#include "AppSettings.h"
#include "PasswordDialogs.h"
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <optional>

// Creates or replaces the file with exactly these bytes.
inline void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Answers the password dialogs from a script and counts what was asked.
class ScriptedPasswords : public PasswordPrompts {
public:
    ScriptedPasswords() { PasswordPrompts::Install(this); }
    ~ScriptedPasswords() override { PasswordPrompts::Install(nullptr); }

    std::deque<std::optional<QString>> typed;       // nullopt: cancel
    std::deque<std::optional<QString>> newPasswords; // nullopt: cancel
    int asked = 0;
    int askedNew = 0;
    QStringList notices;

    std::optional<QString> AskPasswordText(QWidget *, const QString &notice) override
    {
        ++asked;
        notices << notice;
        if (typed.empty())
            return std::nullopt;
        auto answer = typed.front();
        typed.pop_front();
        return answer;
    }
    std::optional<QString> AskNewPassword(QWidget *) override
    {
        ++askedNew;
        if (newPasswords.empty())
            return std::nullopt;
        auto answer = newPasswords.front();
        newPasswords.pop_front();
        return answer;
    }
};

// A temporary installation folder and settings file for one test; the
// user's real settings are never touched.
class TemporaryInstallation {
public:
    TemporaryInstallation()
    {
        QDir(dir.path()).mkpath(QStringLiteral("Data"));
        QDir(dir.path()).mkpath(QStringLiteral("Themes"));
        AppSettings::UseFile(SettingsFile());
    }
    ~TemporaryInstallation() { AppSettings::UseFile(QString()); }

    QString Root() const { return dir.path() + QLatin1Char('/'); }
    QString DataFolder() const { return Root() + QStringLiteral("Data"); }
    QString SettingsFile() const { return dir.path() + QStringLiteral("/settings.ini"); }

    // Writes values into the "Options" group before a start.
    void Store(const QString &name, const QVariant &value) const
    {
        QSettings settings(SettingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Options/") + name, value);
    }
    QVariant Stored(const QString &name) const
    {
        QSettings settings(SettingsFile(), QSettings::IniFormat);
        return settings.value(QStringLiteral("Options/") + name);
    }

private:
    QTemporaryDir dir;
};
