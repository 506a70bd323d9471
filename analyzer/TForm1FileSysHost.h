#pragma once

#include "files/FileSysHost.h"

class TForm1;

// The file commands' view of the main window: the window, System.ini, its
// records, the waveform view's sample period, the command channel and the
// acquisition control.
class TForm1FileSysHost : public FileSysHost
{
public:
    explicit TForm1FileSysHost(TForm1 &form);

    QWidget &Window() override;
    const std::string &SystemIniPath() const override;
    WSystem &System() override;
    CFile &Settings() override;
    AFile &RunImage() override;
    CCaptureRecord &Record() override;
    WTime SamplePeriod() const override;
    std::string Text(WSysLanguage::Id id) const override;
    CEzUsb *CommandChannel() override;
    void ReportStatus(uint8_t status) override;
    void ModelMismatch() override;
    void PrepareDelay() override;

private:
    TForm1 &form;
};
