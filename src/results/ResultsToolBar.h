#pragma once

#include <QList>
#include <QWidget>

class QAction;
class QLineEdit;

// The results page's toolbar: three groups of actions and the search field,
// wrapping onto a second row where the page is narrow, so no action is hidden
// in an overflow menu. The actions belong to the page.
class ResultsToolBar : public QWidget {
    Q_OBJECT
public:
    // The groups: hand-over to the editor and files, print and mail, the list.
    ResultsToolBar(const QList<QAction *> &fileActions, const QList<QAction *> &printActions,
                   const QList<QAction *> &listActions, QWidget *parent = nullptr);

    // Narrows the shown rows to the people whose names hold the typed text.
    QLineEdit *SearchField() const { return searchField; }

signals:
    void searchChanged(const QString &text);

private:
    QWidget *buildSearchField();

    QLineEdit *searchField = nullptr;
};
