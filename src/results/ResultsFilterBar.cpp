#include "results/ResultsFilterBar.h"

#include "results/FlowLayout.h"
#include "testing/TestKinds.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSettings>
#include <QToolButton>

namespace {
const QString AnyGroup = QStringLiteral("Любая группа");
}

ResultsFilterBar::ResultsFilterBar(QAction *filter, QAction *showAll, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("filterBar"));
    // The bar wraps: beside the side bar the list is narrower than one row
    // of all the filter controls.
    auto *layout = new FlowLayout(this, 6);

    cbFilterTest = new QComboBox(this);
    cbFilterTest->setObjectName(QStringLiteral("cbFilterTest"));
    cbFilterTest->addItem(QString::fromStdString(AnyTestListName));
    for (int kind = 1; kind <= TestKindCount; ++kind)
        cbFilterTest->addItem(QString::fromStdString(TestKindListName(kind)));

    cbFilterGroup = new QComboBox(this);
    cbFilterGroup->setObjectName(QStringLiteral("cbFilterGroup"));
    cbFilterGroup->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cbFilterGroup->setMinimumContentsLength(12);
    cbFilterGroup->addItem(AnyGroup);

    cbFilterSex = new QComboBox(this);
    cbFilterSex->setObjectName(QStringLiteral("cbFilterSex"));
    cbFilterSex->addItems({QStringLiteral("Любой пол"), QStringLiteral("Мужчины"), QStringLiteral("Женщины")});

    checkFilterAge = new QCheckBox(QStringLiteral("Ограничить по возрасту"), this);
    checkFilterAge->setObjectName(QStringLiteral("checkFilterAge"));
    connect(checkFilterAge, &QCheckBox::clicked, this, &ResultsFilterBar::followAgeCheck);

    auto ageField = [this](const char *name, double value) {
        auto *field = new QDoubleSpinBox(this);
        field->setObjectName(QString::fromLatin1(name));
        field->setRange(0, 150);
        field->setDecimals(1);
        field->setSingleStep(1);
        field->setValue(value);
        field->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
        return field;
    };
    seFilterAgeMin = ageField("seFilterAgeMin", 0);
    seFilterAgeMax = ageField("seFilterAgeMax", 150);

    auto button = [this](QAction *action) {
        auto *b = new QToolButton(this);
        b->setDefaultAction(action);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return b;
    };

    // Controls that belong together wrap together.
    auto group = [this](std::initializer_list<QWidget *> widgets) {
        auto *box = new QWidget(this);
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(4);
        for (QWidget *w : widgets)
            row->addWidget(w);
        return box;
    };
    layout->addWidget(cbFilterTest);
    layout->addWidget(cbFilterGroup);
    layout->addWidget(cbFilterSex);
    layout->addWidget(group({checkFilterAge, seFilterAgeMin, new QLabel(QStringLiteral("–"), this), seFilterAgeMax}));
    layout->addWidget(group({button(filter), button(showAll)}));
    followAgeCheck();
}

ResultsFilter ResultsFilterBar::CurrentFilter() const
{
    ResultsFilter filter;
    filter.TestIndex = cbFilterTest->currentIndex();
    filter.GroupIndex = cbFilterGroup->currentIndex();
    filter.GroupText = cbFilterGroup->currentText().toStdString();
    filter.SexIndex = cbFilterSex->currentIndex();
    filter.AgeLimited = checkFilterAge->isChecked();
    filter.AgeMin = seFilterAgeMin->value();
    filter.AgeMax = seFilterAgeMax->value();
    return filter;
}

void ResultsFilterBar::SetLocale(const QLocale &locale)
{
    seFilterAgeMin->setLocale(locale);
    seFilterAgeMax->setLocale(locale);
}

void ResultsFilterBar::SetUserGroups(const QStringList &groups, int groupIndex)
{
    cbFilterGroup->clear();
    cbFilterGroup->addItem(AnyGroup);
    cbFilterGroup->addItems(groups);
    cbFilterGroup->setCurrentIndex(groupIndex >= 0 && groupIndex < cbFilterGroup->count() ? groupIndex : 0);
}

int ResultsFilterBar::GroupIndex() const { return cbFilterGroup->currentIndex(); }

void ResultsFilterBar::RestorePlacement(QSettings &store)
{
    auto index = [&store](const char *key, QComboBox *box) {
        bool ok = false;
        const int value = store.value(QString::fromLatin1(key), 0).toInt(&ok);
        box->setCurrentIndex(ok && value >= 0 && value < box->count() ? value : 0);
    };
    index("cbFilterTest.ItemIndex", cbFilterTest);
    index("cbFilterSex.ItemIndex", cbFilterSex);
    checkFilterAge->setChecked(store.value(QStringLiteral("checkFilterAge.Checked"), false).toBool());
    seFilterAgeMin->setValue(store.value(QStringLiteral("seFilterAgeMin.Value"), 0.0).toDouble());
    seFilterAgeMax->setValue(store.value(QStringLiteral("seFilterAgeMax.Value"), 150.0).toDouble());
    followAgeCheck();
}

void ResultsFilterBar::SavePlacement(QSettings &store) const
{
    store.setValue(QStringLiteral("cbFilterTest.ItemIndex"), cbFilterTest->currentIndex());
    store.setValue(QStringLiteral("cbFilterSex.ItemIndex"), cbFilterSex->currentIndex());
    store.setValue(QStringLiteral("checkFilterAge.Checked"), checkFilterAge->isChecked());
    store.setValue(QStringLiteral("seFilterAgeMin.Value"), seFilterAgeMin->value());
    store.setValue(QStringLiteral("seFilterAgeMax.Value"), seFilterAgeMax->value());
}

void ResultsFilterBar::followAgeCheck()
{
    seFilterAgeMin->setEnabled(checkFilterAge->isChecked());
    seFilterAgeMax->setEnabled(checkFilterAge->isChecked());
}
