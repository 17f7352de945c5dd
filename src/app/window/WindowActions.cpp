#include "app/window/WindowActions.h"

#include "app/window/MenuTitleClick.h"
#include "results/ResultsPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

WindowActions::WindowActions(QMainWindow &window, const ResultsPage &results) : window(window)
{
    CreateActions(window, results);
    CreateMenusAndToolBar(window);
}

void WindowActions::CreateActions(QMainWindow &window, const ResultsPage &results)
{
    auto make = [&window](QAction *&action, const char *name, const QString &caption, const QKeySequence &key,
                          bool hint) {
        action = new QAction(caption, &window);
        action->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            action->setShortcut(key);
        if (hint) {
            action->setToolTip(caption);
            action->setStatusTip(caption);
        }
        window.addAction(action);
    };
    make(actStartTesting, "actStartTesting", QStringLiteral("Начать тестирование"), QKeySequence(Qt::Key_F5), true);
    make(actFileAuthen, "actFileAuthen", QStringLiteral("Авторизоваться"), {}, false);
    make(actFileExit, "actFileExit", QStringLiteral("Выход"), QKeySequence(Qt::Key_F10), false);
    actResultsCopy = results.actResultsCopy;
    actResultsExportMSWord = results.actResultsExportMSWord;
    actResultsSave = results.actResultsSave;
    actResultsPreview = results.actResultsPreview;
    actResultsPrint = results.actResultsPrint;
    actResultsSendEMail = results.actResultsSendEMail;
    actResultsExportList = results.actResultsExportList;
    actResultsSavePdf = results.actResultsSavePdf;
    actResultsDelete = results.actResultsDelete;
    actResultsFilter = results.actResultsFilter;
    actResultsShowAll = results.actResultsShowAll;
    make(actHelpContents, "actHelpContents", QStringLiteral("Помощь"), QKeySequence(Qt::Key_F1), true);
    make(actHelpAbout, "actHelpAbout", QStringLiteral("О программе..."), {}, false);
    make(actHelpLicenseAgreement, "actHelpLicenseAgreement", QStringLiteral("Лицензионное соглашение"), {}, false);
    make(actHelpWWW, "actHelpWWW", QStringLiteral("Интернет-сайт разработчика"), {}, false);
    make(actHelpEMail, "actHelpEMail", QStringLiteral("Письмо разработчику"), {}, false);
    make(EditCopy1, "EditCopy1", QStringLiteral("Копировать"), QKeySequence(Qt::CTRL | Qt::Key_C), false);

    // Kept, with its shortcut, but never offered: Ctrl+C on the list and a
    // click on the menu title copy the report.
    actResultsCopy->setVisible(false);
    actFileAuthen->setEnabled(false);
}

void WindowActions::CreateMenusAndToolBar(QMainWindow &window)
{
    submenuFile = window.menuBar()->addMenu(QStringLiteral("Файл"));
    submenuFile->addAction(actFileAuthen);
    submenuFile->addSeparator();
    submenuFile->addAction(actFileExit);

    submenuTesting = window.menuBar()->addMenu(QStringLiteral("Тестирование"));
    submenuTesting->addAction(actStartTesting);

    submenuResults = window.menuBar()->addMenu(QStringLiteral("Результаты"));
    submenuResults->setObjectName(QStringLiteral("submenuResults"));
    submenuResults->addAction(actResultsCopy);
    submenuResults->addAction(actResultsExportMSWord);
    submenuResults->addAction(actResultsSave);
    submenuResults->addAction(actResultsSavePdf);
    submenuResults->addSeparator();
    submenuResults->addAction(actResultsPreview);
    submenuResults->addAction(actResultsPrint);
    submenuResults->addAction(actResultsSendEMail);
    submenuResults->addSeparator();
    submenuResults->addAction(actResultsExportList);
    submenuResults->addSeparator();
    submenuResults->addAction(actResultsDelete);
    // A click on the menu's title copies the selected report.
    new MenuTitleClick(window.menuBar(), submenuResults, actResultsCopy);

    submenuHelp = window.menuBar()->addMenu(QStringLiteral("Помощь"));
    submenuHelp->addAction(actHelpContents);
    submenuHelp->addSeparator();
    submenuHelp->addAction(actHelpAbout);
    submenuHelp->addAction(actHelpLicenseAgreement);
    submenuHelp->addSeparator();
    submenuHelp->addAction(actHelpWWW);
    submenuHelp->addAction(actHelpEMail);

    actStartTesting->setIcon(window.style()->standardIcon(QStyle::SP_MediaPlay));
    actHelpContents->setIcon(window.style()->standardIcon(QStyle::SP_MessageBoxQuestion));

    TestingToolBar = window.addToolBar(QStringLiteral("Тестирование"));
    TestingToolBar->setObjectName(QStringLiteral("TestingToolBar"));
    TestingToolBar->setMovable(false);
    TestingToolBar->setFloatable(false);
    TestingToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    TestingToolBar->toggleViewAction()->setEnabled(false);
    window.setContextMenuPolicy(Qt::NoContextMenu);
    TestingToolBar->addAction(actStartTesting);
    TestingToolBar->addAction(actHelpContents);
    // At least their designed widths; wider where the font needs it, so
    // "Прекратить тестирование" is never cut short.
    if (auto *button = qobject_cast<QToolButton *>(TestingToolBar->widgetForAction(actStartTesting))) {
        const QString longest = QStringLiteral("Прекратить тестирование");
        const int needed = button->fontMetrics().horizontalAdvance(longest) + button->iconSize().width() + 24;
        button->setFixedWidth(std::max(180, needed));
    }
    if (auto *button = qobject_cast<QToolButton *>(TestingToolBar->widgetForAction(actHelpContents)))
        button->setFixedWidth(96);
}

void WindowActions::SetListComplete(bool complete) { actResultsExportList->setEnabled(complete); }

void WindowActions::ShowTestRunning(bool running, const QString &caption)
{
    actStartTesting->setIcon(window.style()->standardIcon(running ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
    actStartTesting->setText(caption);
    actStartTesting->setToolTip(caption);
    actStartTesting->setStatusTip(caption);
}

void WindowActions::ShowResultsMenu(bool visible) { submenuResults->menuAction()->setVisible(visible); }

void WindowActions::AddCopyMenu(QPlainTextEdit *memo)
{
    if (!memo)
        return;
    auto *copyResult = new QAction(QStringLiteral("Копировать"), memo);
    copyResult->setObjectName(QStringLiteral("memoTestResultCopy"));
    QObject::connect(copyResult, &QAction::triggered, memo, [memo] {
        memo->setFocus();
        memo->copy();
    });
    memo->setContextMenuPolicy(Qt::ActionsContextMenu);
    memo->addAction(copyResult);
}

void WindowActions::CopyFocusedSelection()
{
    QWidget *focused = QApplication::focusWidget();
    if (auto *edit = qobject_cast<QLineEdit *>(focused)) {
        if (edit->hasSelectedText() && edit->echoMode() == QLineEdit::Normal)
            QApplication::clipboard()->setText(edit->selectedText());
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(focused)) {
        memo->copy();
    } else if (auto *rich = qobject_cast<QTextEdit *>(focused)) {
        rich->copy();
    }
}
