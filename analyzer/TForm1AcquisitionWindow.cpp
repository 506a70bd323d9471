#include "analyzer/TForm1AcquisitionWindow.h"

#include "analyzer/CAcquisition.h"
#include "analyzer/TDeviceSelectForm.h"
#include "analyzer/TForm1.h"
#include "analyzer/TLamp.h"
#include "display/CCaptureRecord.h"
#include "display/CWaveform.h"
#include "display/TPaintBox.h"
#include "display/WCursor.h"
#include "lang/LanguageDefaults.h"
#include "protocols/WSPI.h"
#include "protocols/wI2C_UI.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>

TForm1AcquisitionWindow::TForm1AcquisitionWindow(TForm1 &mainForm)
    : form(mainForm)
{}

namespace {

QTimer *TimerOf(TForm1 &form, AcquisitionWindow::Timer timer)
{
    switch (timer) {
    case AcquisitionWindow::Timer::Timer1:
        return form.Timer1;
    case AcquisitionWindow::Timer::Timer2:
        return form.Timer2;
    case AcquisitionWindow::Timer::Timer3:
        return form.Timer3;
    }
    return nullptr;
}

} // namespace

void TForm1AcquisitionWindow::EnableTimer(Timer timer, bool on)
{
    QTimer *t = TimerOf(form, timer);
    if (on)
        t->start();
    else
        t->stop();
}

bool TForm1AcquisitionWindow::TimerEnabled(Timer timer) const
{
    return TimerOf(form, timer)->isActive();
}

void TForm1AcquisitionWindow::SetProgress(int percent)
{
    form.ProgressBar1->setValue(percent);
}

void TForm1AcquisitionWindow::SetLamp(bool on)
{
    form.ALed1->SetOn(on);
}

void TForm1AcquisitionWindow::SetRunControls(RunMode mode)
{
    form.SetRunControls(mode);
}

void TForm1AcquisitionWindow::ShowWarning(Warning warning)
{
    WSysLanguage::Id text = WSysLanguage::strNoDeivce;
    switch (warning) {
    case Warning::NoDevice:
        text = WSysLanguage::strNoDeivce;
        break;
    case Warning::LinkFail:
        text = WSysLanguage::strLinkFail;
        break;
    case Warning::DeviceWrong:
        text = WSysLanguage::strDeviceWrong;
        break;
    case Warning::ProcessingFail:
        text = WSysLanguage::strProcfail;
        break;
    case Warning::NoAccess:
        AppMessage::Warning(&form, form.windowTitle(), QString::fromUtf8(NoAccessText));
        return;
    }
    AppMessage::Warning(&form, form.windowTitle(), form.Text(text));
}

void TForm1AcquisitionWindow::ChooseModel()
{
    form.SuspendTimers();
    form.CreateDialogs();
    form.DeviceSelectForm->ConnectedModel = form.ConnectedModel();
    form.DeviceSelectForm->ChooseModel(form.Settings(), form.System(), form.SystemIniPath());
    form.ResumeTimers();
}

bool TForm1AcquisitionWindow::OfferEveryChannel()
{
    form.SuspendTimers();
    const bool yes =
        AppMessage::YesNo(&form, form.windowTitle(),
                          UiText::Get("WarningString", "strEmptyList",
                                      LanguageDefaults::Text("WarningString", "strEmptyList")));
    form.ResumeTimers();
    return yes;
}

void TForm1AcquisitionWindow::ModelChanged()
{
    form.UpdateTitle();
    form.FillDivList();
    form.FillDepthList();
    SelectCombos();
    form.MemoryPercent->setCurrentIndex(form.Settings().MemoryPercent - 1);
    form.WriteStatusBar();
    form.I2C_UI->RefreshChannelLists();
    form.SPI_UI->RefreshChannelLists();
    form.Waveform->AllocateRows();
    RefreshViews();
}

int TForm1AcquisitionWindow::ActivePage() const
{
    return form.PageControl1->currentIndex();
}

int TForm1AcquisitionWindow::DivComboBoxIndex() const
{
    return form.DivComboBox->currentIndex();
}

void TForm1AcquisitionWindow::SelectCombos()
{
    form.Memory_Depth_ComboBox->setCurrentIndex(form.Settings().MemoryDepthIndex);
    const int row = form.Waveform->TimeDivIndex;
    if (form.Settings().ClockSource != 1) {
        form.DivComboBox->setCurrentIndex(row);
        return;
    }
    const WSystem &sys = form.System();
    for (uint32_t i = 0; i < sys.DividerCount; ++i) {
        if ((*sys.DividerRows)[i] == row)
            form.DivComboBox->setCurrentIndex(static_cast<int>(i));
    }
}

void TForm1AcquisitionWindow::FillDivList()
{
    form.FillDivList();
}

void TForm1AcquisitionWindow::WriteStatusBar()
{
    form.WriteStatusBar();
}

void TForm1AcquisitionWindow::ShowDelay(const std::string &text)
{
    form.Edit1->setText(QString::fromStdString(text));
}

void TForm1AcquisitionWindow::ClearWaveform(bool keepDrawing)
{
    form.SyncWaveformColours();
    CWaveform &w = *form.Waveform;
    w.UpdateTimeBase();
    if (!keepDrawing)
        w.ClearLayer(w.WaveformLayer);
    w.DrawGrid();
    w.ComposeDisplay(nullptr);
    w.Device.PaintBox->update();
}

void TForm1AcquisitionWindow::SetViewPosition(const WTime &t)
{
    form.Waveform->SetViewPosition(t);
}

void TForm1AcquisitionWindow::ScrollWaveformHome()
{
    form.Waveform->SetScrollRange();
}

void TForm1AcquisitionWindow::UpdateCursors()
{
    form.Cursors->SetTriggerCursor(form.Acquisition->Delay);
    form.SyncTriggerCursor();
}

void TForm1AcquisitionWindow::PlaceTriggerMark()
{
    form.Cursors->SetTriggerCursor(WTime{});
    form.SyncTriggerCursor();
}

void TForm1AcquisitionWindow::RefreshList()
{
    form.RefreshListing();
}

// A run started on the list page keeps the delay set on the waveform page.
WTime TForm1AcquisitionWindow::ListDelay() const
{
    return form.Acquisition->Delay;
}

void TForm1AcquisitionWindow::ShowCapture()
{
    if (ActivePage() == WaveformPage) {
        form.Waveform->SetScrollRange();
        form.RedrawWaveform();
    } else if (ActivePage() == ListPage) {
        form.RefreshListing();
    }
    // Pages that show results decode the new capture.
    form.I2C_UI->CaptureArrived();
    form.SPI_UI->CaptureArrived();
}

void TForm1AcquisitionWindow::RedrawWaveform()
{
    if (ActivePage() == WaveformPage)
        form.RedrawWaveform();
}

void TForm1AcquisitionWindow::RefreshViews()
{
    form.Waveform->RefreshRows();
    form.RefreshListing();
}

void TForm1AcquisitionWindow::EnableSpiPage()
{
    form.SPI_UI->Enable();
}
