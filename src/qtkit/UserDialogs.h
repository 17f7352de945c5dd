#pragma once

#include <QColor>
#include <QString>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

// Every modal question the program asks goes through here, so tests can
// answer them without a real modal loop. The default shows real boxes.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // Caption "Информация", information icon.
    virtual void ShowInfo(QWidget *parent, const QString &text, bool beep = false);
    // Caption "Предупреждение", warning icon.
    virtual void ShowWarning(QWidget *parent, const QString &text, bool beep = false);
    // Caption "Предупреждение", question icon, Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget *parent, const QString &text, bool beep = false);
    // Empty when cancelled.
    virtual QString AskSaveFileName(QWidget *parent, const QString &caption, const QString &initialPath,
                                    const QString &filter);
    virtual std::optional<QColor> AskColour(QWidget *parent, const QColor &initial);
    // The print dialog for that printer; true when the user chose to print.
    virtual bool AskPrinter(QWidget *parent, QPrinter &printer);
    // The print preview, modal; paint draws the pages on the printer it is given.
    virtual void ShowPrintPreview(QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint);

    // The instance in effect; tests install their own and restore the default.
    static UserDialogs &Current();
    static void Install(UserDialogs *dialogs); // nullptr restores the default
};

// Asks where to save through the current dialogs; a name given without a
// suffix gets this one (".txt"). Empty when cancelled.
QString AskSavePath(QWidget *parent, const QString &caption, const QString &filter, const QString &suffix);
