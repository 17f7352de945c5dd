#include "app/testing/ChooserPanel.h"

#include "testing/TestKinds.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {
// Button names by kind code, as the window's other parts know them.
QString ButtonName(int kind)
{
    switch (kind) {
    case 1:
        return QStringLiteral("TeButton2");
    case 2:
        return QStringLiteral("TeButton3");
    case 3:
        return QStringLiteral("TeButton4");
    default:
        return QStringLiteral("TeButton1");
    }
}
} // namespace

ChooserPanel::ChooserPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TePanel5"));
    auto *grid = new QGridLayout(this);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(0, 1);
    for (int kind = 1; kind <= TestKindCount; ++kind) {
        const int row = (kind - 1) * 3;
        auto *title = new QLabel(QString::fromStdString(TestKindChooserTitle(kind)), this);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        auto *description = new QLabel(QString::fromStdString(TestKindDescription(kind)), this);
        description->setWordWrap(true);
        title->setTextFormat(Qt::PlainText);
        description->setTextFormat(Qt::PlainText);
        auto *button = new QPushButton(QStringLiteral("Приступить к тестированию"), this);
        button->setObjectName(ButtonName(kind));
        button->setProperty("tag", kind);
        grid->addWidget(title, row, 0, 1, 2);
        grid->addWidget(description, row + 1, 0);
        grid->addWidget(button, row + 1, 1, Qt::AlignBottom);
        grid->setRowMinimumHeight(row + 2, 12);
        connect(button, &QPushButton::clicked, this, [this, kind] { emit kindChosen(kind); });
    }
}

QPushButton *ChooserPanel::StartButton(int kind) const
{
    return IsValidTestKind(kind) ? findChild<QPushButton *>(ButtonName(kind)) : nullptr;
}
