#pragma once

#include "core/ArchiveList.h"

#include <QStringList>

#include <memory>

class PreferencesPage;
class QSettings;
class QTabWidget;
class QWidget;
class ResultsPage;
class StatisticsPage;
class StationContext;
class TestingPage;
class ThemeEngine;
struct Preferences;
struct StimulusSets;
enum class PreferencesChange;

// The main window's four pages in their tab control. The window reaches each
// page through its own class; what lives here is what concerns several
// pages at once: making them, handing them the preferences they follow, and
// keeping their control states between runs.
class WindowPages {
public:
    // The sessions, the context and the theme must outlive the pages.
    WindowPages(ArchiveList &sessions, const StationContext &context, ThemeEngine &theme, QWidget *parent);
    ~WindowPages();

    QTabWidget *Control() const { return control; }
    TestingPage &Testing() const { return *testing; }
    ResultsPage &Results() const { return *results; }
    PreferencesPage &Settings() const { return *preferences; }
    StatisticsPage &Statistics() const { return *statistics; }

    // Every preference the pages follow; the group filter's index as stored
    // (an index past the groups selects «Любая группа»).
    void ApplyPreferences(const Preferences &prefs, int filterGroupIndex);
    // Only what that change touches.
    void ApplyChange(const Preferences &prefs, PreferencesChange what);
    void SetStimulusSets(const StimulusSets &sets);
    // The results list takes the keyboard when its page is shown.
    void FocusResultsList();

    // Control states kept between runs beside the window's placement.
    void RestorePlacement(QWidget *window);
    void SavePlacement(QWidget *window);

private:
    void ApplyUserGroups(const Preferences &prefs, int filterGroupIndex);

    std::unique_ptr<QSettings> placement; // the results page keeps a reference
    QTabWidget *control = nullptr;
    TestingPage *testing = nullptr;
    ResultsPage *results = nullptr;
    PreferencesPage *preferences = nullptr;
    StatisticsPage *statistics = nullptr;
};
