#include "AppInfo.h"
#include "ProgramRootFolder.h"
#include "TformPalettorMain.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QStyleFactory>

#include <exception>
#include <filesystem>
#include <iostream>

namespace {
// Errors that reach the event loop are dropped: the program goes on.
class PalettorApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &) {
            return false;
        }
    }
};

// The executable's path as the system gives its bytes; a decoded QString
// would already have replaced what is not UTF-8.
std::string executablePath()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        return self.string();
    return QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
}

} // namespace

int main(int argc, char **argv)
{
    PalettorApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::ApplicationTitle);
    QApplication::setOrganizationName(AppInfo::OrganisationName);
    // The palettes of the themes are drawn the same on every platform.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    // Every data path is built from the root folder: one the program cannot
    // hold exactly as text would lead it to read and write another folder.
    const std::string path = executablePath();
    const std::optional<std::string> root = ProgramRootFolder(path);
    if (!root || QString::fromStdString(*root).toStdString() != *root) {
        const QString shown = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
        const QString text =
            (IsValidUtf8(path) ? QStringLiteral("Программа не может определить свою папку: путь к ней \"%1\" "
                                                "не указывает на папку.")
                               : QStringLiteral("Программа не может определить свою папку: путь к ней \"%1\" не "
                                                "записан в кодировке UTF-8. Переместите программу в папку с другим "
                                                "именем."))
                .arg(shown);
        std::cerr << text.toStdString() << std::endl;
        QMessageBox box(QMessageBox::Critical, AppInfo::ApplicationTitle, text, QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText); // the path comes from the file system
        box.exec();
        return 1;
    }
    TformPalettorMain window(QString::fromStdString(*root));
    window.show();
    return app.exec();
}
