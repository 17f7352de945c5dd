#include "app/preferences/PreferencesPage.h"
#include "app/AppTestSupport.h"
#include "app/preferences/PasswordHash.h"
#include "app/testing/ColourSwatchPanel.h"
#include "app/window/ThemeEngine.h"
#include "support/Find.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <functional>
#include <vector>

// Preferences are printed by their fields when a comparison fails.
void PrintTo(const Preferences &p, std::ostream *os)
{
    *os << "theme " << p.SetThemeByIndex << "/" << p.ThemeIndex << "/" << p.ThemeFile.toStdString() << " "
        << p.ThemeBrightness << "/" << p.ThemeHue << ", protection " << p.AskAdminPassword << "/"
        << p.AdminPassword.toStdString() << ", groups " << p.UserGroups.toStdString() << ", fields";
    for (bool f : p.UserField)
        *os << f;
    *os << ", result type " << p.ShowResultType << ", colours "
        << (p.Colours == DefaultColours ? "default" : "changed");
}

namespace {

class PreferencesPageTest : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
    ScriptedPasswords passwords;
    ThemeEngine theme;
    PreferencesPage page{theme};
    std::vector<PreferencesChange> changes;

    void SetUp() override
    {
        page.FillThemes({});
        QObject::connect(&page, &PreferencesPage::Changed, &page,
                         [this](PreferencesChange what) { changes.push_back(what); });
    }
    void TearDown() override { page.Show(Preferences{}); } // the application's theme back to the default

    Preferences Collected()
    {
        Preferences prefs;
        page.Collect(prefs);
        return prefs;
    }
};

// The colours a tested person sees when nobody changed them.
TEST_F(PreferencesPageTest, EveryDefaultColourIsOnItsSwatch)
{
    struct Case {
        const char *panel;
        ColourTable table;
        int entry;
        int r, g, b;
    };
    const Case cases[] = {
        {"panelUsedBWColors", ColourTable::Achromatic, 1, 174, 174, 174},
        {"panelUsedBWColors", ColourTable::Achromatic, 2, 89, 89, 89},
        {"panelUsedBWColors", ColourTable::Achromatic, 3, 0, 0, 0},
        {"panelUsedBWColors", ColourTable::Achromatic, 4, 238, 238, 238},
        {"panelUsedBWColors", ColourTable::Achromatic, 5, 255, 255, 255},
        {"panelUsedColors", ColourTable::EightColour, 1, 89, 89, 89},
        {"panelUsedColors", ColourTable::EightColour, 2, 0, 80, 97},
        {"panelUsedColors", ColourTable::EightColour, 3, 0, 109, 60},
        {"panelUsedColors", ColourTable::EightColour, 4, 255, 97, 0},
        {"panelUsedColors", ColourTable::EightColour, 5, 255, 198, 0},
        {"panelUsedColors", ColourTable::EightColour, 6, 141, 44, 101},
        {"panelUsedColors", ColourTable::EightColour, 7, 165, 101, 0},
        {"panelUsedColors", ColourTable::EightColour, 8, 0, 0, 0},
        {"panelUsedColors1", ColourTable::Main, 1, 0, 80, 97},
        {"panelUsedColors1", ColourTable::Main, 2, 0, 109, 60},
        {"panelUsedColors1", ColourTable::Main, 3, 255, 97, 0},
        {"panelUsedColors1", ColourTable::Main, 4, 255, 198, 0},
        {"panelUsedColors2", ColourTable::Blue, 1, 0, 80, 97},
        {"panelUsedColors2", ColourTable::Blue, 2, 0, 97, 85},
        {"panelUsedColors2", ColourTable::Blue, 3, 85, 0, 85},
        {"panelUsedColors2", ColourTable::Blue, 4, 76, 117, 113},
        {"panelUsedColors3", ColourTable::Green, 1, 117, 113, 76},
        {"panelUsedColors3", ColourTable::Green, 2, 0, 109, 60},
        {"panelUsedColors3", ColourTable::Green, 3, 68, 93, 0},
        {"panelUsedColors3", ColourTable::Green, 4, 121, 129, 0},
        {"panelUsedColors4", ColourTable::Yellow, 1, 186, 109, 0},
        {"panelUsedColors4", ColourTable::Yellow, 2, 137, 133, 0},
        {"panelUsedColors4", ColourTable::Yellow, 3, 218, 105, 0},
        {"panelUsedColors4", ColourTable::Yellow, 4, 255, 198, 0},
        {"panelUsedColors5", ColourTable::Red, 1, 133, 64, 0},
        {"panelUsedColors5", ColourTable::Red, 2, 109, 0, 60},
        {"panelUsedColors5", ColourTable::Red, 3, 255, 97, 0},
        {"panelUsedColors5", ColourTable::Red, 4, 186, 97, 0},
    };
    ASSERT_EQ(std::size(cases), static_cast<std::size_t>(ColourCount));
    page.Show(Preferences{});
    const ColourSet collected = Collected().Colours;
    for (const Case &c : cases) {
        EXPECT_EQ(Find<ColourSwatchPanel>(page, c.panel)->SwatchColour(c.entry), QColor(c.r, c.g, c.b))
            << c.panel << " " << c.entry;
        EXPECT_EQ(collected[static_cast<std::size_t>(ColourIndex(c.table, c.entry))], MakeColour(c.r, c.g, c.b))
            << c.panel << " " << c.entry;
    }
}

