#include "app/preferences/AppSettings.h"

#include "app/window/AppInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
QString overrideFile;
QString refusedReason;

// A store that reads nothing and keeps nothing: the settings file stays as
// it was, and the program runs with its defaults.
QSettings::Format NullFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("palettor-refused"), [](QIODevice &, QSettings::SettingsMap &) { return true; },
        [](QIODevice &, const QSettings::SettingsMap &) { return false; });
    return format;
}

// Checked from the file's own type and size, before QSettings opens it.
QString Problem(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (!info.isFile())
        return QStringLiteral("файл настроек %1 не является обычным файлом").arg(QDir::toNativeSeparators(path));
    if (info.size() > AppSettings::MaxFileBytes)
        return QStringLiteral("файл настроек %1 слишком велик (%2 байт, допустимо не более %3 байт)")
            .arg(QDir::toNativeSeparators(path))
            .arg(info.size())
            .arg(AppSettings::MaxFileBytes);
    return {};
}
} // namespace

QString AppSettings::SettingsFilePath()
{
    if (!overrideFile.isEmpty())
        return overrideFile;
#if defined(Q_OS_WIN)
    return {};
#else
    // Where QSettings keeps the native store of the user on these systems.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/')
        + AppInfo::OrganisationName + QLatin1Char('/') + AppInfo::ProductName + QStringLiteral(".conf");
#endif
}

std::unique_ptr<QSettings> AppSettings::Open()
{
    refusedReason = Problem(SettingsFilePath());
    if (!refusedReason.isEmpty())
        return std::make_unique<QSettings>(QDir::temp().filePath(QStringLiteral("palettor-refused-settings")),
                                           NullFormat());
    if (!overrideFile.isEmpty())
        return std::make_unique<QSettings>(overrideFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, AppInfo::OrganisationName,
                                       AppInfo::ProductName);
}

void AppSettings::UseFile(const QString &path) { overrideFile = path; }

QString AppSettings::OverrideFile() { return overrideFile; }

QString AppSettings::RefusedReason() { return refusedReason; }
