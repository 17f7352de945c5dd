#pragma once

#include "app/testing/BirthDatePicker.h"
#include "core/OleDate.h"
#include "testing/Registration.h"

#include <QDate>
#include <QWidget>

#include <array>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// The registration panel (TePanel4): the person's details, the required
// marks and "Продолжить". It only collects; the checks are the step machine's.
class RegistrationPanel : public QWidget {
    Q_OBJECT
public:
    explicit RegistrationPanel(QWidget *parent = nullptr);

    // Lines of UserGroups; "Администрация" when there are none. The group
    // chosen before stays chosen when it is still offered.
    void SetGroups(const QStringList &groups);
    void UpdateRequiredMarks(const RequiredFields &required);
    bool MarkVisible(RegistrationField field) const;

    RegistrationInput Input() const;
    void FocusField(RegistrationField field);
    void SetBirthDate(const QDate &date);
    // Empty names, no group or sex chosen, the birth date at today; the group
    // list keeps its items.
    void Clear(const QDate &today);

    QLineEdit *SurnameEdit() const { return surname; }
    QLineEdit *FirstNameEdit() const { return firstName; }
    QLineEdit *PatronymicEdit() const { return patronymic; }
    QComboBox *GroupBox() const { return group; }
    QComboBox *SexBox() const { return sex; }
    BirthDatePicker *BirthDateEdit() const { return birthDate; }
    QPushButton *SubmitButton() const { return submit; }

signals:
    void submitted();

private:
    QLineEdit *surname;
    QLineEdit *firstName;
    QLineEdit *patronymic;
    QComboBox *group;
    QComboBox *sex;
    BirthDatePicker *birthDate;
    QPushButton *submit;
    std::array<QLabel *, RegistrationFieldCount> marks{};
};
