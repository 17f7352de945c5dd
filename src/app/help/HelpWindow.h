#pragma once

#include "app/help/HelpTopics.h"

#include <QHash>
#include <QUrl>
#include <QWidget>

#include <functional>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

// The user guide inside the program: the pages of the help folder in a
// browser, with the contents (the links of the contents page), the keyword
// index, a search over every page, and back and forward. Works without a
// web browser; links out of the folder go to the opener.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl &)>;

    // helpFolder ends in '/'.
    HelpWindow(const QString &helpFolder, UrlOpener opener, QWidget *parent = nullptr);

    // A page of the help folder, with an anchor or not ("results.html#list").
    void ShowPage(const QString &target);
    // Re-reads topics.json: a replaced help folder is used without a restart.
    void SetTopics(const HelpTopics &topics);
    // The page shown, relative to the help folder, with its anchor.
    QString CurrentPage() const;
    // Pages holding every word of the query, in name order; they are listed
    // on the search tab, and the first is shown with the first word marked.
    QStringList Search(const QString &query);

private:
    void BuildContents();
    void FillIndex(const QString &filter);
    void OpenLink(const QUrl &url);
    struct PageText {
        QString Title;
        QString Text;
    };
    const PageText &TextOf(const QString &page);

    QString folder;
    UrlOpener opener;
    HelpTopics topics;
    QHash<QString, PageText> pageTexts; // read once, for the search

    QTabWidget *sideTabs;
    QTreeWidget *contents;
    QLineEdit *indexFilter;
    QListWidget *index;
    QLineEdit *searchEdit;
    QListWidget *searchResults;
    QTextBrowser *browser;
};
