#include "AppSettings.h"

#include "AppInfo.h"

#include <QSettings>

namespace {
QString overrideFile;
}

std::unique_ptr<QSettings> AppSettings::Open()
{
    if (!overrideFile.isEmpty())
        return std::make_unique<QSettings>(overrideFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, AppInfo::OrganisationName,
                                       AppInfo::ProductName);
}

void AppSettings::UseFile(const QString &path) { overrideFile = path; }

QString AppSettings::OverrideFile() { return overrideFile; }
