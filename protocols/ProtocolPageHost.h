#pragma once

#include "protocols/UartCanTiming.h"

class CCaptureRecord;
class CFile;
class QAction;
class QTabWidget;
class QWidget;
class WSystem;

// What the UART and CAN pages ask of the window that holds them: the model
// tables and the settings record (channel count and names), the capture
// record they decode, the timing of a decode, and a window for their
// message boxes and file dialogs. The main window answers through
// TForm1PageHost; a page's tests answer with a capture of their own.
class ProtocolPageHost
{
public:
    virtual ~ProtocolPageHost() = default;

    virtual WSystem &System() = 0;
    virtual CFile &Settings() = 0;
    virtual CCaptureRecord &Record() = 0;
    // The sample period, the trigger cursor's time and the record's
    // pre-trigger span as the view has them, asked right after the record
    // was placed again (ProtocolPageParts::PrepareDecode).
    virtual UartCanTiming DecodeTiming() = 0;
    // The parent of the page's message boxes and file dialogs.
    virtual QWidget *DialogParent() = 0;
};

// Where a protocol page sits, given once at its construction: its tab
// sheet in the page control, and the menu item and tool button that show
// and hide the tab.
struct ProtocolPageTab
{
    QTabWidget *Pages = nullptr;
    QWidget *Sheet = nullptr;
    QAction *MenuItem = nullptr;
    QAction *Button = nullptr;
};
