#include "app/preferences/Preferences.h"

#include "app/preferences/AppSettings.h"
#include "app/preferences/PasswordHash.h"
#include "testing/ColourText.h"

#include <QSettings>
#include <QVariant>

#include <algorithm>
#include <climits>

namespace {

std::optional<int> intOf(const QVariant &value)
{
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::UInt
        || value.typeId() == QMetaType::ULongLong) {
        // A 64-bit or unsigned value beyond the 32-bit range is no setting;
        // cutting it to 32 bits could make it look like a valid one.
        bool ok = false;
        const qlonglong wide = value.toLongLong(&ok);
        if (!ok || (value.typeId() == QMetaType::ULongLong && value.toULongLong() > ULLONG_MAX / 2) || wide < INT_MIN
            || wide > INT_MAX)
            return std::nullopt;
        return static_cast<int>(wide);
    }
    if (value.typeId() != QMetaType::QString && value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

int readInt(QSettings &settings, const QString &name, int fallback, int low, int high)
{
    const auto number = intOf(settings.value(name));
    if (!number || *number < low || *number > high)
        return fallback;
    return *number;
}

bool readBool(QSettings &settings, const QString &name, bool fallback)
{
    const QVariant value = settings.value(name);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    const auto number = intOf(value);
    if (!number)
        return fallback;
    return *number != 0;
}

QString readText(QSettings &settings, const QString &name, const QString &fallback)
{
    const QVariant value = settings.value(name);
    if (value.typeId() != QMetaType::QString)
        return fallback;
    return value.toString();
}

QString key(const std::string &name) { return QString::fromStdString(name); }

// The colours in the order they are stored: achromatic, eight-colour, then
// main, blue, green, yellow and red.
constexpr std::array<ColourTable, ColourTableCount> storedTableOrder{
    ColourTable::Achromatic, ColourTable::EightColour, ColourTable::Main, ColourTable::Blue,
    ColourTable::Green,      ColourTable::Yellow,      ColourTable::Red};

const std::array<QString, 6> userFieldNames{QStringLiteral("UserField1"), QStringLiteral("UserField2"),
                                            QStringLiteral("UserField3"), QStringLiteral("UserField4"),
                                            QStringLiteral("UserField5"), QStringLiteral("UserField6")};

} // namespace

LoadedPreferences LoadPreferences(QSettings &settings)
{
    LoadedPreferences loaded;
    Preferences &p = loaded.Prefs;
    const Preferences defaults;
    settings.beginGroup(AppSettings::OptionsGroup);
    p.SetThemeByIndex = readBool(settings, QStringLiteral("SetThemeByIndex"), defaults.SetThemeByIndex);
    p.ThemeIndex = readInt(settings, QStringLiteral("ThemeIndex"), defaults.ThemeIndex, INT_MIN, INT_MAX);
    if (p.ThemeIndex < 0)
        p.ThemeIndex = 0;
    p.ThemeFile = readText(settings, QStringLiteral("ThemeFile"), defaults.ThemeFile);
    p.ThemeBrightness = readInt(settings, QStringLiteral("ThemeBrightness"), defaults.ThemeBrightness,
                                ThemeBrightnessMin, ThemeBrightnessMax);
    p.ThemeHue = readInt(settings, QStringLiteral("ThemeHue"), defaults.ThemeHue, ThemeHueMin, ThemeHueMax);
    p.AskAdminPassword = readBool(settings, QStringLiteral("AskAdminPassword"), defaults.AskAdminPassword);
    p.AdminPassword = readText(settings, QStringLiteral("AdminPassword"), defaults.AdminPassword);
    // A password kept as typed by an older version is replaced by its hash
    // at once, so the settings never hold it in plain text again.
    if (!p.AdminPassword.isEmpty() && !IsPasswordHash(p.AdminPassword)) {
        p.AdminPassword = HashPassword(p.AdminPassword);
        settings.setValue(QStringLiteral("AdminPassword"), p.AdminPassword);
    }
    p.UserGroups = readText(settings, QStringLiteral("UserGroups"), defaults.UserGroups);
    if (p.UserGroups.size() > MaxUserGroupsLength) {
        loaded.Problems << QStringLiteral("Список групп пользователей в настройках слишком длинный (%1 символов, "
                                          "допустимо не более %2) и заменен списком по умолчанию.")
                               .arg(p.UserGroups.size())
                               .arg(MaxUserGroupsLength);
        p.UserGroups = defaults.UserGroups;
    }
    for (std::size_t i = 0; i < userFieldNames.size(); ++i)
        p.UserField[i] = readBool(settings, userFieldNames[i], defaults.UserField[i]);
    p.ShowResultType =
        readInt(settings, QStringLiteral("ShowResultType"), defaults.ShowResultType, 0, ShowResultTypeCount - 1);
    for (ColourTable table : storedTableOrder) {
        for (int entry = 1; entry <= TableSize(table); ++entry) {
            const int index = ColourIndex(table, entry);
            const ColourValue fallback = DefaultColours[static_cast<std::size_t>(index)];
            const QString text =
                readText(settings, key(ColourKey(table, entry)), QString::fromStdString(ColourText(fallback)));
            p.Colours[static_cast<std::size_t>(index)] = ColourFromText(text.toStdString()).value_or(fallback);
        }
    }
    // A name, not a document: anything longer is no setting of ours.
    for (const auto &[name, value] : {std::pair{QStringLiteral("Examiner"), &p.Examiner},
                                      std::pair{QStringLiteral("Organisation"), &p.Organisation}}) {
        *value = readText(settings, name, QString());
        if (value->size() > MaxSignerLength)
            *value = value->left(MaxSignerLength);
    }
    p.IdleClearMinutes = readInt(settings, QStringLiteral("IdleClearMinutes"), defaults.IdleClearMinutes,
                                 IdleClearMinutesMin, IdleClearMinutesMax);
    loaded.Remembered.FilterGroup = readInt(settings, QStringLiteral("FilterGroup"), 0, 0, INT_MAX);
    loaded.Remembered.ActiveDataPage = readInt(settings, QStringLiteral("ActiveDataPage"), 0, 0, 2);
    settings.endGroup();
    return loaded;
}

void SavePreferences(QSettings &settings, const Preferences &p, int filterGroup, std::optional<int> activeDataPage)
{
    settings.beginGroup(AppSettings::OptionsGroup);
    auto writeBool = [&](const QString &name, bool value) { settings.setValue(name, value ? 1 : 0); };
    writeBool(QStringLiteral("SetThemeByIndex"), p.SetThemeByIndex);
    settings.setValue(QStringLiteral("ThemeIndex"), std::max(p.ThemeIndex, 0));
    settings.setValue(QStringLiteral("ThemeFile"), p.ThemeFile);
    settings.setValue(QStringLiteral("ThemeBrightness"), p.ThemeBrightness);
    settings.setValue(QStringLiteral("ThemeHue"), p.ThemeHue);
    writeBool(QStringLiteral("AskAdminPassword"), p.AskAdminPassword);
    settings.setValue(QStringLiteral("AdminPassword"), p.AdminPassword);
    settings.setValue(QStringLiteral("UserGroups"), p.UserGroups);
    for (std::size_t i = 0; i < userFieldNames.size(); ++i)
        writeBool(userFieldNames[i], p.UserField[i]);
    settings.setValue(QStringLiteral("ShowResultType"), p.ShowResultType);
    for (ColourTable table : storedTableOrder)
        for (int entry = 1; entry <= TableSize(table); ++entry)
            settings.setValue(
                key(ColourKey(table, entry)),
                QString::fromStdString(ColourText(p.Colours[static_cast<std::size_t>(ColourIndex(table, entry))])));
    settings.setValue(QStringLiteral("Examiner"), p.Examiner);
    settings.setValue(QStringLiteral("Organisation"), p.Organisation);
    settings.setValue(QStringLiteral("IdleClearMinutes"), p.IdleClearMinutes);
    settings.setValue(QStringLiteral("FilterGroup"), std::max(filterGroup, 0));
    if (activeDataPage)
        settings.setValue(QStringLiteral("ActiveDataPage"), *activeDataPage);
    settings.endGroup();
    settings.sync();
}

bool ProtectionInEffect(const Preferences &prefs) { return prefs.AskAdminPassword && !prefs.AdminPassword.isEmpty(); }

QStringList UserGroupLines(const QString &userGroups)
{
    QString text = userGroups;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    // A trailing line break ends the last line; it does not add a group.
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (text.trimmed().isEmpty())
        return {DefaultUserGroup};
    return lines;
}

QString UserGroupsText(const QString &memoText)
{
    QString result;
    for (const QString &line : UserGroupLines(memoText))
        result += line + QStringLiteral("\r\n");
    return result;
}

const QStringList &ShowResultTypeTexts()
{
    static const QStringList texts{
        QStringLiteral("Не предоставлять заключения"), QStringLiteral("Предоставить краткое заключение"),
        QStringLiteral("Предоставить подробное заключение"), QStringLiteral("Предоставить совокупный отчет")};
    return texts;
}
