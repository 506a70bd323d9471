// The main window's side of the waveform view: its scroll bars, the idle
// redraw, and the commands that change what is shown.

#include "analyzer/CAcquisition.h"
#include "analyzer/TForm1.h"
#include "analyzer/ViewCommands.h"
#include "display/CWaveform.h"
#include "display/WCursor.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

void TForm1::BindWaveform()
{
    CWaveform &w = *Waveform;
    w.NameGrid = StringGrid1;
    w.PatternGrid = StringGrid2;
    w.Cursors = Cursors.get();
    w.HandCursor = HandCursor;
    w.ChannelPanel = Channel_Panel;
    w.NamePanel = Panel1;
    w.OnViewMoved = [this] {
        Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
        Edit1->setText(QString::fromStdString(Waveform->DelayText()));
    };
    connect(w.Device.VScrollBar, &QScrollBar::valueChanged, this,
            &TForm1::V_Waveform_ScrollBarChange);
    connect(w.Device.HScrollBar, &QScrollBar::valueChanged, this,
            &TForm1::H_Waveform_ScrollBarScroll);
}

void TForm1::SyncTriggerCursor()
{
    Waveform->TriggerCursorTime = Cursors->TriggerCursor().Time;
}

void TForm1::RedrawWaveform()
{
    CWaveform &w = *Waveform;
    w.BackgroundColour = static_cast<TColor>(BackgroundColor);
    w.ForegroundColour = static_cast<TColor>(ForegroundColor);
    w.AutoStore = Acquisition->AutoStoreOn;
    SyncTriggerCursor();
    w.Redraw();
}

void TForm1::V_Waveform_ScrollBarChange(int position)
{
    WaveformScrollPosition = position;
    LayoutPanel8();
    Waveform->SetVerticalOffset(position);
}

void TForm1::H_Waveform_ScrollBarScroll(int position)
{
    SyncTriggerCursor();
    Waveform->CWaveformCore::ScrollTo(position);
    Edit1->setText(QString::fromStdString(Waveform->DelayText()));
    Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
    RedrawWaveform();
}

void TForm1::Timer3Timer()
{
    if (PageControl1->currentIndex() == AcquisitionWindow::WaveformPage)
        RedrawWaveform();
}

void TForm1::Timer4Timer()
{}

void TForm1::Timer5Timer()
{}
