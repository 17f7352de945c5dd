#pragma once

// A program folder of its own for one test, laid out as an installation
// (bin/, Data/, Themes/, and on request the knowledge base and stimulus sets
// the build ships), with the settings file and the user's data and cache
// folders inside it: nothing of the user's real ones is read or touched.
// tests/app adds the program's settings redirection (TemporaryInstallation).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <stdexcept>

class TestInstallation {
public:
    TestInstallation()
    {
        if (!dir.isValid())
            throw std::runtime_error("no temporary folder for the installation");
        for (const char *folder : {"bin", "Data", "Themes"})
            QDir(dir.path()).mkpath(QString::fromLatin1(folder));
        savedDataHome = redirect("XDG_DATA_HOME", QStringLiteral("/user-data"));
        savedCacheHome = redirect("XDG_CACHE_HOME", QStringLiteral("/user-cache"));
    }
    ~TestInstallation()
    {
        restore("XDG_DATA_HOME", savedDataHome);
        restore("XDG_CACHE_HOME", savedCacheHome);
    }
    TestInstallation(const TestInstallation &) = delete;
    TestInstallation &operator=(const TestInstallation &) = delete;

    // Ends in '/', as the window takes it.
    QString Root() const { return dir.path() + QLatin1Char('/'); }
    QString BinFolder() const { return Root() + QStringLiteral("bin"); }
    QString DataFolder() const { return Root() + QStringLiteral("Data"); }
    QString SettingsFile() const { return Root() + QStringLiteral("settings.ini"); }
    QString KnowledgeBaseFile() const { return Root() + QStringLiteral("ColorTest.dat"); }
    QString StimulusSetsFile() const { return Root() + QStringLiteral("StimulSet.ini"); }

    // The knowledge base the build made, as the package ships it.
    void AddKnowledgeBase() const { copy(QStringLiteral(PALETTOR_BUILT_KB), KnowledgeBaseFile()); }
    // The stimulus sets of the source tree's installation files.
    void AddStimulusSets() const
    {
        // Worked out on the text: the data folder need not exist.
        copy(QDir::cleanPath(QStringLiteral(PALETTOR_TEST_DATA) + QStringLiteral("/../../install/StimulSet.ini")),
             StimulusSetsFile());
    }

    // Writes a value into the "Options" group before a start.
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
    QByteArray redirect(const char *variable, const QString &folder) const
    {
        QByteArray saved = qgetenv(variable);
        qputenv(variable, (dir.path() + folder).toLocal8Bit());
        return saved;
    }
    static void restore(const char *variable, const QByteArray &saved)
    {
        if (saved.isEmpty())
            qunsetenv(variable);
        else
            qputenv(variable, saved);
    }
    static void copy(const QString &from, const QString &to)
    {
        QFile::remove(to);
        if (!QFile::copy(from, to))
            throw std::runtime_error("could not copy " + from.toStdString() + " into the installation");
    }

    QTemporaryDir dir;
    QByteArray savedDataHome;
    QByteArray savedCacheHome;
};
