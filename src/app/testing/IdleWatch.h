#pragma once

#include <QObject>

class QTimer;

// Watches for a quiet screen after a finished person's result is shown: a
// key, click, mouse move or wheel anywhere in the program starts the wait
// again; when the set minutes pass without input it reports expired.
class IdleWatch : public QObject {
    Q_OBJECT
public:
    explicit IdleWatch(QObject *parent = nullptr);

    void SetMinutes(int minutes);
    void Start();
    void Stop();
    QTimer *Timer() const { return timer; }

signals:
    void expired();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTimer *timer; // IdleClearTimer
};
