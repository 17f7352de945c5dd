#pragma once

#include "testing/ITestView.h"

#include <map>
#include <string>
#include <vector>

// Keeps what the step machine last showed, and every step label it set.
class RecordingTestView : public ITestView {
public:
    bool chooserShown = false;
    std::string headerCaption = "unset";
    int headerHeight = 0;
    bool stepHeaderShown = false;
    StepTexts texts;
    std::vector<StepTexts> textHistory;
    bool registrationShown = false;
    RequiredFields marks;
    bool stimulusListShown = false;
    int resultClears = 0;
    std::vector<TileSpec> tiles;
    std::vector<std::vector<TileSpec>> layouts; // every layout, in order
    std::map<StatusPanel, std::string> status;
    int progress = -1;
    int progressMaximum = -1;
    bool testRunning = false;
    bool clockRunning = false;

    void ShowChooser(bool visible) override { chooserShown = visible; }
    void SetHeaderCaption(const std::string &caption) override { headerCaption = caption; }
    void SetHeaderHeight(int pixels) override { headerHeight = pixels; }
    void ShowStepHeader(bool visible) override { stepHeaderShown = visible; }
    void SetStepTexts(const StepTexts &value) override
    {
        texts = value;
        textHistory.push_back(value);
    }
    void ShowRegistration(bool visible, const RequiredFields &required) override
    {
        registrationShown = visible;
        marks = required;
    }
    void ShowStimulusList(bool visible) override { stimulusListShown = visible; }
    void ClearResult() override { ++resultClears; }
    void LayOutTiles(const std::vector<TileSpec> &value) override
    {
        tiles = value;
        layouts.push_back(value);
    }
    void RemoveTiles() override { tiles.clear(); }
    void SetStatusText(StatusPanel panel, const std::string &text) override { status[panel] = text; }
    void SetProgress(int position, int maximum) override
    {
        progress = position;
        progressMaximum = maximum;
    }
    void SetTestRunning(bool running) override { testRunning = running; }
    void SetClockRunning(bool running) override { clockRunning = running; }
};
