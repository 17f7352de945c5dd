#include "HelpLauncher.h"

#include "AppInfo.h"
#include "UserDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace {
bool systemOpen(const QUrl &url) { return QDesktopServices::openUrl(url); }
} // namespace

HelpLauncher::HelpLauncher(QString rootFolder) : rootFolder(std::move(rootFolder)), opener(systemOpen) {}

QString HelpLauncher::HelpFolder() const { return rootFolder + QStringLiteral("Help/"); }
QString HelpLauncher::HelpFile() const { return HelpFolder() + AppInfo::HelpFileName; }

void HelpLauncher::SetUrlOpener(UrlOpener value) { opener = value ? std::move(value) : UrlOpener(systemOpen); }

void HelpLauncher::ShowTopic(QWidget *parent, int context, const QString &keyword) const
{
    const QString file = HelpFile();
    if (!QFileInfo::exists(file)) {
        UserDialogs::Current().ShowInfo(
            // Lines end in CR LF: a lone CR would not break the line on screen.
            parent,
            QStringLiteral("Файл справочной системы %1 не найден.\r\n"
                           "Техническая документация не входит в состав дистрибутива программы.\r\n"
                           "Вы можете загрузить ее с интернет-сайта разработчика (%2).\r\n"
                           "Загруженный файл распакуйте в папку %3")
                .arg(QDir::toNativeSeparators(file), AppInfo::HelpDownloadPage,
                     QDir::toNativeSeparators(HelpFolder())));
        return;
    }
    // The system's help viewer opens the file; a topic cannot be passed to it.
    Q_UNUSED(context);
    Q_UNUSED(keyword);
    opener(QUrl::fromLocalFile(file));
}
