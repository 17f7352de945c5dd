#pragma once

#include <QDialog>

// "О программе": name, version, the developer's site and mail address.
class TformAbout : public QDialog {
    Q_OBJECT
public:
    explicit TformAbout(QWidget *parent = nullptr);
};
