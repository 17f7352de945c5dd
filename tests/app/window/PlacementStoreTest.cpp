#include "app/window/PlacementStore.h"
#include "app/AppTestSupport.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A window with one control of every kind the store keeps.
struct Form {
    QWidget window;
    QLineEdit *edit = new QLineEdit(&window);
    QComboBox *combo = new QComboBox(&window);
    QCheckBox *check = new QCheckBox(&window);
    QDateEdit *date = new QDateEdit(&window);
    QSpinBox *spin = new QSpinBox(&window);

    Form()
    {
        edit->setObjectName(QStringLiteral("TeLabeledEdit1"));
        combo->setObjectName(QStringLiteral("cbUserSex"));
        combo->addItems({QStringLiteral("Мужчина"), QStringLiteral("Женщина")});
        combo->setCurrentIndex(-1);
        check->setObjectName(QStringLiteral("checkFilterAge"));
        date->setObjectName(QStringLiteral("TeDateTimePicker1"));
        spin->setObjectName(QStringLiteral("seFilterAgeMin"));
        spin->setRange(0, 150);
    }
    static QStringList Names()
    {
        return {QStringLiteral("TeLabeledEdit1"),    QStringLiteral("cbUserSex"),      QStringLiteral("checkFilterAge"),
                QStringLiteral("TeDateTimePicker1"), QStringLiteral("seFilterAgeMin"), QStringLiteral("missing")};
    }
};

TEST(PlacementStoreTest, ControlStatesComeBackInANewWindow)
{
    TemporaryInstallation install;
    const PlacementStore store(QStringLiteral("TformPalettorMain"));
    {
        Form form;
        form.edit->setText(QStringLiteral("Иванов"));
        form.combo->setCurrentIndex(1);
        form.check->setChecked(true);
        form.date->setDate(QDate(1980, 2, 29));
        form.spin->setValue(42);
        store.SaveControls(&form.window, Form::Names());
    }
    Form form;
    store.RestoreControls(&form.window, Form::Names());
    EXPECT_EQ(form.edit->text(), QStringLiteral("Иванов"));
    EXPECT_EQ(form.combo->currentIndex(), 1);
    EXPECT_TRUE(form.check->isChecked());
    EXPECT_EQ(form.date->date(), QDate(1980, 2, 29));
    EXPECT_EQ(form.spin->value(), 42);
}

TEST(PlacementStoreTest, UnusableStoredValuesLeaveControlsAsTheyAre)
{
    TemporaryInstallation install;
    QSettings settings(install.SettingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("TformPalettorMain/cbUserSex"), 7);
    settings.setValue(QStringLiteral("TformPalettorMain/TeDateTimePicker1"), QStringLiteral("not a date"));
    settings.setValue(QStringLiteral("TformPalettorMain/seFilterAgeMin"), QStringLiteral("many"));
    settings.sync();
    Form form;
    form.date->setDate(QDate(2000, 1, 1));
    form.spin->setValue(5);
    PlacementStore(QStringLiteral("TformPalettorMain")).RestoreControls(&form.window, Form::Names());
    EXPECT_EQ(form.combo->currentIndex(), -1);
    EXPECT_EQ(form.date->date(), QDate(2000, 1, 1));
    EXPECT_EQ(form.spin->value(), 5);
}

TEST(PlacementStoreTest, WindowPlacementIsKeptPerWindowClassAndLostScreensAreIgnored)
{
    TemporaryInstallation install;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect stored(screen.left() + 20, screen.top() + 30, 500, 300);
    {
        QWidget window;
        window.setGeometry(stored);
        PlacementStore(QStringLiteral("TformAskPassword")).SaveWindow(&window);
    }
    QWidget same;
    EXPECT_TRUE(PlacementStore(QStringLiteral("TformAskPassword")).RestoreWindow(&same));
    EXPECT_EQ(same.geometry(), stored);
    QWidget other;
    EXPECT_FALSE(PlacementStore(QStringLiteral("TformSetPassword")).RestoreWindow(&other));

    QSettings settings(install.SettingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("TformAskPassword/Left"), screen.right() + 5000);
    settings.sync();
    QWidget lost;
    lost.resize(200, 100);
    EXPECT_FALSE(PlacementStore(QStringLiteral("TformAskPassword")).RestoreWindow(&lost));
    EXPECT_TRUE(screen.intersects(lost.frameGeometry()));
}

TEST(PlacementStoreTest, AMaximisedWindowComesBackMaximisedAndUnmaximisesToItsEarlierGeometry)
{
    TemporaryInstallation install;
    const PlacementStore store(QStringLiteral("TformPalettorMain"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect normal(screen.left() + 40, screen.top() + 50, 400, 250);
    {
        QWidget window;
        window.setGeometry(normal);
        window.showMaximized();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(window.isMaximized());
        store.SaveWindow(&window);
    }
    QWidget back;
    EXPECT_TRUE(store.RestoreWindow(&back));
    back.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&back));
    EXPECT_TRUE(back.isMaximized());
    back.showNormal();
    EXPECT_FALSE(back.isMaximized());
    EXPECT_TRUE(WaitUntil([&] { return back.geometry() == normal; }, 2000, "the normal geometry is back"))
        << back.geometry().x() << "," << back.geometry().y() << " " << back.geometry().width() << "x"
        << back.geometry().height();
}

} // namespace
