#include "AppInfo.h"
#include "TformPalettorMain.h"
#include "SessionArchive.h"

#include <QApplication>
#include <QStyleFactory>

#include <exception>

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
} // namespace

int main(int argc, char **argv)
{
    PalettorApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::ApplicationTitle);
    QApplication::setOrganizationName(AppInfo::OrganisationName);
    // The palettes of the themes are drawn the same on every platform.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    const std::string root = ProgramRootFolder(QCoreApplication::applicationFilePath().toStdString());
    TformPalettorMain window(QString::fromStdString(root));
    window.show();
    return app.exec();
}
