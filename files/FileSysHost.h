#pragma once

#include "display/WTime.h"
#include "lang/WSysLanguage.h"

#include <cstdint>
#include <string>

class AFile;
class CCaptureRecord;
class CEzUsb;
class CFile;
class QWidget;
class WSystem;

// What the file commands (FileSys) ask of the main window: the window itself
// (the parent and caption of their dialogs and message boxes, and what the
// capture window pictures), System.ini, the records a project holds, the
// sample period of the capture shown, the command channel, and the
// acquisition control's checks and messages for Import and Export. The main
// window answers through TForm1FileSysHost.
class FileSysHost
{
public:
    virtual ~FileSysHost() = default;

    virtual QWidget &Window() = 0;
    // Where the last project file is remembered.
    virtual const std::string &SystemIniPath() const = 0;
    virtual WSystem &System() = 0;
    virtual CFile &Settings() = 0;
    virtual AFile &RunImage() = 0;
    virtual CCaptureRecord &Record() = 0;
    virtual WTime SamplePeriod() const = 0;
    // A text of the main window's table (UTF-8).
    virtual std::string Text(WSysLanguage::Id id) const = 0;

    // The command channel; none before the window was first shown.
    virtual CEzUsb *CommandChannel() = 0;
    // The message of a status byte the analyzer refused a request with.
    virtual void ReportStatus(uint8_t status) = 0;
    // The message for a connected analyzer that is not the selected model.
    virtual void ModelMismatch() = 0;
    // The record's trigger-position words as the view has them now.
    virtual void PrepareDelay() = 0;
};
