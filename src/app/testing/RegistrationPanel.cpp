#include "app/testing/RegistrationPanel.h"

#include "app/testing/BirthDatePicker.h"

#include "qtkit/QtDateTime.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

RegistrationPanel::RegistrationPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TePanel4"));
    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);

    surname = new QLineEdit(this);
    surname->setObjectName(QStringLiteral("TeLabeledEdit1"));
    firstName = new QLineEdit(this);
    firstName->setObjectName(QStringLiteral("TeLabeledEdit2"));
    patronymic = new QLineEdit(this);
    patronymic->setObjectName(QStringLiteral("TeLabeledEdit3"));
    group = new QComboBox(this);
    group->setObjectName(QStringLiteral("cbUserGroup"));
    group->setEditable(false);
    sex = new QComboBox(this);
    sex->setObjectName(QStringLiteral("cbUserSex"));
    sex->addItems({QStringLiteral("Мужчина"), QStringLiteral("Женщина")});
    sex->setCurrentIndex(-1);
    birthDate = new BirthDatePicker(this);
    birthDate->setObjectName(QStringLiteral("TeDateTimePicker1"));
    birthDate->setMinimumDate(QDate(1753, 1, 1));
    submit = new QPushButton(QStringLiteral("Продолжить"), this);
    submit->setObjectName(QStringLiteral("btnSubmitUserRegInfo"));
    submit->setDefault(true);

    const std::array<QString, RegistrationFieldCount> captions = {
        QStringLiteral("Фамилия"), QStringLiteral("Имя"), QStringLiteral("Отчество"),
        QStringLiteral("Группа"),  QStringLiteral("Пол"), QStringLiteral("Дата рождения")};
    const std::array<QWidget *, RegistrationFieldCount> fields = {surname, firstName, patronymic,
                                                                  group,   sex,       birthDate};
    for (int i = 0; i < RegistrationFieldCount; ++i) {
        auto *caption = new QLabel(captions[static_cast<size_t>(i)], this);
        caption->setBuddy(fields[static_cast<size_t>(i)]);
        auto *mark = new QLabel(QStringLiteral("*"), this);
        mark->setObjectName(QStringLiteral("labelUserField%1Mark").arg(i + 1));
        QFont bold = mark->font();
        bold.setBold(true);
        mark->setFont(bold);
        marks[static_cast<size_t>(i)] = mark;
        grid->addWidget(caption, i, 0);
        grid->addWidget(fields[static_cast<size_t>(i)], i, 1);
        grid->addWidget(mark, i, 2);
        fields[static_cast<size_t>(i)]->setMinimumWidth(260);
    }
    // The session file keeps at most 255 characters of a name; longer text is
    // cut in the field itself, where the person sees it, not silently on saving.
    for (auto *edit : {surname, firstName, patronymic})
        edit->setMaxLength(static_cast<int>(MaxShortTextLength));
    grid->addWidget(submit, RegistrationFieldCount, 1, Qt::AlignRight);
    setTabOrder(surname, firstName);
    setTabOrder(firstName, patronymic);
    setTabOrder(patronymic, group);
    setTabOrder(group, sex);
    setTabOrder(sex, birthDate);
    setTabOrder(birthDate, submit);

    SetGroups({});
    UpdateRequiredMarks(RequiredFields{});
    connect(submit, &QPushButton::clicked, this, &RegistrationPanel::submitted);
    for (auto *edit : {surname, firstName, patronymic})
        connect(edit, &QLineEdit::returnPressed, this, &RegistrationPanel::submitted);
}

void RegistrationPanel::SetGroups(const QStringList &groups)
{
    const QString chosen = group->currentIndex() >= 0 ? group->currentText() : QString();
    QStringList items;
    for (const QString &line : groups)
        if (!line.isEmpty())
            items << line;
    if (items.isEmpty())
        items << QStringLiteral("Администрация");
    group->clear();
    group->addItems(items);
    group->setCurrentIndex(chosen.isEmpty() ? -1 : static_cast<int>(items.indexOf(chosen)));
}

void RegistrationPanel::UpdateRequiredMarks(const RequiredFields &required)
{
    for (int i = 0; i < RegistrationFieldCount; ++i)
        marks[static_cast<size_t>(i)]->setVisible(required[static_cast<RegistrationField>(i)]);
}

bool RegistrationPanel::MarkVisible(RegistrationField field) const
{
    return !marks[static_cast<size_t>(field)]->isHidden();
}

RegistrationInput RegistrationPanel::Input() const
{
    RegistrationInput input;
    input.Surname = surname->text().toStdString();
    input.FirstName = firstName->text().toStdString();
    input.Patronymic = patronymic->text().toStdString();
    input.GroupSelected = group->currentIndex() >= 0;
    input.Group = input.GroupSelected ? group->currentText().toStdString() : std::string();
    input.SexIndex = sex->currentIndex();
    input.BirthDate = ToOleDate(ToLocalDateTime(birthDate->date()));
    return input;
}

void RegistrationPanel::FocusField(RegistrationField field)
{
    const std::array<QWidget *, RegistrationFieldCount> fields = {surname, firstName, patronymic,
                                                                  group,   sex,       birthDate};
    fields[static_cast<size_t>(field)]->setFocus(Qt::OtherFocusReason);
}

void RegistrationPanel::SetBirthDate(const QDate &date) { birthDate->setDate(date); }

void RegistrationPanel::Clear(const QDate &today)
{
    for (auto *edit : {surname, firstName, patronymic})
        edit->clear();
    group->setCurrentIndex(-1);
    sex->setCurrentIndex(-1);
    birthDate->SetToday(today);
    birthDate->setDate(today);
}
