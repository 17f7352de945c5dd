#pragma once

#include "testing/ColourTables.h"

#include <QDialog>

// «Проверка экрана»: the eight colours of the test and a row of grey steps on
// the fixed grey of the tiles, with advice on setting the screen's
// brightness and contrast, so a station can be checked before a day of
// testing.
class ScreenCheckPage : public QDialog {
    Q_OBJECT
public:
    // colours: the colour tables in effect.
    explicit ScreenCheckPage(const ColourSet &colours, QWidget *parent = nullptr);

    // Grey steps from black to white, each a value 0..255 of red, green and blue.
    static const std::vector<int> &GreySteps();

    // The advice shown beside the swatches.
    static QString Advice();
};
