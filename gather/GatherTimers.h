#pragma once

#include "gather/CGatherControl.h"

#include <QObject>
#include <QTimer>

// The timers of Gathermoor, shared by its window and its windowless run:
// the watch of the parameter file (Timer_CheckFileAge, 500 ms), the poll of
// a running capture (10 ms) and the delivery of device changes (100 ms).
// Fill Hooks first, then Bind: the timer hooks are set here.
class GatherTimers : public QObject
{
    Q_OBJECT

public:
    static constexpr int WatchMs = 500;
    static constexpr int PollMs = 10;
    static constexpr int DeviceMs = 100;

    explicit GatherTimers(QObject *parent = nullptr);

    // Adds the timer hooks to `hooks`.
    void Bind(CGatherControl::Hooks &hooks);
    // Starts delivering device changes to `control`.
    void Attach(CGatherControl &control);

    QTimer Timer_CheckFileAge;
    QTimer PollTimer;
    QTimer DeviceTimer;

private:
    CGatherControl *control = nullptr;
};
