#pragma once

#include "testing/ITestView.h"

#include <QFrame>

class QLabel;

// The header above the test area (TePanel2): a bold caption line while no
// test runs, the three step labels (Panel100) in its place while one does.
// It is at least as high as the step machine asks and grows when the step
// details wrap to more lines than fit.
class StepHeader : public QFrame {
    Q_OBJECT
public:
    explicit StepHeader(QWidget *parent = nullptr);

    void SetCaption(const QString &caption);
    void SetBaseHeight(int pixels);
    void ShowSteps(bool visible);
    void SetStepTexts(const StepTexts &texts);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void Fit();

    int baseHeight = 30;
    QLabel *caption; // TePanel2Caption
    QWidget *steps;  // Panel100
    QLabel *stepNo;
    QLabel *stepName;
    QLabel *stepDetails;
};
