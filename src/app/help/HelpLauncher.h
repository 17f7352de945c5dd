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
    // True while the station is in testing mode: the help then opens no link
    // that leaves its folder (a tested person is not to reach files or the
    // web from it); otherwise it asks before opening one.
    void SetTestingMode(std::function<bool()> testingMode);
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
    // A link of a help page that leaves the help folder.
    bool OpenOutside(const QUrl &url) const;

    QString rootFolder;
    UrlOpener opener;
    std::function<bool()> testingMode;
    QPointer<HelpWindow> window;
};
