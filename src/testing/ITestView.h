#pragma once

#include "testing/ColourTables.h"
#include "testing/Registration.h"

#include <string>
#include <vector>

// One colour tile to lay out: the tag the pick reports and the colour it is
// painted in (taken from the colours in effect when the tile is laid out).
struct TileSpec {
    int Tag = 0;
    ColourValue Colour = 0;
    bool operator==(const TileSpec &) const = default;
};

// The three step labels: number ("Восьмицветный тест Люшера - Шаг 2 из 8"),
// name and details.
struct StepTexts {
    std::string Number;
    std::string Name;
    std::string Details;
    bool operator==(const StepTexts &) const = default;
};

// Status-bar panels the procedure writes to.
enum class StatusPanel { StartTime = 0, Elapsed = 1, Step = 2 };

// What the step machine asks of the testing page. Every call is a plain
// display change; the page forwards clicks back to the machine.
class ITestView {
public:
    virtual ~ITestView() = default;

    // Test area visible and in front, the testing page current, the chooser
    // shown (or hidden when a kind was chosen).
    virtual void ShowChooser(bool visible) = 0;
    // Caption and height of the header panel above the test area.
    virtual void SetHeaderCaption(const std::string &caption) = 0;
    virtual void SetHeaderHeight(int pixels) = 0;
    // The step header with its three labels.
    virtual void ShowStepHeader(bool visible) = 0;
    virtual void SetStepTexts(const StepTexts &texts) = 0;

    // Registration panel with the required marks it shows.
    virtual void ShowRegistration(bool visible, const RequiredFields &required) = 0;
    // Stimulus-list panel of the Colour Relations Test.
    virtual void ShowStimulusList(bool visible) = 0;
    // Empties the result memo.
    virtual void ClearResult() = 0;

    // Replaces every tile of the test area by these, left to right.
    virtual void LayOutTiles(const std::vector<TileSpec> &tiles) = 0;
    virtual void RemoveTiles() = 0;

    virtual void SetStatusText(StatusPanel panel, const std::string &text) = 0;
    virtual void SetProgress(int position, int maximum) = 0;
    // Caption and hint of the start/stop action: "Прекратить тестирование"
    // while a test runs, "Начать тестирование" otherwise.
    virtual void SetTestRunning(bool running) = 0;
    // The elapsed-time clock; while it runs the view calls ClockTick.
    virtual void SetClockRunning(bool running) = 0;
};
