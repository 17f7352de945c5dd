#include "app/preferences/Preferences.h"
#include "app/AppTestSupport.h"
#include "app/preferences/PasswordHash.h"
#include "app/window/ThemeEngine.h"

#include <gtest/gtest.h>

#include <QSettings>

namespace {

class PreferencesStoreTest : public ::testing::Test {
protected:
    TemporaryInstallation install;
    QSettings settings{install.SettingsFile(), QSettings::IniFormat};
};

TEST_F(PreferencesStoreTest, EmptyStoreGivesEveryDefault)
{
    const LoadedPreferences loaded = LoadPreferences(settings);
    EXPECT_EQ(loaded.Prefs, Preferences{});
    EXPECT_TRUE(loaded.Prefs.SetThemeByIndex);
    EXPECT_EQ(loaded.Prefs.ThemeHue, 250);
    EXPECT_EQ(loaded.Prefs.UserGroups, QStringLiteral("Администрация"));
    EXPECT_EQ(loaded.Prefs.ShowResultType, 1);
    EXPECT_EQ(loaded.Prefs.Colours, DefaultColours);
    EXPECT_TRUE(loaded.Prefs.Examiner.isEmpty());
    EXPECT_TRUE(loaded.Prefs.Organisation.isEmpty());
    EXPECT_EQ(loaded.Remembered.FilterGroup, 0);
    EXPECT_EQ(loaded.Remembered.ActiveDataPage, 0);
}

TEST_F(PreferencesStoreTest, WrongTypesAndBadValuesFallBackToDefaults)
{
    struct Case {
        const char *name;
        QVariant stored;
    };
    const Case cases[] = {
        {"SetThemeByIndex", QStringLiteral("yes please")},
        {"ThemeBrightness", QStringLiteral("bright")},
        {"ThemeBrightness", 101},
        {"ThemeHue", 251},
        {"ThemeHue", -1},
        {"AskAdminPassword", QStringLiteral("x")},
        {"ShowResultType", 4},
        {"ShowResultType", QStringLiteral("1.5")},
        {"UserField1", QStringLiteral("maybe")},
        {"Color4", QStringLiteral("reddish")},
        {"Color4", QStringLiteral("$FF000000")},
        {"UserGroups", QStringList{QStringLiteral("a"), QStringLiteral("b")}},
        {"ActiveDataPage", 7},
        {"FilterGroup", -2},
        {"Examiner", 5},
        {"Organisation", QStringList{QStringLiteral("a"), QStringLiteral("b")}},
    };
    for (const auto &c : cases) {
        settings.clear();
        settings.setValue(QStringLiteral("Options/") + QLatin1String(c.name), c.stored);
        settings.sync();
        const LoadedPreferences loaded = LoadPreferences(settings);
        EXPECT_EQ(loaded.Prefs, Preferences{}) << c.name;
        EXPECT_EQ(loaded.Remembered.ActiveDataPage, 0) << c.name;
        EXPECT_EQ(loaded.Remembered.FilterGroup, 0) << c.name;
    }
}

TEST_F(PreferencesStoreTest, NegativeThemeIndexIsReadAsZero)
{
    settings.setValue(QStringLiteral("Options/ThemeIndex"), -3);
    Preferences prefs = LoadPreferences(settings).Prefs;
    EXPECT_EQ(prefs.ThemeIndex, 0);
    prefs.ThemeIndex = -3;
    SavePreferences(settings, prefs, 0, std::nullopt);
    EXPECT_EQ(settings.value(QStringLiteral("Options/ThemeIndex")).toInt(), 0);
}

TEST_F(PreferencesStoreTest, SavedValuesComeBackAndUseTheStoredForms)
{
    Preferences prefs;
    prefs.SetThemeByIndex = false;
    prefs.ThemeIndex = 2;
    prefs.ThemeFile = QStringLiteral("/opt/themes/Ночь.qss");
    prefs.ThemeBrightness = -40;
    prefs.ThemeHue = 120;
    prefs.AskAdminPassword = true;
    prefs.AdminPassword = HashPasswordWithSalt(QStringLiteral("Секрет 1"), "0123456789abcdef", 1000);
    prefs.UserGroups = QStringLiteral("Первая\r\nВторая\r\n");
    prefs.UserField = {false, true, true, false, true, true};
    prefs.ShowResultType = 3;
    prefs.Examiner = QStringLiteral("Орлова А. В.");
    prefs.Organisation = QStringLiteral("Центр «Диалог», кабинет 3");
    prefs.Colours[static_cast<std::size_t>(ColourIndex(ColourTable::Red, 2))] = MakeColour(255, 255, 255);
    prefs.Colours[static_cast<std::size_t>(ColourIndex(ColourTable::Achromatic, 1))] = MakeColour(1, 2, 3);
    SavePreferences(settings, prefs, 2, 1);

    const LoadedPreferences loaded = LoadPreferences(settings);
    EXPECT_EQ(loaded.Prefs, prefs);
    EXPECT_EQ(loaded.Remembered.FilterGroup, 2);
    EXPECT_EQ(loaded.Remembered.ActiveDataPage, 1);
    EXPECT_EQ(settings.value(QStringLiteral("Options/RedColor2")).toString(), QStringLiteral("clWhite"));
    EXPECT_EQ(settings.value(QStringLiteral("Options/BWColor1")).toString(), QStringLiteral("$00030201"));
    EXPECT_EQ(settings.value(QStringLiteral("Options/AskAdminPassword")).toString(), QStringLiteral("1"));
    EXPECT_EQ(settings.value(QStringLiteral("Options/UserField1")).toString(), QStringLiteral("0"));
}

TEST_F(PreferencesStoreTest, ActiveDataPageIsKeptWhenNotGiven)
{
    SavePreferences(settings, Preferences{}, 0, 2);
    SavePreferences(settings, Preferences{}, 0, std::nullopt);
    EXPECT_EQ(LoadPreferences(settings).Remembered.ActiveDataPage, 2);
}

TEST(UserGroupsTest, LinesAndStoredText)
{
    struct Case {
        QString memo;
        QStringList lines;
        QString stored;
    };
    const Case cases[] = {
        {QString(), {QStringLiteral("Администрация")}, QStringLiteral("Администрация\r\n")},
        {QStringLiteral("  \n \r\n"), {QStringLiteral("Администрация")}, QStringLiteral("Администрация\r\n")},
        {QStringLiteral("А\nБ"), {QStringLiteral("А"), QStringLiteral("Б")}, QStringLiteral("А\r\nБ\r\n")},
        {QStringLiteral("А\r\nБ\r\n"), {QStringLiteral("А"), QStringLiteral("Б")}, QStringLiteral("А\r\nБ\r\n")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(UserGroupLines(c.memo), c.lines) << c.memo.toStdString();
        EXPECT_EQ(UserGroupsText(c.memo), c.stored) << c.memo.toStdString();
    }
}

TEST(ProtectionTest, ProtectionNeedsAPassword)
{
    Preferences p;
    EXPECT_FALSE(ProtectionInEffect(p));
    p.AskAdminPassword = true;
    EXPECT_FALSE(ProtectionInEffect(p)); // asked, never set: no lock-out
    p.AdminPassword = QStringLiteral("x");
    EXPECT_TRUE(ProtectionInEffect(p));
    p.AskAdminPassword = false;
    EXPECT_FALSE(ProtectionInEffect(p));
}

TEST(ThemeEngineTest, ShiftsLightnessAndSaturation)
{
    const QColor red(200, 40, 40);
    EXPECT_EQ(ThemeEngine::ShiftColour(red, 0, 250), red);
    EXPECT_EQ(ThemeEngine::ShiftColour(red, 100, 250), QColor(Qt::white));
    EXPECT_EQ(ThemeEngine::ShiftColour(red, -100, 250), QColor(Qt::black));
    const QColor grey = ThemeEngine::ShiftColour(red, 0, 0);
    EXPECT_EQ(grey.red(), grey.green());
    EXPECT_EQ(grey.green(), grey.blue());
    const QColor half = ThemeEngine::ShiftColour(red, 0, 125);
    EXPECT_LT(half.hslSaturation(), red.hslSaturation());
    EXPECT_GT(half.hslSaturation(), 0);
    EXPECT_GT(ThemeEngine::ShiftColour(red, 50, 250).lightness(), red.lightness());
}

TEST(ThemeEngineTest, BuiltInThemesStartWithTheLightOne)
{
    ASSERT_GE(ThemeEngine::BuiltInNames().size(), 2);
    EXPECT_GT(ThemeEngine::BuiltInPalette(0).color(QPalette::Window).lightness(), 200);
    EXPECT_EQ(ThemeEngine::BuiltInPalette(99).color(QPalette::Window),
              ThemeEngine::BuiltInPalette(0).color(QPalette::Window));
    ThemeEngine engine;
    engine.SetThemeByIndex(-4);
    EXPECT_EQ(engine.Index(), 0);
    EXPECT_FALSE(engine.LoadThemeFile(QStringLiteral("/nonexistent/theme.qss")));
    EXPECT_FALSE(engine.FromFile());
}

} // namespace
