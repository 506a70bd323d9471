#pragma once

class CCaptureRecord;
class CFile;
class QWidget;
class WSystem;

// What the CPU Map page asks of the window that holds it: the model tables
// and the settings record (the channel count the map needs), the capture
// record it reads, a window for its colour dialog and message boxes, and
// the pause of the window's timers while that dialog is open. The main
// window answers through TForm1PageHost; the page's tests answer with a
// capture of their own.
class CPUMapHost
{
public:
    virtual ~CPUMapHost() = default;

    virtual WSystem &System() = 0;
    virtual CFile &Settings() = 0;
    virtual CCaptureRecord &Record() = 0;
    // The parent of the page's colour dialog and message boxes.
    virtual QWidget *DialogParent() = 0;
    // Around the modal colour dialog.
    virtual void SuspendTimers() = 0;
    virtual void ResumeTimers() = 0;
};
