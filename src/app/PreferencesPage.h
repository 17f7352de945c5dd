#pragma once

#include "ColourTables.h"

#include <QWidget>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSlider;

// One row of colour swatches for a colour table, laid out by fixed rules so
// the swatches keep their proportions whatever the panel's size.
class ColourSwatchPanel : public QWidget {
    Q_OBJECT
public:
    ColourSwatchPanel(ColourTable table, QWidget *parent = nullptr);
    ColourTable Table() const { return table; }
    // Paints the swatches from the colours in effect.
    void ShowColours(const ColourSet &colours);
    QWidget *Swatch(int entry) const; // entry 1..size
    QColor SwatchColour(int entry) const;

    // Left, width, top and height of swatch k (0-based) in a panel of the given size.
    static QRect SwatchRect(int swatchCount, int k, int panelWidth, int panelHeight);

signals:
    void SwatchClicked(ColourTable table, int entry);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void LayOut();

    ColourTable table;
    QLabel *caption;
    std::vector<QFrame *> swatches;
    std::vector<QLabel *> labels;
};

// The "Настройка" page: every control of the stored settings. It only holds
// and lays out the controls; the main window reads and fills them.
class PreferencesPage : public QWidget {
    Q_OBJECT
public:
    explicit PreferencesPage(QWidget *parent = nullptr);

    // The theme list: built-in themes first, then the given theme files.
    void FillThemes(const QStringList &themeFiles);
    int ThemeFileItem(const QString &path) const; // -1 when not listed
    int AddThemeFileItem(const QString &path);
    // Empty for a built-in theme.
    QString ThemeFileOf(int item) const;

    void ShowColours(const ColourSet &colours);
    ColourSwatchPanel *Panel(ColourTable table) const;

    QGroupBox *groupUsers;
    QGroupBox *groupProtection;
    QGroupBox *groupInterface;
    QGroupBox *groupColours;
    QGroupBox *groupTesting;

    QComboBox *cbTheme;
    QSlider *teTrackBar1; // brightness
    QSlider *teTrackBar2; // saturation
    QLabel *labelBrightnessValue;
    QLabel *labelHueValue;
    QCheckBox *checkProtectAdminMode;
    QPushButton *btnSetAdminPassword;
    QPlainTextEdit *memoUserGroups;
    std::array<QCheckBox *, 6> checkUserField{};
    QComboBox *cbShowResultType;

signals:
    // The group memo lost the focus.
    void UserGroupsLeft();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::array<ColourSwatchPanel *, ColourTableCount> panels{};
};
