#pragma once

#include "app/preferences/AppSettings.h"
#include "app/preferences/PasswordDialogs.h"
#include "app/testing/SessionFinisher.h"
#include "core/SessionArchive.h"
#include "core/TCLTSession.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

// Creates or replaces the file with exactly these bytes.
inline void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A session another station (or an earlier run) stored, with conclusions;
// the second of its minute orders the names.
inline std::string StoreSession(const QString &folder, int second, const std::string &surname)
{
    TCLTSession session;
    session.TestKind = 1;
    session.Surname = surname;
    session.BriefConclusion = "Вывод " + surname;
    LocalDateTime when{2025, 7, 4, 9, 5, second % 60, 100 + second};
    return SaveSession(session, folder.toStdString(), when, [] { return 3; });
}

// Answers the password dialogs from a script and counts what was asked.
class ScriptedPasswords : public PasswordPrompts {
public:
    ScriptedPasswords() { PasswordPrompts::Install(this); }
    ~ScriptedPasswords() override { PasswordPrompts::Install(nullptr); }

    std::deque<std::optional<QString>> typed;        // nullopt: cancel
    std::deque<std::optional<QString>> newPasswords; // nullopt: cancel
    int asked = 0;
    int askedNew = 0;
    QStringList notices;

    std::function<void()> whenAsked; // runs as the password is asked

    std::optional<QString> AskPasswordText(QWidget *, const QString &notice) override
    {
        ++asked;
        if (whenAsked)
            whenAsked();
        notices << notice;
        return Next(typed);
    }
    std::optional<QString> AskNewPassword(QWidget *) override
    {
        ++askedNew;
        return Next(newPasswords);
    }

private:
    // Copies the text rather than the optional: GCC 12 takes a copied
    // std::optional<QString> for possibly uninitialised (-Wmaybe-uninitialized).
    static std::optional<QString> Next(std::deque<std::optional<QString>> &script)
    {
        if (script.empty())
            return std::nullopt;
        const bool cancel = !script.front().has_value();
        QString text = script.front().value_or(QString());
        script.pop_front();
        if (cancel)
            return std::nullopt;
        return text;
    }
};

// The test kit's installation with the program's settings kept in its
// settings file for the test's lifetime.
class TemporaryInstallation : public TestInstallation {
public:
    TemporaryInstallation() { AppSettings::UseFile(SettingsFile()); }
    ~TemporaryInstallation() { AppSettings::UseFile(QString()); }
    TemporaryInstallation(const TemporaryInstallation &) = delete;
    TemporaryInstallation &operator=(const TemporaryInstallation &) = delete;

    QStringList RecoveredFiles() const
    {
        return QDir(SessionFinisher::DefaultRecoveryFolder()).entryList({QStringLiteral("*.dat")}, QDir::Files);
    }
};
