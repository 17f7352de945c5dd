#include "app/help/HelpLauncher.h"

#include "app/help/HelpTopics.h"
#include "app/help/HelpWindow.h"
#include "app/window/AppInfo.h"
#include "qtkit/UserDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace {
bool systemOpen(const QUrl &url) { return QDesktopServices::openUrl(url); }
} // namespace

HelpLauncher::HelpLauncher(QString rootFolder) : rootFolder(std::move(rootFolder)), opener(systemOpen) {}

QString HelpLauncher::HelpFolder() const { return rootFolder + QStringLiteral("Help/"); }
QString HelpLauncher::HelpFile() const { return HelpFolder() + HelpTopics::ContentsPage; }

HelpWindow *HelpLauncher::Window() const { return window; }

void HelpLauncher::SetUrlOpener(UrlOpener value) { opener = value ? std::move(value) : UrlOpener(systemOpen); }
void HelpLauncher::SetTestingMode(std::function<bool()> value) { testingMode = std::move(value); }

bool HelpLauncher::OpenOutside(const QUrl &url) const
{
    const QString address = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    if (testingMode && testingMode()) {
        UserDialogs::Current().ShowInfo(
            window,
            QStringLiteral("В режиме тестирования ссылки за пределы справки не открываются:\r\n%1").arg(address));
        return false;
    }
    if (!UserDialogs::Current().AskYesNo(
            window, QStringLiteral("Ссылка ведет за пределы справки:\r\n%1\r\n\r\nОткрыть ее?").arg(address)))
        return false;
    return opener(url);
}

void HelpLauncher::ShowTopic(QWidget *parent, int context, const QString &keyword)
{
    const QString file = HelpFile();
    if (!QFileInfo::exists(file)) {
        UserDialogs::Current().ShowInfo(
            // Lines end in CR LF: a lone CR would not break the line on screen.
            parent,
            QStringLiteral("Файл справочной системы %1 не найден.\r\n"
                           "Руководство пользователя не установлено вместе с программой.\r\n"
                           "Вы можете загрузить его с интернет-сайта разработчика (%2).\r\n"
                           "Загруженные файлы распакуйте в папку %3")
                .arg(QDir::toNativeSeparators(file), AppInfo::HelpDownloadPage,
                     QDir::toNativeSeparators(HelpFolder())));
        return;
    }
    // Read on every call: a help folder replaced while the program runs is used.
    const HelpTopics topics = HelpTopics::Load(HelpFolder());
    QString target = HelpTopics::ContentsPage;
    if (context != 0)
        target = topics.ForContext(context);
    else if (!keyword.isEmpty() && !topics.ForKeyword(keyword).isEmpty())
        target = topics.ForKeyword(keyword);

    if (!window) {
        // Belongs to the main window: it closes with it and stays above it.
        window = new HelpWindow(
            HelpFolder(), [this](const QUrl &url) { return OpenOutside(url); }, parent ? parent->window() : nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->SetTopics(topics);
    window->ShowPage(target);
    window->show();
    window->raise();
    window->activateWindow();
}

bool HelpLauncher::OpenLink(QWidget *parent, const QUrl &url) const
{
    if (opener(url))
        return true;
    const bool mail = url.scheme() == QLatin1String("mailto");
    const QString address = mail ? url.path() : url.toString();
    UserDialogs::Current().ShowWarning(
        parent,
        mail ? QStringLiteral("Не удалось открыть программу электронной почты: в системе она не назначена.\r\n"
                              "Напишите письмо по адресу %1")
                   .arg(address)
             : QStringLiteral("Не удалось открыть интернет-сайт: в системе не назначен браузер.\r\n"
                              "Адрес сайта: %1")
                   .arg(address));
    return false;
}
