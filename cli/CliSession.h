#pragma once

#include "device/AFile.h"
#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/DIV_WTime.h"
#include "protocols/CaptureWindow.h"
#include "protocols/UartCanTiming.h"

#include <ostream>
#include <string>
#include <vector>

// What every subcommand works on, as the main window holds it: the model
// tables with the sample ring, the settings record, the run-parameter image,
// the record's placement in the ring and the time base.
class CliSession
{
public:
    CliSession();

    // Reads a project file, a Value Change Dump (a name ending in ".vcd") or
    // a sigrok session (".sr"); on success the model, record and samples are the file's and
    // the record is placed as after a capture. Empty on success, otherwise
    // why the file was refused.
    std::string Load(const std::string &path);
    // The notes of the reading, one "tracemoor-cli: FILE: note" line each.
    void TellNotes(std::ostream &err, const std::string &path) const;

    // The model and a fresh record for it.
    void SelectModel(int code);
    // The time base and the record's depth and trigger position from the
    // settings record.
    void ApplyGeometry();

    // What the I2C and SPI pages decode, at their sample period.
    CaptureWindow Window() const;
    WTime PagePeriod() const;
    // Where the UART and CAN decoders start: the trigger event the delay
    // stands for.
    UartCanTiming Timing() const;
    // The capture's sample period in picoseconds.
    uint64_t PeriodPs() const;

    WSystem System;
    CFile Settings;
    AFile RunImage;
    CCaptureRecord Record{System, Settings};
    DIV_WTime TimeBase{System, Settings};
    // The file loaded was a Value Change Dump, and what its reading changed
    // or left out.
    bool FromVcd = false;
    std::vector<std::string> Notes;
};
