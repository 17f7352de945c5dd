#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>

class HelpWindow;
class QWidget;

// The user guide of an installation, shown in the program's own help window,
// and the web and mail links, opened by the system through an opener tests
// can replace.
class HelpLauncher {
public:
    using UrlOpener = std::function<bool(const QUrl &)>;

    // rootFolder ends in '/'.
    explicit HelpLauncher(QString rootFolder);

    QString HelpFolder() const;
    // The contents page: without it the installation has no help.
    QString HelpFile() const;
    void SetUrlOpener(UrlOpener opener);
    bool Open(const QUrl &url) const { return opener(url); }
    // Opens the web site or a mail link; when the system has no program for
    // it, tells the user the address to use by hand.
    bool OpenLink(QWidget *parent, const QUrl &url) const;
    // Opens the topic of the context (0: none) or else of the keyword in the
    // help window, or tells where the help belongs when it is missing.
    void ShowTopic(QWidget *parent, int context, const QString &keyword = {});
    // The help window once a topic was shown; nullptr before or once closed.
    HelpWindow *Window() const;

private:
    QString rootFolder;
    UrlOpener opener;
    QPointer<HelpWindow> window;
};
