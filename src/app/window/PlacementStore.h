#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class QSettings;
class QWidget;
class QRect;

// The stored rectangle moved and, where it must be, shrunk so that it lies
// wholly within the area (a screen's available part).
QRect FitIntoArea(const QRect &stored, const QRect &area);

// Keeps a window's position, size and state, and the states of the listed
// child controls, in a group named after the window's class. Read and write
// failures are dropped: a lost placement must never stop a start or a close.
class PlacementStore {
public:
    explicit PlacementStore(QString windowClass);

    const QString &WindowClass() const { return windowClass; }

    // Restores placement; the window is centred on its screen when nothing
    // usable is stored. Returns true when a stored placement was used.
    bool RestoreWindow(QWidget *window) const;
    void SaveWindow(const QWidget *window) const;

    // Control states by object name: line edits (text), combo boxes (index),
    // check boxes (checked), spin boxes (value), date edits (date), plain
    // text edits (lines), splitters (sizes). Names not found are skipped.
    void RestoreControls(QWidget *window, const QStringList &objectNames) const;
    void SaveControls(const QWidget *window, const QStringList &objectNames) const;

    QVariant ReadValue(const QString &name, const QVariant &fallback = {}) const;
    void WriteValue(const QString &name, const QVariant &value) const;

private:
    QString windowClass;
};
