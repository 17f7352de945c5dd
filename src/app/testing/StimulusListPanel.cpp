#include "app/testing/StimulusListPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

StimulusListPanel::StimulusListPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TePanel7"));
    auto *box = new QVBoxLayout(this);
    box->addWidget(new QLabel(QStringLiteral("Предопределенные стимульные наборы"), this));
    setChoice = new QComboBox(this);
    setChoice->setObjectName(QStringLiteral("cbStimulSet"));
    setChoice->setEditable(false);
    box->addWidget(setChoice);
    box->addWidget(new QLabel(QStringLiteral("Список значимых лиц и понятий"), this));
    box->addWidget(new QLabel(QStringLiteral("(по одному в отдельной строке)"), this));
    list = new QPlainTextEdit(this);
    list->setObjectName(QStringLiteral("memoStimulItems"));
    list->setMinimumSize(360, 220);
    box->addWidget(list, 1);
    auto *done = new QPushButton(QStringLiteral("Продолжить"), this);
    done->setObjectName(QStringLiteral("btnStimulDone"));
    box->addWidget(done, 0, Qt::AlignRight);

    connect(done, &QPushButton::clicked, this, &StimulusListPanel::confirmed);
    connect(setChoice, &QComboBox::currentIndexChanged, this, &StimulusListPanel::FillList);
}

void StimulusListPanel::SetSets(const StimulusSets &value)
{
    sets = value;
    const QSignalBlocker quiet(setChoice);
    setChoice->clear();
    for (const auto &name : sets.Names)
        setChoice->addItem(QString::fromStdString(name));
    setChoice->setCurrentIndex(-1);
    if (setChoice->count() > 0) {
        setChoice->setCurrentIndex(0);
        FillList(0); // choosing the first set fills the list, as a change would
    }
}

std::vector<std::string> StimulusListPanel::Lines() const
{
    return SplitStimulusLines(list->toPlainText().toStdString());
}

void StimulusListPanel::FocusList() { list->setFocus(Qt::OtherFocusReason); }

void StimulusListPanel::FillList(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= sets.Values.size())
        return;
    QStringList lines;
    for (const auto &word : SplitStimulusSet(sets.Values[static_cast<size_t>(index)]))
        lines << QString::fromStdString(word);
    list->setPlainText(lines.join(QLatin1Char('\n')));
}
