#include "app/window/PlacementStore.h"

#include "app/preferences/AppSettings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QWidget>

#include <optional>

namespace {
enum StoredWindowState { StateNormal = 0, StateMaximised = 1, StateMinimised = 2 };

std::optional<int> storedInt(const QSettings &settings, const QString &name)
{
    bool ok = false;
    const int value = settings.value(name).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString splitterText(const QSplitter *splitter)
{
    QStringList parts;
    for (int size : splitter->sizes())
        parts << QString::number(size);
    return parts.join(QLatin1Char(','));
}

void restoreSplitter(QSplitter *splitter, const QString &text)
{
    QList<int> sizes;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int size = part.toInt(&ok);
        if (!ok || size < 0)
            return;
        sizes << size;
    }
    if (sizes.size() == splitter->count())
        splitter->setSizes(sizes);
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}
} // namespace

QRect FitIntoArea(const QRect &stored, const QRect &area)
{
    QRect fitted(stored.topLeft(), stored.size().boundedTo(area.size()));
    if (fitted.right() > area.right())
        fitted.moveRight(area.right());
    if (fitted.bottom() > area.bottom())
        fitted.moveBottom(area.bottom());
    if (fitted.left() < area.left())
        fitted.moveLeft(area.left());
    if (fitted.top() < area.top())
        fitted.moveTop(area.top());
    return fitted;
}

PlacementStore::PlacementStore(QString windowClass) : windowClass(std::move(windowClass)) {}

bool PlacementStore::RestoreWindow(QWidget *window) const
{
    auto settings = AppSettings::Open();
    settings->beginGroup(windowClass);
    const auto left = storedInt(*settings, QStringLiteral("Left"));
    const auto top = storedInt(*settings, QStringLiteral("Top"));
    const auto width = storedInt(*settings, QStringLiteral("Width"));
    const auto height = storedInt(*settings, QStringLiteral("Height"));
    const int state = storedInt(*settings, QStringLiteral("WindowState")).value_or(StateNormal);
    settings->endGroup();

    bool used = false;
    // No screen is this large; such numbers are damage, and would overflow the rectangle.
    constexpr int farthest = 1000000;
    auto plausible = [](const std::optional<int> &v) { return v && *v > -farthest && *v < farthest; };
    if (plausible(left) && plausible(top) && plausible(width) && plausible(height) && *width >= window->minimumWidth()
        && *height >= window->minimumHeight() && *width > 0 && *height > 0) {
        const QRect stored(*left, *top, *width, *height);
        // A placement on a screen that is gone would hide the window.
        for (const QScreen *screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().intersects(stored)) {
                // A window saved on a larger screen comes back whole on this
                // one, its frame included; a damaged size never asks for a
                // window buffer of gigabytes.
                const QRect frame = window->frameGeometry();
                const QRect client = window->geometry();
                const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                                       frame.right() - client.right(), frame.bottom() - client.bottom());
                window->setGeometry(FitIntoArea(stored, screen->availableGeometry().marginsRemoved(margins)));
                used = true;
                break;
            }
        }
    }
    if (!used)
        centreOnScreen(window);
    if (state == StateMaximised)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    // A window that comes back minimised would look like a program that never started.
    return used;
}

void PlacementStore::SaveWindow(const QWidget *window) const
{
    auto settings = AppSettings::Open();
    settings->beginGroup(windowClass);
    const QRect normal = window->isMaximized() || window->isMinimized() ? window->normalGeometry() : window->geometry();
    if (normal.isValid()) {
        settings->setValue(QStringLiteral("Left"), normal.left());
        settings->setValue(QStringLiteral("Top"), normal.top());
        settings->setValue(QStringLiteral("Width"), normal.width());
        settings->setValue(QStringLiteral("Height"), normal.height());
    }
    const int state = window->isMaximized() ? StateMaximised : window->isMinimized() ? StateMinimised : StateNormal;
    settings->setValue(QStringLiteral("WindowState"), state);
    settings->endGroup();
}

void PlacementStore::RestoreControls(QWidget *window, const QStringList &objectNames) const
{
    auto settings = AppSettings::Open();
    settings->beginGroup(windowClass);
    for (const QString &name : objectNames) {
        QWidget *control = window->findChild<QWidget *>(name);
        if (!control || !settings->contains(name))
            continue;
        const QVariant value = settings->value(name);
        if (auto *edit = qobject_cast<QLineEdit *>(control)) {
            edit->setText(value.toString());
        } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
            bool ok = false;
            const int index = value.toInt(&ok);
            if (ok && index >= -1 && index < combo->count())
                combo->setCurrentIndex(index);
        } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            if (button->isCheckable())
                button->setChecked(value.toInt() != 0);
        } else if (auto *date = qobject_cast<QDateEdit *>(control)) {
            const QDate stored = QDate::fromString(value.toString(), Qt::ISODate);
            if (stored.isValid())
                date->setDate(stored);
        } else if (auto *spin = qobject_cast<QSpinBox *>(control)) {
            bool ok = false;
            const int number = value.toInt(&ok);
            if (ok)
                spin->setValue(number);
        } else if (auto *memo = qobject_cast<QPlainTextEdit *>(control)) {
            memo->setPlainText(value.toString());
        } else if (auto *splitter = qobject_cast<QSplitter *>(control)) {
            restoreSplitter(splitter, value.toString());
        } else if (const QMetaProperty user = control->metaObject()->userProperty(); user.isValid()) {
            user.write(control, value);
        }
    }
    settings->endGroup();
}

void PlacementStore::SaveControls(const QWidget *window, const QStringList &objectNames) const
{
    auto settings = AppSettings::Open();
    settings->beginGroup(windowClass);
    for (const QString &name : objectNames) {
        const QWidget *control = window->findChild<const QWidget *>(name);
        if (!control)
            continue;
        if (auto *edit = qobject_cast<const QLineEdit *>(control))
            settings->setValue(name, edit->text());
        else if (auto *combo = qobject_cast<const QComboBox *>(control))
            settings->setValue(name, combo->currentIndex());
        else if (auto *button = qobject_cast<const QAbstractButton *>(control))
            settings->setValue(name, button->isChecked() ? 1 : 0);
        else if (auto *date = qobject_cast<const QDateEdit *>(control))
            settings->setValue(name, date->date().toString(Qt::ISODate));
        else if (auto *spin = qobject_cast<const QSpinBox *>(control))
            settings->setValue(name, spin->value());
        else if (auto *memo = qobject_cast<const QPlainTextEdit *>(control))
            settings->setValue(name, memo->toPlainText());
        else if (auto *splitter = qobject_cast<const QSplitter *>(control))
            settings->setValue(name, splitterText(splitter));
        else if (const QMetaProperty user = control->metaObject()->userProperty(); user.isValid())
            settings->setValue(name, user.read(control));
    }
    settings->endGroup();
}

QVariant PlacementStore::ReadValue(const QString &name, const QVariant &fallback) const
{
    auto settings = AppSettings::Open();
    settings->beginGroup(windowClass);
    return settings->value(name, fallback);
}

void PlacementStore::WriteValue(const QString &name, const QVariant &value) const
{
    auto settings = AppSettings::Open();
    settings->beginGroup(windowClass);
    settings->setValue(name, value);
}
