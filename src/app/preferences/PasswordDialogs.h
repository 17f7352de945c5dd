#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

inline const QString AdminAccessNotice = QStringLiteral(
    "Доступ к режиму администратора защищен паролем. Пожалуйста, введите Ваш пароль в поле ниже или нажмите "
    "кнопку Отмена - в данном случае Вам будет обеспечен доступ исключительно к прохождению тестирования.");
inline const QString WrongPasswordMessage = QStringLiteral("Вы ввели неправильный пароль");
constexpr int PasswordMaxLength = 60;

// Asks for the administrator password.
class TformAskPassword : public QDialog {
    Q_OBJECT
public:
    explicit TformAskPassword(const QString &notice, QWidget *parent = nullptr);
    QString Password() const;

    QLabel *labelInfo;
    QLabel *Label1;
    QLineEdit *editPassword;
    QPushButton *btnOK;
    QPushButton *btnCancel;

protected:
    void done(int result) override;
};

// Asks for a new password twice.
class TformSetPassword : public QDialog {
    Q_OBJECT
public:
    explicit TformSetPassword(QWidget *parent = nullptr);
    QString NewPassword() const;

    QLabel *labelNewPassword;
    QLineEdit *editNewPassword;
    QLabel *labelConfirmPassword;
    QLineEdit *editConfirmPassword;
    QPushButton *btnOK;
    QPushButton *btnCancel;

protected:
    void done(int result) override;

private:
    void UpdateOk();
};

// The seam through which the password dialogs are shown, so tests can
// answer them. The default runs the real dialogs modally.
class PasswordPrompts {
public:
    virtual ~PasswordPrompts() = default;
    // The typed text, or empty when cancelled.
    virtual std::optional<QString> AskPasswordText(QWidget *parent, const QString &notice);
    // The new password, or empty when cancelled.
    virtual std::optional<QString> AskNewPassword(QWidget *parent);

    static PasswordPrompts &Current();
    static void Install(PasswordPrompts *prompts); // nullptr restores the default
};

// True when the typed text is the password whose stored form (its hash,
// PasswordHash.h) is expected, exactly; a wrong text shows
// WrongPasswordMessage; a cancel says nothing.
bool AskPassword(QWidget *parent, const QString &expected, const QString &notice);
// On OK replaces password with the new one's hash and returns true; on
// cancel leaves it.
bool SetPassword(QWidget *parent, QString &password);
