#pragma once

#include <QString>

#include <array>
#include <cstddef>

class QLabel;
class QProgressBar;
class QStatusBar;

// The five panels of the main window's status bar: start time, elapsed
// time, test and step, the progress bar and the last panel for loading.
class WindowStatusBar {
public:
    explicit WindowStatusBar(QStatusBar &bar);

    // panel 0..2; other numbers are ignored.
    void SetPanelText(int panel, const QString &text);
    void SetProgress(int position, int maximum);
    void ShowLoading(std::size_t read, std::size_t total);
    void EndLoading();

private:
    std::array<QLabel *, 3> panels{};
    QProgressBar *progress = nullptr;
    QLabel *lastPanel = nullptr;
};
