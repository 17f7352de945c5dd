#include "app/window/WindowPages.h"

#include "app/history/PersonHistoryWindow.h"
#include "app/preferences/AppSettings.h"
#include "app/preferences/Preferences.h"
#include "app/preferences/PreferencesPage.h"
#include "app/statistics/StatisticsPage.h"
#include "app/testing/TestingPage.h"
#include "app/window/PlacementStore.h"
#include "qtkit/StationContext.h"
#include "results/ResultsPage.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>

namespace {
const QString mainWindowClass = QStringLiteral("TformPalettorMain");

// Registration fields of the testing page kept between runs.
const QStringList testingControls{QStringLiteral("TeLabeledEdit1"), QStringLiteral("TeLabeledEdit2"),
                                  QStringLiteral("TeLabeledEdit3"), QStringLiteral("cbUserGroup"),
                                  QStringLiteral("cbUserSex"),      QStringLiteral("TeDateTimePicker1")};

// Pages that can outgrow the window scroll rather than raise its minimum size.
QScrollArea *scrolling(QWidget *parent)
{
    auto *area = new QScrollArea(parent);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}
} // namespace

WindowPages::WindowPages(ArchiveList &sessions, const StationContext &context, ThemeEngine &theme, QWidget *parent)
{
    placement = AppSettings::Open();
    placement->beginGroup(mainWindowClass);

    control = new QTabWidget(parent);
    control->setObjectName(QStringLiteral("TeSPageControl"));
    control->setTabPosition(QTabWidget::West);
    control->setDocumentMode(false);

    testing = new TestingPage(control);
    testing->setObjectName(QStringLiteral("TeTabSheet1"));
    testing->SetSessionList(&sessions);
    testing->SetContext(context);

    // The results page needs more width than the window has at first.
    QScrollArea *resultsSheet = scrolling(control);
    resultsSheet->setObjectName(QStringLiteral("TeTabSheet2"));
    results = new ResultsPage(sessions, *placement, resultsSheet);
    results->SetContext(context);
    ConnectPersonHistory(*results, sessions, context);
    resultsSheet->setWidget(results);

    // The preferences have grown taller than the smallest window; only the
    // height scrolls, the page keeps the width its groups need.
    QScrollArea *prefsSheet = scrolling(control);
    preferences = new PreferencesPage(theme, prefsSheet);
    preferences->setObjectName(QStringLiteral("TeTabSheet3"));
    prefsSheet->setWidget(preferences);
    prefsSheet->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    prefsSheet->setMinimumWidth(preferences->minimumSizeHint().width()
                                + prefsSheet->verticalScrollBar()->sizeHint().width());

    // The statistics work on what the results list shows.
    QScrollArea *statisticsSheet = scrolling(control);
    statisticsSheet->setObjectName(QStringLiteral("TeTabSheet4"));
    statistics = new StatisticsPage(statisticsSheet);
    statistics->SetDecimalSeparator(QString::fromStdString(context.DecimalSeparator()));
    ResultsPage *list = results;
    statistics->SetSource({[list] { return list->ShownSessions(); },
                           [list](const std::string &group) { return list->SessionsOfGroup(group); },
                           [list] { return list->ListFilter(); }});
    statistics->FollowChanges(*results->Grid()->model(), sessions);
    statisticsSheet->setWidget(statistics);

    // In the order of the page indexes of StationMode.
    control->addTab(testing, QStringLiteral("Тестирование"));
    control->addTab(resultsSheet, QStringLiteral("Результаты"));
    control->addTab(prefsSheet, QStringLiteral("Настройка"));
    control->addTab(statisticsSheet, QStringLiteral("Статистика"));
}

WindowPages::~WindowPages() = default;

void WindowPages::ApplyPreferences(const Preferences &prefs, int filterGroupIndex)
{
    ApplyUserGroups(prefs, filterGroupIndex);
    for (PreferencesChange what : {PreferencesChange::RequiredFields, PreferencesChange::ResultType,
                                   PreferencesChange::Colours, PreferencesChange::Signer})
        ApplyChange(prefs, what);
}

void WindowPages::ApplyChange(const Preferences &prefs, PreferencesChange what)
{
    switch (what) {
    case PreferencesChange::UserGroups:
        ApplyUserGroups(prefs, results->FilterGroupIndex());
        break;
    case PreferencesChange::RequiredFields: {
        RequiredFields fields;
        for (std::size_t i = 0; i < prefs.UserField.size() && i < fields.Flags.size(); ++i)
            fields.Flags[i] = prefs.UserField[i];
        testing->SetRequiredFields(fields);
        testing->UpdateRequiredMarks(fields);
        break;
    }
    case PreferencesChange::ResultType:
        testing->SetShowResultType(prefs.ShowResultType);
        testing->SetIdleClearMinutes(prefs.IdleClearMinutes);
        break;
    case PreferencesChange::Colours:
        testing->SetColours(prefs.Colours);
        results->SetColours(prefs.Colours);
        statistics->SetColours(prefs.Colours);
        break;
    case PreferencesChange::Signer:
        results->SetSigner(prefs.Examiner, prefs.Organisation);
        break;
    case PreferencesChange::Theme:
    case PreferencesChange::Protection:
        break;
    }
}

void WindowPages::ApplyUserGroups(const Preferences &prefs, int filterGroupIndex)
{
    const QStringList groups = UserGroupLines(prefs.UserGroups);
    testing->SetUserGroups(groups);
    results->SetUserGroups(groups, filterGroupIndex);
    statistics->SetUserGroups(groups);
}

void WindowPages::SetStimulusSets(const StimulusSets &sets) { testing->SetStimulusSets(sets); }

void WindowPages::FocusResultsList()
{
    if (results->Grid()->isVisible())
        results->Grid()->setFocus();
}

void WindowPages::RestorePlacement(QWidget *window)
{
    PlacementStore(mainWindowClass).RestoreControls(window, testingControls);
    results->RestorePlacement();
}

void WindowPages::SavePlacement(QWidget *window)
{
    PlacementStore(mainWindowClass).SaveControls(window, testingControls);
    results->SavePlacement();
    placement->sync();
}
