#include "app/preferences/PasswordDialogs.h"

#include "app/preferences/PasswordHash.h"
#include "app/window/PlacementStore.h"
#include "qtkit/UserDialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A padlock drawn once, so the dialogs need no image file.
QPixmap lockPicture()
{
    QPixmap picture(128, 128);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen shackle(QColor(110, 110, 120), 12);
    painter.setPen(shackle);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRect(34, 14, 60, 70), 0, 180 * 16);
    painter.drawLine(34, 49, 34, 62);
    painter.drawLine(94, 49, 94, 62);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(214, 160, 40));
    painter.drawRoundedRect(QRect(20, 60, 88, 60), 10, 10);
    painter.setBrush(QColor(80, 60, 20));
    painter.drawEllipse(QPoint(64, 84), 9, 9);
    painter.drawRect(QRect(60, 88, 8, 18));
    return picture;
}

QLabel *pictureLabel(QWidget *parent)
{
    auto *image = new QLabel(parent);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(lockPicture());
    image->setFixedSize(128, 128);
    image->setAlignment(Qt::AlignTop);
    return image;
}

void keepPlacement(QDialog *dialog, const QString &windowClass) { PlacementStore(windowClass).RestoreWindow(dialog); }

QLineEdit *passwordEdit(QWidget *parent, const char *name, QLabel *label)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setEchoMode(QLineEdit::Password);
    label->setBuddy(edit);
    return edit;
}

// OK (disabled until the fields allow it) and Cancel under the fields, the
// padlock on the left.
void finishDialog(QDialog *dialog, QVBoxLayout *fields, QPushButton *&ok, QPushButton *&cancel)
{
    ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    ok->setEnabled(false);
    cancel = new QPushButton(QStringLiteral("Отмена"), dialog);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    fields->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    fields->addLayout(buttons);
    auto *layout = new QHBoxLayout(dialog);
    layout->addWidget(pictureLabel(dialog));
    layout->addLayout(fields, 1);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

PasswordPrompts defaultPrompts;
PasswordPrompts *currentPrompts = &defaultPrompts;
} // namespace

TformAskPassword::TformAskPassword(const QString &notice, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TformAskPassword"));
    setWindowTitle(QStringLiteral("Введите пароль"));
    setModal(true);

    labelInfo = new QLabel(notice, this);
    labelInfo->setObjectName(QStringLiteral("labelInfo"));
    labelInfo->setWordWrap(true);
    labelInfo->setMinimumWidth(300);
    Label1 = new QLabel(QStringLiteral("Пароль"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    editPassword = passwordEdit(this, "editPassword", Label1);

    auto *fields = new QVBoxLayout;
    fields->addWidget(labelInfo);
    fields->addSpacing(8);
    fields->addWidget(Label1);
    fields->addWidget(editPassword);
    finishDialog(this, fields, btnOK, btnCancel);

    connect(editPassword, &QLineEdit::textChanged, this,
            [this](const QString &text) { btnOK->setEnabled(!text.isEmpty()); });
    resize(470, 200);
    keepPlacement(this, objectName());
}

QString TformAskPassword::Password() const { return editPassword->text(); }

void TformAskPassword::done(int result)
{
    PlacementStore(objectName()).SaveWindow(this);
    QDialog::done(result);
}

TformSetPassword::TformSetPassword(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TformSetPassword"));
    setWindowTitle(QStringLiteral("Защита паролем"));
    setModal(true);

    labelNewPassword = new QLabel(QStringLiteral("Введите пароль"), this);
    labelNewPassword->setObjectName(QStringLiteral("labelNewPassword"));
    editNewPassword = passwordEdit(this, "editNewPassword", labelNewPassword);
    editNewPassword->setMaxLength(PasswordMaxLength);
    labelConfirmPassword = new QLabel(QStringLiteral("Подтвердите пароль"), this);
    labelConfirmPassword->setObjectName(QStringLiteral("labelConfirmPassword"));
    editConfirmPassword = passwordEdit(this, "editConfirmPassword", labelConfirmPassword);
    editConfirmPassword->setMaxLength(PasswordMaxLength);

    auto *fields = new QVBoxLayout;
    fields->addWidget(labelNewPassword);
    fields->addWidget(editNewPassword);
    fields->addSpacing(6);
    fields->addWidget(labelConfirmPassword);
    fields->addWidget(editConfirmPassword);
    finishDialog(this, fields, btnOK, btnCancel);

    connect(editNewPassword, &QLineEdit::textChanged, this, &TformSetPassword::UpdateOk);
    connect(editConfirmPassword, &QLineEdit::textChanged, this, &TformSetPassword::UpdateOk);
    resize(420, 190);
    keepPlacement(this, objectName());
}

QString TformSetPassword::NewPassword() const { return editNewPassword->text(); }

void TformSetPassword::UpdateOk()
{
    const QString first = editNewPassword->text();
    btnOK->setEnabled(!first.isEmpty() && first == editConfirmPassword->text());
}

void TformSetPassword::done(int result)
{
    // OK is only reachable through the enabled button; Enter on a disabled
    // default button must not accept a mismatch.
    if (result == QDialog::Accepted && !btnOK->isEnabled())
        return;
    PlacementStore(objectName()).SaveWindow(this);
    QDialog::done(result);
}

std::optional<QString> PasswordPrompts::AskPasswordText(QWidget *parent, const QString &notice)
{
    TformAskPassword dialog(notice, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Password();
}

std::optional<QString> PasswordPrompts::AskNewPassword(QWidget *parent)
{
    TformSetPassword dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.NewPassword();
}

PasswordPrompts &PasswordPrompts::Current() { return *currentPrompts; }

void PasswordPrompts::Install(PasswordPrompts *prompts) { currentPrompts = prompts ? prompts : &defaultPrompts; }

bool AskPassword(QWidget *parent, const QString &expected, const QString &notice)
{
    const auto typed = PasswordPrompts::Current().AskPasswordText(parent, notice);
    if (!typed)
        return false;
    if (PasswordMatches(*typed, expected))
        return true;
    UserDialogs::Current().ShowWarning(parent, WrongPasswordMessage);
    return false;
}

bool SetPassword(QWidget *parent, QString &password)
{
    const auto chosen = PasswordPrompts::Current().AskNewPassword(parent);
    if (!chosen || chosen->isEmpty() || chosen->size() > PasswordMaxLength)
        return false;
    password = HashPassword(*chosen);
    return true;
}
