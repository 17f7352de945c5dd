#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// Ticks every 2 ms on the window's thread and keeps the longest gap.
class Heartbeat {
public:
    Heartbeat()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(2);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const double now = clock.nsecsElapsed() / 1e6;
            longest = std::max(longest, now - last);
            last = now;
        });
        clock.start();
        timer.start();
    }
    void Restart()
    {
        last = clock.nsecsElapsed() / 1e6;
        longest = 0;
    }
    // The gap since the last tick counts too.
    double Longest() const { return std::max(longest, clock.nsecsElapsed() / 1e6 - last); }

private:
    QTimer timer;
    QElapsedTimer clock;
    double last = 0;
    double longest = 0;
};
