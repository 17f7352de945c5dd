#pragma once

#include "PalettorVersion.h"

#include <QString>

// Names and addresses the program shows or opens; kept together so a change
// of the developer's site or mail box is one edit.
namespace AppInfo {
inline const QString ApplicationTitle = QStringLiteral("Palettor");
inline const QString MainWindowCaption = QStringLiteral("Orvanta Palettor");
inline const QString OrganisationName = QStringLiteral("Orvanta");
inline const QString ProductName = QStringLiteral("Palettor");
inline const QString DeveloperWebSite = QStringLiteral("https://palettor.example.org");
inline const QString HelpDownloadPage = QStringLiteral("https://palettor.example.org/help");
inline const QString SupportEMail = QStringLiteral("support@palettor.example.org");
inline const QString Version = QStringLiteral(PALETTOR_VERSION);
} // namespace AppInfo
