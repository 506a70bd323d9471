#include "gather/GatherTimers.h"

GatherTimers::GatherTimers(QObject *parent)
    : QObject(parent)
{
    Timer_CheckFileAge.setObjectName(QStringLiteral("Timer_CheckFileAge"));
    Timer_CheckFileAge.setInterval(WatchMs);
    PollTimer.setInterval(PollMs);
    DeviceTimer.setInterval(DeviceMs);
    connect(&Timer_CheckFileAge, &QTimer::timeout, this, [this] {
        if (control)
            control->WatchTick();
    });
    connect(&PollTimer, &QTimer::timeout, this, [this] {
        if (control)
            control->PollTick();
    });
    connect(&DeviceTimer, &QTimer::timeout, this, [this] {
        if (control)
            control->PumpDeviceEvents();
    });
}

void GatherTimers::Bind(CGatherControl::Hooks &hooks)
{
    hooks.WatchTimer = [this](bool on) {
        if (on)
            Timer_CheckFileAge.start();
        else
            Timer_CheckFileAge.stop();
    };
    hooks.PollTimer = [this](bool on) {
        if (on)
            PollTimer.start();
        else
            PollTimer.stop();
    };
}

void GatherTimers::Attach(CGatherControl &gather)
{
    control = &gather;
    DeviceTimer.start();
}
