#pragma once

#include "testing/ColourTables.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QSettings;

inline const QString DefaultUserGroup = QStringLiteral("Администрация");

// Ranges of the theme shifts; 250 saturation leaves the palette unchanged.
constexpr int ThemeBrightnessMin = -100;
constexpr int ThemeBrightnessMax = 100;
constexpr int ThemeHueMin = 0;
constexpr int ThemeHueMax = 250;
constexpr int ShowResultTypeCount = 4;
// Minutes without input after which a finished test's result leaves the screen.
constexpr int IdleClearMinutesMin = 1;
constexpr int IdleClearMinutesMax = 240;

// Every stored setting, with its default.
struct Preferences {
    bool SetThemeByIndex = true;
    int ThemeIndex = 0;
    QString ThemeFile;
    int ThemeBrightness = 0;
    int ThemeHue = ThemeHueMax;
    bool AskAdminPassword = false;
    QString AdminPassword; // its salted hash (PasswordHash.h), empty for none
    QString UserGroups = DefaultUserGroup;
    // Required registration fields: surname, given name, patronymic, group,
    // sex, birth date.
    std::array<bool, 6> UserField{true, true, false, false, false, false};
    int ShowResultType = 1;
    ColourSet Colours = DefaultColours;
    // The printed report's examiner and organisation; left out while empty.
    QString Examiner;
    QString Organisation;
    int IdleClearMinutes = 10;

    bool operator==(const Preferences &) const = default;
};

// The two choices the main window remembers between runs.
struct RememberedChoices {
    int FilterGroup = 0;
    int ActiveDataPage = 0;
};

// The longest group list taken from the store: thousands of groups; a
// longer value would only stall the drop-down lists.
constexpr int MaxUserGroupsLength = 64 * 1024;
// The examiner's and the organisation's names are cut to this length.
constexpr int MaxSignerLength = 200;

struct LoadedPreferences {
    Preferences Prefs;
    RememberedChoices Remembered;
    // Values passed over for their defaults, for the administrator (Russian).
    QStringList Problems;
};

// Reads the "Options" group. An absent value, a value of the wrong type, an
// out-of-range number or an unreadable colour gives its default.
LoadedPreferences LoadPreferences(QSettings &settings);

// Writes every setting in the stored order. ActiveDataPage is written only
// when given (administrator mode); otherwise the stored value stays.
void SavePreferences(QSettings &settings, const Preferences &prefs, int filterGroup, std::optional<int> activeDataPage);

// Protection asked for but no password ever set counts as no protection, so
// the administrator can never be locked out.
bool ProtectionInEffect(const Preferences &prefs);

// The group lines of UserGroups (a trailing line break adds no group); the
// single default group when the text is blank.
QStringList UserGroupLines(const QString &userGroups);
// Memo text back to the stored form: every line followed by CR LF; an
// empty memo becomes the default group.
QString UserGroupsText(const QString &memoText);

// Texts of ShowResultType 0..3.
const QStringList &ShowResultTypeTexts();
