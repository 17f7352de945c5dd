#include "results/ResultsToolBar.h"

#include "results/FlowLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>

#include <algorithm>

ResultsToolBar::ResultsToolBar(const QList<QAction *> &fileActions, const QList<QAction *> &printActions,
                               const QList<QAction *> &listActions, QWidget *parent)
    : QWidget(parent)
{
    auto *flow = new FlowLayout(this, 0);
    const auto group = [this, flow](const char *name, const QList<QAction *> &actions) {
        auto *bar = new QToolBar(this);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
        bar->addActions(actions);
        flow->addWidget(bar);
    };
    group("ResultsToolBar", fileActions);
    group("ResultsPrintToolBar", printActions);
    group("ResultsListToolBar", listActions);
    flow->addWidget(buildSearchField());
}

QWidget *ResultsToolBar::buildSearchField()
{
    auto *row = new QWidget(this);
    searchField = new QLineEdit(row);
    searchField->setObjectName(QStringLiteral("editResultsSearch"));
    searchField->setPlaceholderText(QStringLiteral("Поиск по фамилии, имени или отчеству"));
    searchField->setToolTip(QStringLiteral("Показывает только тех, чьи фамилия, имя или отчество содержат "
                                           "набранный текст (без учета регистра; «ё» и «е» не различаются)"));
    searchField->setClearButtonEnabled(true);
    // Wide enough for its hint and the clear button.
    searchField->setMinimumWidth(
        std::max(200, searchField->fontMetrics().horizontalAdvance(searchField->placeholderText()) + 48));
    connect(searchField, &QLineEdit::textChanged, this, &ResultsToolBar::searchChanged);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("Найти:"), row);
    caption->setBuddy(searchField);
    layout->addWidget(caption);
    layout->addWidget(searchField, 1);
    return row;
}
