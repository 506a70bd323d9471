#include "analyzer/TForm1FileSysHost.h"

#include "analyzer/CAcquisition.h"
#include "analyzer/TForm1.h"
#include "display/CWaveform.h"

TForm1FileSysHost::TForm1FileSysHost(TForm1 &mainForm)
    : form(mainForm)
{}

QWidget &TForm1FileSysHost::Window()
{
    return form;
}

const std::string &TForm1FileSysHost::SystemIniPath() const
{
    return form.SystemIniPath();
}

WSystem &TForm1FileSysHost::System()
{
    return form.System();
}

CFile &TForm1FileSysHost::Settings()
{
    return form.Settings();
}

AFile &TForm1FileSysHost::RunImage()
{
    return form.RunImage();
}

CCaptureRecord &TForm1FileSysHost::Record()
{
    return *form.CaptureRecord;
}

WTime TForm1FileSysHost::SamplePeriod() const
{
    return form.Waveform->SamplePeriod;
}

std::string TForm1FileSysHost::Text(WSysLanguage::Id id) const
{
    return form.wSysLanguage->Text(id);
}

CEzUsb *TForm1FileSysHost::CommandChannel()
{
    return form.EzUsb;
}

void TForm1FileSysHost::ReportStatus(uint8_t status)
{
    form.Acquisition->ReportStatus(status);
}

void TForm1FileSysHost::ModelMismatch()
{
    form.Acquisition->ModelMismatch();
}

void TForm1FileSysHost::PrepareDelay()
{
    form.Acquisition->PrepareDelay();
}
