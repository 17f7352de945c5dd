#include "app/testing/IdleWatch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <algorithm>

IdleWatch::IdleWatch(QObject *parent) : QObject(parent)
{
    timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("IdleClearTimer"));
    timer->setSingleShot(true);
    SetMinutes(10);
    connect(timer, &QTimer::timeout, this, &IdleWatch::expired);
}

void IdleWatch::SetMinutes(int minutes) { timer->setInterval(std::max(minutes, 1) * 60 * 1000); }

void IdleWatch::Start()
{
    timer->start();
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
}

void IdleWatch::Stop()
{
    timer->stop();
    qApp->removeEventFilter(this);
}

bool IdleWatch::eventFilter(QObject *watched, QEvent *event)
{
    // Someone still reading the result keeps it on the screen.
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        if (timer->isActive())
            timer->start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
