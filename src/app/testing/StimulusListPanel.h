#pragma once

#include "interpretation/StimulusSets.h"

#include <QWidget>

#include <string>
#include <vector>

class QComboBox;
class QPlainTextEdit;

// The stimulus-list panel of the Colour Relations Test (TePanel7): the
// predefined sets, the list of significant persons and concepts, one a line,
// and "Продолжить". Choosing a set fills the list. It only collects; the
// checks are the step machine's.
class StimulusListPanel : public QWidget {
    Q_OBJECT
public:
    explicit StimulusListPanel(QWidget *parent = nullptr);

    // Lists the sets' names and fills the list from the first set.
    void SetSets(const StimulusSets &sets);
    // The typed list, a line each, as typed.
    std::vector<std::string> Lines() const;
    void FocusList();

signals:
    void confirmed();

private:
    void FillList(int index);

    StimulusSets sets;
    QComboBox *setChoice; // cbStimulSet
    QPlainTextEdit *list; // memoStimulItems
};
