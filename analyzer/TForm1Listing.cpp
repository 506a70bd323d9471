// The "Listing" page: the state list CListMode on TabSheet2 and what it asks
// of the main window (renaming, reordering, the trigger pop-up, the search
// and configuration commands, the cursors it moves).

#include "analyzer/CAcquisition.h"
#include "analyzer/TForm1.h"
#include "display/CListMode.h"
#include "display/CWaveform.h"
#include "display/Tform_name.h"
#include "protocols/WSPI.h"
#include "protocols/wI2C_UI.h"

#include <QTableView>

#include <algorithm>

namespace {

QColor ColourOf(uint32_t c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

} // namespace

void TForm1::BuildListing()
{
    ListMode = std::make_unique<CListMode>(TabSheet2, *Waveform, *CaptureRecord, *cFile, *Cursors,
                                           *wSysLanguage);
    ListGrid = ListMode->Grid();
    CListMode::Hooks &on = ListMode->On;
    on.Scrolled = [this] { Acquisition->AcquisitionStep = CAcquisition::StepSendSettings; };
    on.Rename = [this](int signal) {
        SuspendTimers();
        CreateDialogs();
        if (form_name->RenameRow(*cFile, signal)) {
            I2C_UI->RefreshChannelLists();
            SPI_UI->RefreshChannelLists();
            Waveform->PaintRowLabels();
            RefreshListing();
            RedrawWaveform();
        }
        ResumeTimers();
    };
    on.MoveRow = [this](int from, int to) { MoveListRow(from, to); };
    on.Pattern = [this](int signal, QPoint at) {
        const auto listed = Waveform->ListedRows();
        const auto it = std::find(listed.begin(), listed.end(), signal);
        if (it != listed.end())
            ShowPatternPopup(static_cast<int>(it - listed.begin()), at);
    };
    on.CursorMoved = [this] {
        RedrawWaveform();
        RefreshCursorStates();
    };
    on.GotoCursor = [this] { Cursor1Click(); };
    on.Search = [this](int direction) {
        if (direction < 0)
            FindPrevious1Click();
        else if (direction > 0)
            FindNext1Click();
        else
            FindSetting1Click();
    };
    on.AdvancedTrigger = [this] { AdvancedTrigger1Click(); };
    on.AdvancedBus = [this] { AdvancedBus1Click(); };
    on.Running = [this] { return Acquisition && Acquisition->Running; };
}

void TForm1::RefreshListing()
{
    if (!ListMode)
        return;
    ListMode->Recolour(ColourOf(ListColor), ColourOf(BackgroundColor), ColourOf(ForegroundColor));
    ListMode->Refresh();
}
