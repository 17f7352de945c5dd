#include "app/help/HelpWindow.h"
#include "app/WindowFixture.h"
#include "app/help/HelpLauncher.h"
#include "app/help/HelpTopics.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>

// The user guide in the program's own help window: F1 by page, the licence,
// keywords, the contents, search, and the message of an installation
// without the guide.
namespace {

// The guide the installation ships (the test-data folder need not exist).
const QString ShippedHelp = QDir::cleanPath(QStringLiteral(PALETTOR_TEST_DATA "/../../install/Help"));

void CopyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + QDir(from).relativeFilePath(file).prepend(QLatin1Char('/'));
        QDir().mkpath(QFileInfo(target).path());
        ASSERT_TRUE(QFile::copy(file, target)) << target.toStdString();
    }
}

class HelpWindowTest : public WindowFixture {
protected:
    QList<QUrl> opened;

    void StartWithHelp()
    {
        CopyFolder(ShippedHelp, install.Root() + QStringLiteral("Help"));
        StartWindow();
        w->Help().SetUrlOpener([this](const QUrl &url) {
            opened << url;
            return true;
        });
    }
    QString Shown() const { return w->Help().Window() ? w->Help().Window()->CurrentPage() : QString(); }
};

TEST_F(HelpWindowTest, F1OpensThePageOfTheCurrentPageAndTheLicenceItsOwn)
{
    StartWithHelp();
    Find<QAction>(*w, "actHelpContents")->trigger();
    EXPECT_EQ(Shown(), QStringLiteral("index.html")); // before any page change
    ASSERT_NE(w->Help().Window(), nullptr);
    EXPECT_TRUE(w->Help().Window()->isVisible());
    const struct {
        int page;
        const char *topic;
    } pages[] = {{1, "results.html"}, {2, "preferences.html"}, {0, "testing.html"}};
    for (const auto &page : pages) {
        Find<QTabWidget>(*w, "TeSPageControl")->setCurrentIndex(page.page);
        Find<QAction>(*w, "actHelpContents")->trigger();
        EXPECT_EQ(Shown(), QString::fromLatin1(page.topic)) << page.page;
    }
    Find<QAction>(*w, "actHelpLicenseAgreement")->trigger();
    EXPECT_EQ(Shown(), QStringLiteral("licence.html"));
    EXPECT_TRUE(Find<QTextBrowser>(*w->Help().Window(), "helpBrowser")
                    ->toPlainText()
                    .contains(QStringLiteral("Лицензионное соглашение")));
    EXPECT_TRUE(dialogs.infos.isEmpty());

    // Back and forward walk the pages shown.
    QAction *back = Find<QAction>(*w->Help().Window(), "helpBack");
    ASSERT_TRUE(back->isEnabled());
    back->trigger();
    EXPECT_EQ(Shown(), QStringLiteral("testing.html"));
    Find<QAction>(*w->Help().Window(), "helpForward")->trigger();
    EXPECT_EQ(Shown(), QStringLiteral("licence.html"));
}

TEST_F(HelpWindowTest, KeywordsOpenTheirTopicWhateverTheCase)
{
    StartWithHelp();
    const struct {
        const char *keyword;
        const char *topic;
    } cases[] = {
        {"регистрация", "testing.html#registration"},
        {"Резервная копия", "data.html#backup"},
        {"цто", "testing.html#relations"},
        {"Поиск", "results.html#search"},
        {"экспорт списка", "results.html#export-list"},
        {"проверка экрана", "preferences.html#screen-check"},
        {"бездействие", "preferences.html#idle-clear"},
        {"нет такого слова", "index.html"},
    };
    for (const auto &c : cases) {
        w->Help().ShowTopic(w.get(), 0, QString::fromUtf8(c.keyword));
        EXPECT_EQ(Shown(), QString::fromUtf8(c.topic)) << c.keyword;
    }
}

