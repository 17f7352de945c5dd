#include "results/CollapsiblePanel.h"

#include <QToolButton>
#include <QVBoxLayout>

CollapsiblePanel::CollapsiblePanel(const QString &caption, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    header = new QToolButton(this);
    header->setObjectName(QStringLiteral("header"));
    header->setText(caption);
    header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    header->setArrowType(Qt::DownArrow);
    header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    header->setAutoRaise(false);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    layout->addWidget(header);

    content = new QWidget(this);
    contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(6, 4, 6, 6);
    contentLayout->setSpacing(2);
    layout->addWidget(content);

    connect(header, &QToolButton::clicked, this, [this] { SetRolled(!rolled); });
}

void CollapsiblePanel::SetRolled(bool value)
{
    if (value == rolled)
        return;
    rolled = value;
    content->setVisible(!rolled);
    header->setArrowType(rolled ? Qt::RightArrow : Qt::DownArrow);
    emit Rollup(rolled);
}
