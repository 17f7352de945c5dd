#include "app/testing/BirthDatePicker.h"

#include "testing/TypedDate.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
const QString format = QStringLiteral("dd.MM.yyyy");
// Nearer to today than this the field holds no one's birth date (the
// registration's own rule counts 180 days).
constexpr int youngest = 180;

bool typedCharacter(const QKeyEvent *event)
{
    if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    const QString text = event->text();
    if (text.size() != 1)
        return false;
    const QChar c = text[0];
    return c.isDigit() || QStringLiteral("./-, ").contains(c);
}
} // namespace

BirthDatePicker::BirthDatePicker(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(format);
    setCalendarPopup(true);
    // What cannot be read as a date falls back to the date before (the
    // nearest value is that date too); what can is read by fixup.
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    calendarWidget()->installEventFilter(this);
}

void BirthDatePicker::SetToday(const QDate &value) { today = value; }

QDate BirthDatePicker::CalendarStart() const
{
    const QDate shown = date();
    if (shown.isValid() && shown.daysTo(today) >= youngest)
        return shown;
    return today.addYears(-30);
}

QValidator::State BirthDatePicker::validate(QString &input, int &) const
{
    const TypedDate typed = ReadTypedDate(input.toStdString(), today.year(), false);
    switch (typed.State) {
    case TypedDateState::Complete: {
        const QDate value(typed.Year, typed.Month, typed.Day);
        return value >= minimumDate() && value <= maximumDate() ? QValidator::Acceptable : QValidator::Intermediate;
    }
    case TypedDateState::Intermediate:
        return QValidator::Intermediate;
    case TypedDateState::Invalid:
        break;
    }
    return QValidator::Invalid;
}

void BirthDatePicker::fixup(QString &input) const
{
    const TypedDate typed = ReadTypedDate(input.toStdString(), today.year(), true);
    if (typed.State == TypedDateState::Complete)
        input = QDate(typed.Year, typed.Month, typed.Day).toString(format);
}

QDateTime BirthDatePicker::dateTimeFromText(const QString &text) const
{
    const TypedDate typed = ReadTypedDate(text.toStdString(), today.year(), true);
    if (typed.State != TypedDateState::Complete)
        return dateTime();
    return QDateTime(QDate(typed.Year, typed.Month, typed.Day), QTime(0, 0));
}

QString BirthDatePicker::textFromDateTime(const QDateTime &value) const { return value.date().toString(format); }

void BirthDatePicker::focusInEvent(QFocusEvent *event)
{
    QDateEdit::focusInEvent(event);
    typing = false;
}

void BirthDatePicker::keyPressEvent(QKeyEvent *event)
{
    // Typed text and pasted text go to the field as a whole; the date edit's
    // own handling would take each digit as a step of one section.
    if (event->matches(QKeySequence::Paste)) {
        const QString pasted = QApplication::clipboard()->text().trimmed();
        QString candidate = pasted;
        int pos = 0;
        if (validate(candidate, pos) != QValidator::Invalid) {
            lineEdit()->setText(pasted);
            typing = true;
        }
        event->accept();
        return;
    }
    if (typedCharacter(event)) {
        if (!typing)
            lineEdit()->selectAll();
        typing = true;
        QAbstractSpinBox::keyPressEvent(event);
        return;
    }
    if (typing && (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)) {
        QAbstractSpinBox::keyPressEvent(event);
        return;
    }
    typing = false;
    QDateEdit::keyPressEvent(event);
}

bool BirthDatePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == calendarWidget() && event->type() == QEvent::Show) {
        const QDate start = CalendarStart();
        calendarWidget()->setCurrentPage(start.year(), start.month());
    }
    return QDateEdit::eventFilter(watched, event);
}
