#pragma once

#include <QDate>
#include <QDateEdit>

// The birth-date picker of the registration. A date is typed as a whole, as
// people type it ("15.03.1985", "15031985", "15/3/85"), or pasted; the
// sections of a plain date edit, which take each digit as a step of its
// own, lose such input. The calendar opens on a likely birth year while the
// field still holds no birth date.
class BirthDatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit BirthDatePicker(QWidget *parent = nullptr);

    // Today as the station's clock gives it: two-digit years are read from
    // it, and the calendar opens on a year before it.
    void SetToday(const QDate &today);
    // The page the calendar opens on: the field's date when that can be a
    // birth date, otherwise thirty years before today.
    QDate CalendarStart() const;

    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

protected:
    QDateTime dateTimeFromText(const QString &text) const override;
    QString textFromDateTime(const QDateTime &dateTime) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QDate today = QDate::currentDate();
    bool typing = false; // the first key typed after entering replaces the whole text
};
