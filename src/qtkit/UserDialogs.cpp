#include "qtkit/UserDialogs.h"

#include "qtkit/RussianFileModel.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {
UserDialogs defaultDialogs;
UserDialogs *current = &defaultDialogs;

// Texts carry names of files and persons: shown as they are, never as markup.
int showBox(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return box.exec();
}

void beepIf(bool beep)
{
    if (beep)
        QApplication::beep();
}
} // namespace

void UserDialogs::ShowInfo(QWidget *parent, const QString &text, bool beep)
{
    beepIf(beep);
    showBox(parent, QMessageBox::Information, QStringLiteral("Информация"), text);
}

void UserDialogs::ShowWarning(QWidget *parent, const QString &text, bool beep)
{
    beepIf(beep);
    showBox(parent, QMessageBox::Warning, QStringLiteral("Предупреждение"), text);
}

bool UserDialogs::AskYesNo(QWidget *parent, const QString &text, bool beep)
{
    beepIf(beep);
    return showBox(parent, QMessageBox::Question, QStringLiteral("Предупреждение"), text,
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

QString UserDialogs::AskSaveFileName(QWidget *parent, const QString &caption, const QString &initialPath,
                                     const QString &filter)
{
    return AskSaveFileNameInRussian(parent, caption, initialPath, filter);
}

QString AskSavePath(QWidget *parent, const QString &caption, const QString &filter, const QString &suffix)
{
    QString path = UserDialogs::Current().AskSaveFileName(parent, caption, QString(), filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += suffix;
    return path;
}

std::optional<QColor> UserDialogs::AskColour(QWidget *parent, const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

bool UserDialogs::AskPrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void UserDialogs::ShowPrintPreview(QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
    dialog.exec();
}

UserDialogs &UserDialogs::Current() { return *current; }

void UserDialogs::Install(UserDialogs *dialogs) { current = dialogs ? dialogs : &defaultDialogs; }
