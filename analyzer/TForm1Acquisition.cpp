// The main window's acquisition commands, its two acquisition timers and its
// side of the command channel (creation, device arrival and removal).

#include "analyzer/CAcquisition.h"
#include "analyzer/TForm1.h"
#include "analyzer/TForm1AcquisitionWindow.h"
#include "analyzer/ViewCommands.h"
#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "display/CWaveform.h"
#include "ui/AppMessage.h"

#include <QAction>
#include <QComboBox>
#include <QTabWidget>
#include <QTimer>

#include <initializer_list>
#include <memory>
#include <stdexcept>

namespace {

void Enable(std::initializer_list<QAction *> actions, bool on)
{
    for (QAction *a : actions)
        a->setEnabled(on);
}

} // namespace

void TForm1::SetRunControls(TForm1::RunMode mode)
{
    const bool idle = mode == RunMode::Idle;
    Enable({Run1, AutoScaleButton, RunRepetitive1, RunButton, SingleRun, SingleRunButton}, idle);
    Enable({Stop2, StopButton}, !idle);
    Enable({Load, Save, Capture, Report1, Print1, ToolButton2, ToolButton3, ToolButton24,
            ToolButton25, FindPrevious1, FindNext1, SearchPrevious1, SearchNext1, SearchPrevious,
            SearchNext, ChangeModel1},
           idle);
    // Device memory transfers exist for the first models only.
    Enable({Import, Export}, idle && cFile->ModelCode <= 2);
    Enable({HandShift1, HandShiftButton}, idle && PageControl1->currentIndex() == 0);
    if (idle) {
        Acquisition->AutoStoreOn = false;
        AutoStore1->setChecked(false);
        AutoStoreButton->setChecked(false);
    }
    // A run start or stop switches the waveform view's hand-shift mode off.
    HandShift1->setChecked(false);
    HandShiftButton->setChecked(false);
    Waveform->SetHandShift(false);
    ApplyZoomLimits();
}

void TForm1::RunRepetitive1Click()
{
    Acquisition->Run();
}

void TForm1::SingleRunButtonClick()
{
    Acquisition->SingleRun();
}

void TForm1::Run1Click()
{
    Acquisition->AutoScale();
}

void TForm1::Stop2Click()
{
    Acquisition->Stop();
}

void TForm1::AutoStoreButtonClick()
{
    Acquisition->ToggleAutoStore();
    AutoStore1->setChecked(Acquisition->AutoStoreOn);
    AutoStoreButton->setChecked(Acquisition->AutoStoreOn);
}

void TForm1::EraseButtonClick()
{
    acquisitionWindow->ClearWaveform(false);
}

void TForm1::ChangeModel1Click()
{
    Acquisition->ChangeModel();
}

void TForm1::Timer1Timer()
{
    Acquisition->Timer1Tick();
}

void TForm1::Timer2Timer()
{
    Acquisition->Timer2Tick();
}

// --- Command channel --------------------------------------------------------

void TForm1::CreateCommandChannel()
{
    if (commandChannel)
        return;
    commandChannel =
        std::make_unique<CEzUsb>(*cFile, *wSystem, [this](CCyUSBDevice::Change change) {
            if (change == CCyUSBDevice::Change::Arrived)
                DeviceArrived();
            else
                DeviceRemoved();
        });
    EzUsb = commandChannel.get();
    Acquisition->SetLink(EzUsb);
    if (EzUsb->Connected)
        Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    ShowDeviceList();
    UsbEventTimer->start();
}

int TForm1::ConnectedModel()
{
    if (EzUsb == nullptr || !EzUsb->Connected)
        return -1;
    // Asked with a record of its own: the settings keep their model code.
    auto probe = std::make_unique<CFile>();
    const uint8_t model = EzUsb->IdentifyDevice(*probe);
    return model >= 1 && model <= 10 ? model : -1;
}

void TForm1::ShowDeviceList()
{
    combo_Device->clear();
    if (EzUsb == nullptr || EzUsb->DeviceNames.empty()) {
        combo_Device->setEditText(Text(WSysLanguage::strSelDevice));
        return;
    }
    for (const std::string &name : EzUsb->DeviceNames)
        combo_Device->addItem(QString::fromStdString(name));
    combo_Device->setCurrentIndex(0);
}

void TForm1::PumpDeviceEvents()
{
    // A message shown while the events are delivered runs the event loop:
    // the events are not delivered again from inside it.
    if (EzUsb == nullptr || pumpingDeviceEvents)
        return;
    pumpingDeviceEvents = true;
    // An analyzer that arrived on the last tick has been set up by now: this
    // tick is the notification that follows its arrival.
    if (ArrivalPending)
        DeviceChange(DeviceChangeKind::Other);
    EzUsb->PumpEvents(0);
    pumpingDeviceEvents = false;
}

void TForm1::ConnectDevice()
{
    if (EzUsb == nullptr)
        return;
    // Connecting drains the device into a buffer of its own; the capture
    // on show stays.
    if (EzUsb->Connect())
        Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    ShowDeviceList();
}

void TForm1::CloseDevice()
{
    if (EzUsb == nullptr)
        return;
    try {
        EzUsb->Device().CloseDevice();
    } catch (const std::runtime_error &error) {
        AppMessage::Error(this, windowTitle(), QString::fromStdString(error.what()));
    }
    EzUsb->Connected = false;
    Acquisition->DeviceRemoved();
}
