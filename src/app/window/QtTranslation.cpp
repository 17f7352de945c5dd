#include "app/window/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QTranslator *InstallQtRussianTranslation(QCoreApplication &app, const QString &programFolder)
{
    QStringList folders;
    if (!programFolder.isEmpty())
        folders << programFolder + QStringLiteral("translations");
    folders << QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto *translator = new QTranslator(&app);
    for (const QString &folder : folders) {
        if (translator->load(QStringLiteral("qtbase_ru"), folder) && QCoreApplication::installTranslator(translator))
            return translator;
    }
    delete translator;
    return nullptr;
}
