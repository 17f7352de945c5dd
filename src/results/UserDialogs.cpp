#include "UserDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace {
UserDialogs defaultDialogs;
UserDialogs *current = &defaultDialogs;

void beepIf(bool beep)
{
    if (beep)
        QApplication::beep();
}
} // namespace

void UserDialogs::ShowInfo(QWidget *parent, const QString &text, bool beep)
{
    beepIf(beep);
    QMessageBox::information(parent, QStringLiteral("Информация"), text);
}

void UserDialogs::ShowWarning(QWidget *parent, const QString &text, bool beep)
{
    beepIf(beep);
    QMessageBox::warning(parent, QStringLiteral("Предупреждение"), text);
}

bool UserDialogs::AskYesNo(QWidget *parent, const QString &text, bool beep)
{
    beepIf(beep);
    return QMessageBox::question(parent, QStringLiteral("Предупреждение"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        == QMessageBox::Yes;
}

QString UserDialogs::AskSaveFileName(QWidget *parent, const QString &caption, const QString &initialPath,
                                     const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, initialPath, filter);
}

std::optional<QColor> UserDialogs::AskColour(QWidget *parent, const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

UserDialogs &UserDialogs::Current() { return *current; }

void UserDialogs::Install(UserDialogs *dialogs) { current = dialogs ? dialogs : &defaultDialogs; }