TEST_F(HelpWindowTest, EveryShippedTopicLeadsToAnExistingPageAndAnchor)
{
    const QString folder = ShippedHelp + QLatin1Char('/');
    QFile file(folder + QStringLiteral("topics.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QStringList targets;
    for (const char *group : {"contexts", "keywords"})
        for (const QJsonValue &value : root.value(QString::fromLatin1(group)).toObject())
            targets << value.toString();
    ASSERT_GE(targets.size(), 40);
    const HelpTopics topics = HelpTopics::Load(folder);
    for (int context : {1000, 1001, 1002, 1003, 2000})
        EXPECT_TRUE(targets.contains(topics.ForContext(context))) << context;
    for (const QString &target : targets) {
        const QString page = target.section(QLatin1Char('#'), 0, 0);
        const QString anchor = target.section(QLatin1Char('#'), 1);
        QFile html(folder + page);
        ASSERT_TRUE(html.open(QIODevice::ReadOnly)) << target.toStdString();
        if (!anchor.isEmpty() && anchor != QLatin1String("top")) {
            const QRegularExpression named(QStringLiteral("(name|id)=\"%1\"").arg(QRegularExpression::escape(anchor)));
            EXPECT_TRUE(QString::fromUtf8(html.readAll()).contains(named)) << target.toStdString();
        }
    }
}

TEST_F(HelpWindowTest, ContentsFollowTheContentsPageAndSearchFindsPages)
{
    StartWithHelp();
    Find<QAction>(*w, "actHelpContents")->trigger();
    HelpWindow *help = w->Help().Window();
    ASSERT_NE(help, nullptr);
    auto *contents = Find<QTreeWidget>(*help, "helpContents");
    ASSERT_EQ(contents->topLevelItemCount(), 1);
    QTreeWidgetItem *top = contents->topLevelItem(0);
    // Start, testing, results, statistics, preferences, knowledge base, data,
    // licence.
    ASSERT_EQ(top->childCount(), 8);
    EXPECT_EQ(top->child(1)->text(0), QStringLiteral("Страница «Тестирование»"));
    ASSERT_GE(top->child(1)->childCount(), 2);
    emit contents->itemClicked(top->child(1)->child(1), 0);
    EXPECT_EQ(Shown(), QStringLiteral("testing.html#registration"));

    EXPECT_EQ(help->Search(QStringLiteral("пароль администратора")).size() >= 1, true);
    EXPECT_TRUE(help->Search(QStringLiteral("ЛИЦЕНЗИОННОЕ")).contains(QStringLiteral("licence.html")));
    EXPECT_TRUE(help->Search(QStringLiteral("zzzqqq несуществующее")).isEmpty());

    // A link out of the guide goes to the system once agreed, not into the help browser.
    const QString before = Shown();
    dialogs.yesNoAnswers.push_back(true);
    emit Find<QTextBrowser>(*help, "helpBrowser")->anchorClicked(QUrl(QStringLiteral("https://example.org/")));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].host(), QStringLiteral("example.org"));
    EXPECT_EQ(Shown(), before);
}

TEST_F(HelpWindowTest, WithoutTheGuideTheMessageNamesTheFileAndNothingOpens)
{
    StartWindow();
    w->Help().SetUrlOpener([this](const QUrl &url) {
        opened << url;
        return true;
    });
    Find<QAction>(*w, "actHelpContents")->trigger();
    Find<QAction>(*w, "actHelpLicenseAgreement")->trigger();
    ASSERT_EQ(dialogs.infos.size(), 2);
    const QString file = install.Root() + QStringLiteral("Help/index.html");
    EXPECT_EQ(w->Help().HelpFile(), file);
    EXPECT_TRUE(dialogs.infos[0].startsWith(QStringLiteral("Файл справочной системы ") + QDir::toNativeSeparators(file)
                                            + QStringLiteral(" не найден.")));
    EXPECT_TRUE(dialogs.infos[0].contains(w->Help().HelpFolder()));
    EXPECT_EQ(w->Help().Window(), nullptr);
    EXPECT_TRUE(opened.isEmpty());

    // Without topics.json every topic is the contents page.
    QDir(install.Root()).mkpath(QStringLiteral("Help"));
    WriteBytes(file, "<html><body><p>Содержание</p></body></html>");
    Find<QAction>(*w, "actHelpLicenseAgreement")->trigger();
    EXPECT_EQ(Shown(), QStringLiteral("index.html"));

    Find<QAction>(*w, "actHelpWWW")->trigger();
    Find<QAction>(*w, "actHelpEMail")->trigger();
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0].scheme(), QStringLiteral("https"));
    EXPECT_EQ(opened[1].scheme(), QStringLiteral("mailto"));
}

