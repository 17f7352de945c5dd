#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// The help file of an installation and the web and mail links: opened by
// the system, through an opener tests can replace.
class HelpLauncher {
public:
    using UrlOpener = std::function<bool(const QUrl &)>;

    // rootFolder ends in '/'.
    explicit HelpLauncher(QString rootFolder);

    QString HelpFolder() const;
    QString HelpFile() const;
    void SetUrlOpener(UrlOpener opener);
    bool Open(const QUrl &url) const { return opener(url); }
    // Opens the help file, or tells where it belongs when it is missing.
    void ShowTopic(QWidget *parent, int context, const QString &keyword = {}) const;

private:
    QString rootFolder;
    UrlOpener opener;
};
