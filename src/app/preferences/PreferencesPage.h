#pragma once

#include "app/preferences/Preferences.h"
#include "testing/ColourTables.h"

#include <QString>
#include <QWidget>

#include <array>

class ColourSwatchPanel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class ThemeEngine;

// What the user changed on the preferences page.
enum class PreferencesChange { Theme, Protection, UserGroups, RequiredFields, ResultType, Colours, Signer };

// The "Настройка" page: every control of the stored settings. It shows a
// Preferences, hands back what the user made of it, and keeps the theme in
// effect in step with its theme controls.
class PreferencesPage : public QWidget {
    Q_OBJECT
public:
    explicit PreferencesPage(ThemeEngine &theme, QWidget *parent = nullptr);

    // The theme list: built-in themes first, then the given theme files.
    void FillThemes(const QStringList &themeFiles);
    int ThemeFileItem(const QString &path) const; // -1 when not listed

    // Puts the settings on the page without reporting changes, and puts
    // their theme in effect (an unreadable theme file leaves the light
    // built-in theme).
    void Show(const Preferences &prefs);
    // Reads the page into prefs. An emptied group memo shows the default
    // group again, as it is stored.
    void Collect(Preferences &prefs);

signals:
    // The user changed something; Collect reads it. Groups are reported
    // when the group memo loses the focus.
    void Changed(PreferencesChange what);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildPage();
    void ConnectControls();
    int AddThemeFileItem(const QString &path);
    void ShowTheme();
    void ThemeChosen(int item);
    void SetAdminPassword();
    void EditColour(ColourTable table, int entry);

    ThemeEngine &theme;
    QString adminPassword;
    ColourSet colours = DefaultColours;

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
    QLineEdit *editExaminer;
    QLineEdit *editOrganisation;
    QSpinBox *seIdleClearMinutes;
    std::array<ColourSwatchPanel *, ColourTableCount> panels{};
};