// Links of a help page that leave the help folder (another folder, the
// data, the web): in testing mode none opens, otherwise each is asked about
// first; links between the pages open without a question.
TEST_F(HelpWindowTest, LinksOutOfTheGuideAreAskedAboutAndNeverOpenInTestingMode)
{
    const QString outside[] = {QStringLiteral("file:///etc/passwd"), QStringLiteral("../Data/"),
                               QStringLiteral("https://example.org/")};
    auto clickAll = [&] {
        Find<QAction>(*w, "actHelpContents")->trigger();
        auto *browser = Find<QTextBrowser>(*w->Help().Window(), "helpBrowser");
        for (const QString &link : outside)
            emit browser->anchorClicked(QUrl(link));
        emit browser->anchorClicked(QUrl(QStringLiteral("licence.html")));
        EXPECT_EQ(Shown(), QStringLiteral("licence.html"));
    };

    install.Store(QStringLiteral("AskAdminPassword"), 1);
    install.Store(QStringLiteral("AdminPassword"), QStringLiteral("secret"));
    passwords.typed.push_back(std::nullopt); // testing mode
    StartWithHelp();
    ASSERT_FALSE(w->AdministratorMode());
    clickAll();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(dialogs.questions.isEmpty());
    ASSERT_EQ(dialogs.infos.size(), 3);
    EXPECT_TRUE(dialogs.infos[0].contains(QStringLiteral("/etc/passwd"))) << dialogs.infos[0].toStdString();
    EXPECT_TRUE(dialogs.infos[1].contains(QDir::toNativeSeparators(install.Root() + QStringLiteral("Data"))))
        << dialogs.infos[1].toStdString();

    // The administrator is asked; only what is agreed to opens.
    passwords.typed.push_back(QStringLiteral("secret"));
    w->Authorise();
    ASSERT_TRUE(w->AdministratorMode());
    dialogs.infos.clear();
    dialogs.yesNoAnswers = {false, true, true};
    clickAll();
    ASSERT_EQ(dialogs.questions.size(), 3);
    EXPECT_TRUE(dialogs.questions[2].contains(QStringLiteral("https://example.org/")));
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_TRUE(opened[0].toLocalFile().startsWith(install.Root() + QStringLiteral("Data")))
        << opened[0].toString().toStdString();
    EXPECT_EQ(opened[1].host(), QStringLiteral("example.org"));
    EXPECT_TRUE(dialogs.infos.isEmpty());
}

TEST(HelpTopicsTest, TargetsOutsideTheHelpFolderAreIgnored)
{
    QTemporaryDir dir;
    WriteBytes(dir.path() + QStringLiteral("/topics.json"),
               R"({"contexts": {"1001": "../../etc/passwd", "1002": "results.html", "x": "a.html",
                                "1003": "file:///etc/passwd"},
                  "keywords": {"a": "/etc/passwd", " Фильтр ": "results.html#filters"}})");
    const HelpTopics topics = HelpTopics::Load(dir.path() + QLatin1Char('/'));
    EXPECT_EQ(topics.ForContext(1001), QStringLiteral("index.html"));
    EXPECT_EQ(topics.ForContext(1002), QStringLiteral("results.html"));
    EXPECT_EQ(topics.ForContext(1003), QStringLiteral("index.html"));
    EXPECT_EQ(topics.ForKeyword(QStringLiteral("a")), QString());
    EXPECT_EQ(topics.ForKeyword(QStringLiteral("фильтр")), QStringLiteral("results.html#filters"));
    EXPECT_EQ(topics.Keywords(), QStringList{QStringLiteral("Фильтр")});
}

// Every link between the pages reaches an existing page and anchor, and
// every picture exists at the size its page gives it.
TEST(HelpGuideTest, EveryLinkAndPictureOfTheGuideLeadsSomewhere)
{
    const QDir folder(ShippedHelp);
    const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    const QRegularExpression img(QStringLiteral("<img src=\"([^\"]*)\"[^>]*width=\"(\\d+)\" height=\"(\\d+)\""));
    const auto read = [&folder](const QString &page) {
        QFile file(folder.filePath(page));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    int links = 0;
    int pictures = 0;
    for (const QString &page : folder.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        const QString text = read(page);
        for (const QRegularExpressionMatch &m : href.globalMatch(text)) {
            const QString target = m.captured(1);
            if (target.startsWith(QLatin1String("http")) || target.startsWith(QLatin1String("mailto:")))
                continue;
            const QString file = target.section(QLatin1Char('#'), 0, 0);
            const QString anchor = target.section(QLatin1Char('#'), 1);
            const QString linked = file.isEmpty() ? text : read(file);
            ++links;
            EXPECT_FALSE(linked.isEmpty()) << page.toStdString() << " -> " << target.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(linked.contains(QStringLiteral("id=\"%1\"").arg(anchor)))
                    << page.toStdString() << " -> " << target.toStdString();
            }
        }
        for (const QRegularExpressionMatch &m : img.globalMatch(text)) {
            const QImage picture(folder.filePath(m.captured(1)));
            ++pictures;
            EXPECT_EQ(picture.size(), QSize(m.captured(2).toInt(), m.captured(3).toInt()))
                << page.toStdString() << ": " << m.captured(1).toStdString();
        }
    }
    EXPECT_GE(links, 100);
    EXPECT_GE(pictures, 11);
}

} // namespace
