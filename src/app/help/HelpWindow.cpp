#include "app/help/HelpWindow.h"

#include "app/window/AppInfo.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextList>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

namespace {
constexpr int TargetRole = Qt::UserRole;
// A help page is a few dozen kilobytes; a larger file is not one of ours.
constexpr qint64 MaxPageBytes = 4 * 1024 * 1024;

QString readPage(const QString &path)
{
    QFile file(path);
    if (file.size() > MaxPageBytes || !file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

struct ContentsLink {
    int level;
    QString title;
    QString target;
};

// The links that begin a list item of the contents page, with the depth of
// their list: the contents tree follows the page, so the two never differ.
std::vector<ContentsLink> contentsLinks(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    std::vector<ContentsLink> links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!block.textList())
            continue;
        QString title;
        QString target;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString href = fragment.charFormat().anchorHref();
            if (target.isEmpty() && (href.isEmpty() || fragment.position() != block.position()))
                break; // the item does not begin with a link
            if (href != target && !target.isEmpty())
                break;
            target = href;
            title += fragment.text();
        }
        if (!target.isEmpty())
            links.push_back({block.textList()->format().indent(), title.simplified(), target});
    }
    return links;
}
} // namespace

HelpWindow::HelpWindow(const QString &helpFolder, UrlOpener urlOpener, QWidget *parent)
    : QWidget(parent, Qt::Window), folder(helpFolder), opener(std::move(urlOpener))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Справка - %1").arg(AppInfo::ProductName));

    browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("helpBrowser"));
    browser->setOpenLinks(false);
    browser->setSearchPaths({folder});
    connect(browser, &QTextBrowser::anchorClicked, this, &HelpWindow::OpenLink);

    auto *toolBar = new QToolBar(this);
    auto *back = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Назад"), browser,
                                    &QTextBrowser::backward);
    back->setObjectName(QStringLiteral("helpBack"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    auto *forward = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Вперед"),
                                       browser, &QTextBrowser::forward);
    forward->setObjectName(QStringLiteral("helpForward"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    auto *home = toolBar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Содержание"), this,
                                    [this] { ShowPage(HelpTopics::ContentsPage); });
    home->setObjectName(QStringLiteral("helpHome"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    sideTabs = new QTabWidget(this);
    sideTabs->setObjectName(QStringLiteral("helpTabs"));
    contents = new QTreeWidget(sideTabs);
    contents->setObjectName(QStringLiteral("helpContents"));
    contents->setHeaderHidden(true);
    sideTabs->addTab(contents, QStringLiteral("Содержание"));
    connect(contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { ShowPage(item->data(0, TargetRole).toString()); });
    connect(contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { ShowPage(item->data(0, TargetRole).toString()); });

    auto *indexPage = new QWidget(sideTabs);
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexFilter = new QLineEdit(indexPage);
    indexFilter->setObjectName(QStringLiteral("helpIndexFilter"));
    indexFilter->setPlaceholderText(QStringLiteral("Начало ключевого слова"));
    index = new QListWidget(indexPage);
    index->setObjectName(QStringLiteral("helpIndex"));
    indexLayout->addWidget(indexFilter);
    indexLayout->addWidget(index, 1);
    sideTabs->addTab(indexPage, QStringLiteral("Указатель"));
    connect(indexFilter, &QLineEdit::textChanged, this, &HelpWindow::FillIndex);
    auto openKeyword = [this](QListWidgetItem *item) { ShowPage(topics.ForKeyword(item->text())); };
    connect(index, &QListWidget::itemActivated, this, openKeyword);
    connect(index, &QListWidget::itemClicked, this, openKeyword);

    auto *searchPage = new QWidget(sideTabs);
    auto *searchLayout = new QVBoxLayout(searchPage);
    auto *searchLine = new QHBoxLayout;
    searchEdit = new QLineEdit(searchPage);
    searchEdit->setObjectName(QStringLiteral("helpSearchEdit"));
    searchEdit->setPlaceholderText(QStringLiteral("Слова для поиска"));
    auto *searchButton = new QPushButton(QStringLiteral("Найти"), searchPage);
    searchLine->addWidget(searchEdit, 1);
    searchLine->addWidget(searchButton);
    searchResults = new QListWidget(searchPage);
    searchResults->setObjectName(QStringLiteral("helpSearchResults"));
    searchLayout->addLayout(searchLine);
    searchLayout->addWidget(searchResults, 1);
    sideTabs->addTab(searchPage, QStringLiteral("Поиск"));
    auto runSearch = [this] { Search(searchEdit->text()); };
    connect(searchEdit, &QLineEdit::returnPressed, this, runSearch);
    connect(searchButton, &QPushButton::clicked, this, runSearch);
    auto openFound = [this](QListWidgetItem *item) {
        ShowPage(item->data(TargetRole).toString());
        const QStringList words = searchEdit->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!words.isEmpty())
            browser->find(words.first());
    };
    connect(searchResults, &QListWidget::itemActivated, this, openFound);
    connect(searchResults, &QListWidget::itemClicked, this, openFound);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(sideTabs);
    splitter->addWidget(browser);
    splitter->setStretchFactor(1, 1);
    // The three tabs of the side pane stay readable.
    sideTabs->setMinimumWidth(sideTabs->tabBar()->sizeHint().width() + 8);
    splitter->setSizes({sideTabs->minimumWidth(), 920 - sideTabs->minimumWidth()});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(splitter, 1);
    resize(920, 640);

    BuildContents();
}

void HelpWindow::BuildContents()
{
    contents->clear();
    auto *top = new QTreeWidgetItem(contents, {QStringLiteral("Содержание")});
    top->setData(0, TargetRole, HelpTopics::ContentsPage);
    // Parents by list depth; a deeper item hangs under the last shallower one.
    std::vector<std::pair<int, QTreeWidgetItem *>> parents{{0, top}};
    for (const ContentsLink &link : contentsLinks(readPage(folder + HelpTopics::ContentsPage))) {
        while (parents.size() > 1 && parents.back().first >= link.level)
            parents.pop_back();
        auto *item = new QTreeWidgetItem(parents.back().second, {link.title});
        item->setData(0, TargetRole, link.target);
        parents.emplace_back(link.level, item);
    }
    contents->expandToDepth(0);
}

void HelpWindow::SetTopics(const HelpTopics &value)
{
    topics = value;
    FillIndex(indexFilter->text());
}

void HelpWindow::FillIndex(const QString &filter)
{
    index->clear();
    for (const QString &keyword : topics.Keywords())
        if (keyword.startsWith(filter.trimmed(), Qt::CaseInsensitive))
            index->addItem(keyword);
}

void HelpWindow::ShowPage(const QString &target)
{
    if (target.isEmpty())
        return;
    const qsizetype hash = target.indexOf(QLatin1Char('#'));
    QUrl url = QUrl::fromLocalFile(folder + (hash < 0 ? target : target.left(hash)));
    if (hash >= 0)
        url.setFragment(target.mid(hash + 1));
    browser->setSource(url, QTextDocument::HtmlResource);
}

QString HelpWindow::CurrentPage() const
{
    const QUrl source = browser->source();
    QString page = QDir(folder).relativeFilePath(source.toLocalFile());
    if (source.hasFragment())
        page += QLatin1Char('#') + source.fragment();
    return page;
}

void HelpWindow::OpenLink(const QUrl &url)
{
    // Links between the pages are relative; anything with another scheme
    // (the developer's site, mail) is the system's to open.
    const QUrl resolved = browser->source().resolved(url);
    if (resolved.isLocalFile()) {
        const QString path = QDir::cleanPath(resolved.toLocalFile());
        if (path.startsWith(QDir::cleanPath(folder) + QLatin1Char('/'))) {
            browser->setSource(resolved, QTextDocument::HtmlResource);
            return;
        }
    }
    if (opener)
        opener(resolved);
}

const HelpWindow::PageText &HelpWindow::TextOf(const QString &page)
{
    auto found = pageTexts.find(page);
    if (found == pageTexts.end()) {
        QTextDocument document;
        document.setHtml(readPage(folder + page));
        found =
            pageTexts.insert(page, {document.metaInformation(QTextDocument::DocumentTitle), document.toPlainText()});
    }
    return *found;
}

QStringList HelpWindow::Search(const QString &query)
{
    searchEdit->setText(query);
    searchResults->clear();
    const QStringList words = query.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList found;
    if (words.isEmpty())
        return found;
    const QStringList pages = QDir(folder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    for (const QString &page : pages) {
        const PageText &shown = TextOf(page);
        bool all = true;
        for (const QString &word : words)
            all = all && shown.Text.contains(word, Qt::CaseInsensitive);
        if (!all)
            continue;
        found << page;
        auto *item = new QListWidgetItem(shown.Title.isEmpty() ? page : shown.Title, searchResults);
        item->setData(TargetRole, page);
    }
    sideTabs->setCurrentIndex(2);
    if (found.isEmpty()) {
        auto *none = new QListWidgetItem(QStringLiteral("Ничего не найдено"), searchResults);
        none->setFlags(Qt::NoItemFlags);
        return found;
    }
    ShowPage(found.first());
    browser->find(words.first());
    return found;
}
