#include "app/window/AboutWindow.h"

#include "BuildDate.h"
#include "app/help/HelpLauncher.h"
#include "app/window/AppInfo.h"
#include "core/KnowledgeBaseFile.h"
#include "core/RussianPlural.h"
#include "qtkit/DateTimeText.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {
constexpr int AboutLicenceContext = 2000;

QString escaped(const QString &text) { return text.toHtmlEscaped(); }

// The base as the program read it: a missing or foreign file is named as such,
// so the administrator sees why the conclusions hold no looked-up texts.
QString knowledgeBaseText(const AboutFacts &facts)
{
    if (!facts.KnowledgeBaseProblem.isEmpty())
        return escaped(facts.KnowledgeBaseProblem);
    const QString path = escaped(QDir::toNativeSeparators(facts.KnowledgeBaseFile));
    const auto header = ReadKnowledgeBaseHeader(QFile::encodeName(facts.KnowledgeBaseFile).toStdString());
    if (!header)
        return QStringLiteral("База знаний: не найдена (файл %1 отсутствует или не является базой знаний); "
                              "заключения составляются без текстов базы.")
            .arg(path);
    return QStringLiteral("База знаний: %1, записана %2<br>Файл: %3")
        .arg(QString::fromStdString(CountWithNoun(facts.EntriesLoaded, "запись", "записи", "записей")),
             FormatOleDateTime(header->Written, QStringLiteral("dd.MM.yyyy")), path);
}
} // namespace

TformAbout::TformAbout(const AboutFacts &facts, HelpLauncher &help, QWidget *parent) : TformAbout(facts, parent)
{
    // The licence in the help, the links through the window's opener.
    connect(this, &TformAbout::licenceRequested, this,
            [&help, parent] { help.ShowTopic(parent, AboutLicenceContext); });
    connect(this, &TformAbout::linkRequested, this, [&help](const QUrl &url) { help.Open(url); });
}

TformAbout::TformAbout(const AboutFacts &facts, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TformAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    auto *title = new QLabel(AppInfo::MainWindowCaption, this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    text = new QLabel(this);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setTextFormat(Qt::RichText);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    text->setOpenExternalLinks(false);
    text->setText(
        QStringLiteral("Программа цветового психологического тестирования.<br>"
                       "Версия %1, сборка от %2<br><br>%3<br>Папка результатов: %4<br><br>"
                       "Программа распространяется на условиях "
                       "<a href=\"licence\">лицензионного соглашения</a>.<br>"
                       "Использует библиотеку Qt 6 на условиях лицензии GNU LGPL версии 3; исходные тексты Qt "
                       "доступны в Debian (apt-get source qt6-base) и на сайте проекта Qt (qt.io).<br><br>"
                       "Интернет-сайт: <a href=\"%5\">%5</a><br>Электронная почта: <a href=\"mailto:%6\">%6</a>")
            .arg(AppInfo::Version, QStringLiteral(PALETTOR_BUILD_DATE), knowledgeBaseText(facts),
                 escaped(QDir::toNativeSeparators(facts.DataFolder)), AppInfo::DeveloperWebSite,
                 AppInfo::SupportEMail));
    connect(text, &QLabel::linkActivated, this, [this](const QString &link) {
        if (link == QLatin1String("licence")) {
            accept(); // the help window is not to open behind a modal one
            emit licenceRequested();
        } else {
            emit linkRequested(QUrl(link));
        }
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addStretch();
    layout->addWidget(buttons);
    setMinimumWidth(520);
}

QString TformAbout::Text() const
{
    QTextDocument document;
    document.setHtml(text->text());
    return document.toPlainText();
}
