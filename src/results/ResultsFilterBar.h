#pragma once

#include "core/ResultsFilter.h"

#include <QStringList>
#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLocale;
class QSettings;

// The filter bar over the results list: test, group, sex and an age range,
// with buttons for the page's filter and show-all actions. It only holds
// the choices; the page applies them.
class ResultsFilterBar : public QWidget {
    Q_OBJECT
public:
    ResultsFilterBar(QAction *filter, QAction *showAll, QWidget *parent = nullptr);

    ResultsFilter CurrentFilter() const;
    // The decimal separator of the age fields.
    void SetLocale(const QLocale &locale);
    // "Любая группа" followed by the groups; an index beyond the list falls
    // back to 0.
    void SetUserGroups(const QStringList &groups, int groupIndex);
    int GroupIndex() const;

    // The test, sex and age choices (the group is a preference of its own).
    void RestorePlacement(QSettings &store);
    void SavePlacement(QSettings &store) const;

private:
    // The age fields are usable only while the age limit is checked.
    void followAgeCheck();

    QComboBox *cbFilterTest;
    QComboBox *cbFilterGroup;
    QComboBox *cbFilterSex;
    QCheckBox *checkFilterAge;
    QDoubleSpinBox *seFilterAgeMin;
    QDoubleSpinBox *seFilterAgeMax;
};
