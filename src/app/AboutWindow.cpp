#include "AboutWindow.h"

#include "AppInfo.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

TformAbout::TformAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TformAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    auto *title = new QLabel(AppInfo::MainWindowCaption, this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    auto *text = new QLabel(this);
    text->setTextFormat(Qt::RichText);
    text->setOpenExternalLinks(true);
    text->setText(QStringLiteral("Версия %1<br><br>Программа цветового психологического тестирования.<br><br>"
                                 "Интернет-сайт: <a href=\"%2\">%2</a><br>Электронная почта: "
                                 "<a href=\"mailto:%3\">%3</a>")
                      .arg(AppInfo::Version, AppInfo::DeveloperWebSite, AppInfo::SupportEMail));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(420, 220);
}
