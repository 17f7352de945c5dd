#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

// Qt's own texts (the buttons of standard dialogs, the file and colour
// dialogs, the menus of text fields) in Russian, whatever the system locale.
// Looks in programFolder + "translations/" first (a portable installation
// may carry the file), then in Qt's translations folder. Returns the
// installed translator, owned by the application, or nullptr when no
// catalogue was found.
QTranslator *InstallQtRussianTranslation(QCoreApplication &app, const QString &programFolder = {});
