#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class QSettings;

// The one place that creates the settings object: the native store of the
// current user under "Orvanta" / "Palettor". Tests point it at a file of
// their own so the user's real settings are never read or written.
namespace AppSettings {
// A settings file larger than this is not read (a real one holds a few
// kilobytes of groups and placements; the bound leaves ample room).
constexpr std::int64_t MaxFileBytes = 1024 * 1024;

// The settings in effect. When the settings file is not a regular file (a
// FIFO would block the read for ever) or is larger than MaxFileBytes, it is
// neither read nor written: an empty store stands in, and RefusedReason says why.
std::unique_ptr<QSettings> Open();
// An ini file used instead of the native store; empty restores the native one.
void UseFile(const QString &path);
QString OverrideFile();
// The file the settings are kept in; empty where the store is not a file.
QString SettingsFilePath();
// Why the settings file was passed over at the last Open (Russian), or empty.
QString RefusedReason();

inline const QString OptionsGroup = QStringLiteral("Options");
} // namespace AppSettings
