#pragma once

#include <QString>

#include <memory>

class QSettings;

// The one place that creates the settings object: the native store of the
// current user under "Orvanta" / "Palettor". Tests point it at a file of
// their own so the user's real settings are never read or written.
namespace AppSettings {
std::unique_ptr<QSettings> Open();
// An ini file used instead of the native store; empty restores the native one.
void UseFile(const QString &path);
QString OverrideFile();

inline const QString OptionsGroup = QStringLiteral("Options");
} // namespace AppSettings