TEST_F(PreferencesPageTest, ShownSettingsAreCollectedBackAndNoChangeIsReported)
{
    Preferences changed;
    changed.ThemeIndex = 1;
    changed.ThemeBrightness = -40;
    changed.ThemeHue = 120;
    changed.AskAdminPassword = true;
    changed.AdminPassword = QStringLiteral("Секрет");
    changed.UserGroups = QStringLiteral("Первая\r\nВторая\r\n");
    changed.UserField = {false, true, true, false, true, true};
    changed.ShowResultType = 3;
    changed.Colours[5] = MakeColour(1, 2, 3);
    changed.Examiner = QStringLiteral("Орлова А. В.");
    changed.Organisation = QStringLiteral("Центр");
    // Groups come back in their stored form, every line ended.
    Preferences defaults;
    defaults.UserGroups = QStringLiteral("Администрация\r\n");
    Preferences unprotected;
    unprotected.AskAdminPassword = true; // asked, never set: shown and collected as off
    Preferences expectedUnprotected = defaults;

    const std::pair<Preferences, Preferences> cases[] = {
        {Preferences{}, defaults}, {changed, changed}, {unprotected, expectedUnprotected}};
    for (const auto &[shown, collected] : cases) {
        page.Show(shown);
        EXPECT_EQ(Collected(), collected);
    }
    EXPECT_TRUE(changes.empty());
}

TEST_F(PreferencesPageTest, WhatTheUserChangesIsReportedByKindAndCollected)
{
    page.Show(Preferences{});
    page.show();
    QApplication::setActiveWindow(&page);
    dialogs.colourAnswers = {QColor(10, 20, 30), std::nullopt};
    passwords.newPasswords = {QStringLiteral("новый")};
    auto *memo = Find<QPlainTextEdit>(page, "memoUserGroups");
    struct Step {
        std::function<void()> act;
        std::vector<PreferencesChange> reported;
    };
    const Step steps[] = {
        {[&] { Find<QCheckBox>(page, "checkUserField3")->click(); }, {PreferencesChange::RequiredFields}},
        {[&] { Find<QComboBox>(page, "cbShowResultType")->setCurrentIndex(2); }, {PreferencesChange::ResultType}},
        {[&] { Find<QSlider>(page, "teTrackBar1")->setValue(30); }, {PreferencesChange::Theme}},
        {[&] { Find<QComboBox>(page, "cbTheme")->setCurrentIndex(1); }, {PreferencesChange::Theme}},
        {[&] { QTest::mouseClick(Find<ColourSwatchPanel>(page, "panelUsedColors5")->Swatch(2), Qt::LeftButton); },
         {PreferencesChange::Colours}},
        {[&] { QTest::mouseClick(Find<ColourSwatchPanel>(page, "panelUsedColors5")->Swatch(3), Qt::LeftButton); },
         {}}, // the colour dialog cancelled
        {[&] { Find<QCheckBox>(page, "checkProtectAdminMode")->click(); }, {PreferencesChange::Protection}},
        {[&] { Find<QPushButton>(page, "btnSetAdminPassword")->click(); }, {PreferencesChange::Protection}},
        {[&] {
             memo->setFocus();
             memo->setPlainText(QStringLiteral("Отдел"));
             Find<QComboBox>(page, "cbShowResultType")->setFocus();
         },
         {PreferencesChange::UserGroups}},
        {[&] { QTest::keyClicks(Find<QLineEdit>(page, "editExaminer"), QStringLiteral(" Orlova ")); },
         std::vector<PreferencesChange>(8, PreferencesChange::Signer)},
        {[&] { QTest::keyClicks(Find<QLineEdit>(page, "editOrganisation"), QStringLiteral("Centr")); },
         std::vector<PreferencesChange>(5, PreferencesChange::Signer)},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        changes.clear();
        steps[i].act();
        EXPECT_EQ(changes, steps[i].reported) << "step " << i;
    }
    const Preferences prefs = Collected();
    EXPECT_EQ(prefs.UserField, (std::array<bool, 6>{true, true, true, false, false, false}));
    EXPECT_EQ(prefs.ShowResultType, 2);
    EXPECT_EQ(prefs.ThemeBrightness, 30);
    EXPECT_EQ(prefs.ThemeIndex, 1);
    EXPECT_EQ(prefs.Colours[static_cast<std::size_t>(ColourIndex(ColourTable::Red, 2))], MakeColour(10, 20, 30));
    EXPECT_EQ(prefs.Colours[static_cast<std::size_t>(ColourIndex(ColourTable::Red, 3))],
              DefaultColours[static_cast<std::size_t>(ColourIndex(ColourTable::Red, 3))]);
    EXPECT_TRUE(prefs.AskAdminPassword);
    EXPECT_TRUE(PasswordMatches(QStringLiteral("новый"), prefs.AdminPassword));
    EXPECT_EQ(prefs.UserGroups, QStringLiteral("Отдел\r\n"));
    EXPECT_EQ(prefs.Examiner, QStringLiteral("Orlova"));
    EXPECT_EQ(prefs.Organisation, QStringLiteral("Centr"));
}

} // namespace
