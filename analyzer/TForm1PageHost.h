#pragma once

#include "cpumap/CPUMapHost.h"
#include "protocols/ProtocolPageHost.h"

class TForm1;

// The UART, CAN and CPU Map pages' view of the main window: its model
// tables, settings and capture records, the decode timing of its waveform
// view and trigger cursor, its timers, and the window itself as the parent
// of the pages' dialogs.
class TForm1PageHost : public ProtocolPageHost, public CPUMapHost
{
public:
    explicit TForm1PageHost(TForm1 &form);

    WSystem &System() override;
    CFile &Settings() override;
    CCaptureRecord &Record() override;
    UartCanTiming DecodeTiming() override;
    QWidget *DialogParent() override;
    void SuspendTimers() override;
    void ResumeTimers() override;

private:
    TForm1 &form;
};
