#pragma once

#include "core/TCLTSession.h"
#include "testing/ColourTables.h"

#include <QObject>
#include <QString>

class CollapsiblePanel;
class QAction;
class QLabel;
class QPlainTextEdit;
class QSettings;
class QTabWidget;
class QWidget;
class SwatchPanel;

// The detail view of one session: a side bar of roll-up panels (who, the
// session, the eight-colour choices, the full-test grid) and the tabs of the
// three conclusions. The page places the two parts; their widgets belong to
// the parent given.
class ResultDetailPanels : public QObject {
    Q_OBJECT
public:
    explicit ResultDetailPanels(QWidget *parent);

    QWidget *SideBar() const { return sideBar; }
    QTabWidget *Conclusions() const { return tabs; }
    // 1 or 2; nullptr for any other choice.
    SwatchPanel *EightColourPanel(int choice) const;
    SwatchPanel *FullChoicesPanel() const { return panelFullChoices; }

    void SetColours(const ColourSet &value) { colours = value; }
    // A button for what concerns the shown person, under the person's panel.
    void AddPersonAction(QAction *action);
    void SetDateTimeFormat(const QString &format) { dateTimeFormat = format; }

    // Not const: the sex and age text brings the session's age up to date.
    void Show(TCLTSession &session);
    // Only the swatch panels, leaving the memos and their scroll positions.
    void DrawChoices(const TCLTSession &session);
    void Clear();
    // The list fields of a session whose file could not be read, and why
    // in place of its conclusions.
    void ShowUnreadable(TCLTSession &session, const QString &why);

    // Which panels are rolled up.
    void RestorePlacement(QSettings &store);
    void SavePlacement(QSettings &store) const;

signals:
    // A choices panel was opened or rolled up: what it skipped is drawn again.
    void choicesPanelToggled();
    // The swatches are placed by the panel width, which is known only once
    // the side bar is laid out (and changes with the font).
    void choicesResized();

private:
    QWidget *buildSideBar(QWidget *parent);
    QTabWidget *buildTabs(QWidget *parent);
    void drawFullTest(const TCLTSession &session);

    ColourSet colours = DefaultColours;
    QString dateTimeFormat;

    QWidget *sideBar;
    QTabWidget *tabs;
    QPlainTextEdit *memoResultsBriefSummary;
    QPlainTextEdit *memoResultsTotalSummary;
    QPlainTextEdit *memoResultsFactorSummary;
    CollapsiblePanel *TeHeaderPanel2;
    CollapsiblePanel *TeHeaderPanel3;
    CollapsiblePanel *TeHeaderPanel4;
    CollapsiblePanel *TeHeaderPanel5;
    QLabel *labelResultsUserName;
    QLabel *labelResultsUserSexAge;
    QLabel *labelResultsUserGroup;
    QLabel *labelResultsSessionStarted;
    QLabel *labelResultsSessionDuration;
    SwatchPanel *panel8CChoices1;
    SwatchPanel *panel8CChoices2;
    SwatchPanel *panelFullChoices;
    QLabel *TeLabel28;
};
