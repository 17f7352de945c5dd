#pragma once

#include <QWidget>

class QPushButton;

// The test chooser (TePanel5): for each kind its title, its description and
// a "Приступить к тестированию" button carrying the kind's code.
class ChooserPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChooserPanel(QWidget *parent = nullptr);

    QPushButton *StartButton(int kind) const;

signals:
    void kindChosen(int kind);
};
