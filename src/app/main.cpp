#include "app/archive/ArchiveSync.h"
#include "app/window/AppInfo.h"
#include "app/window/QtTranslation.h"
#include "app/window/TformPalettorMain.h"
#include "core/ProgramRootFolder.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
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

void describeApplication()
{
    QCoreApplication::setApplicationName(AppInfo::ApplicationTitle);
    QCoreApplication::setApplicationVersion(AppInfo::Version);
    QCoreApplication::setOrganizationName(AppInfo::OrganisationName);
}

// --help and --version print and end the program; an unknown option ends it
// with an error.
void processCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("%1: программа цветового психологического тестирования.").arg(AppInfo::MainWindowCaption));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);
}

// Asked only for the version or the help: answered without a display.
bool asksForInformation(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version" || arg == "-?")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (asksForInformation(argc, argv)) {
        QCoreApplication app(argc, argv);
        describeApplication();
        InstallQtRussianTranslation(app);
        processCommandLine(app);
        return 0;
    }
    PrepareHeapForArchive();
    PalettorApplication app(argc, argv);
    describeApplication();
    processCommandLine(app);
    // The palettes of the themes are drawn the same on every platform.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    // Every data path is built from the root folder: one the program cannot
    // hold exactly as text would lead it to read and write another folder.
    const std::string path = executablePath();
    const std::optional<std::string> root = ProgramRootFolder(path);
    // Qt's own dialogs and menus speak the program's language, and the
    // calendars name months and weekdays in it whatever the system's locale.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    InstallQtRussianTranslation(app, root ? QString::fromStdString(*root) : QString());
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
    // On a low screen (a 768-pixel laptop) the first size would reach below
    // it: the window starts within the free area, title bar included.
    if (const QScreen *screen = window.screen()) {
        constexpr int titleBar = 32;
        const QSize room = screen->availableGeometry().size() - QSize(0, titleBar);
        window.resize(window.size().boundedTo(room).expandedTo(window.minimumSizeHint()));
    }
    window.show();
    return app.exec();
}
