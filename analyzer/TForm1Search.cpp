// The main window's search commands: the search dialog, and Search Next and
// Search Previous on the waveform page or the state list (the menu, the tool
// bar and both pages' pop-up menus lead here).

#include "analyzer/CAcquisition.h"
#include "analyzer/TForm1.h"
#include "display/CWaveform.h"
#include "display/ListSearchPage.h"
#include "search/TtDataSearch.h"
#include "search/WSearch.h"
#include "search/WaveformSearchPage.h"
#include "ui/AppMessage.h"

#include <QTabWidget>

void TForm1::FindSetting1Click()
{
    CreateDialogs();
    SuspendTimers();
    tDataSearch->OpenDialog(*cFile, wSystem->ChannelCount);
    ResumeTimers();
}

namespace {

// The page in front: the waveform page or the state list.
void SearchShownPage(TForm1 &form, bool forward)
{
    const int shown = form.PageControl1->currentIndex();
    if (shown == AcquisitionWindow::WaveformPage) {
        WaveformSearchPage page(*form.Waveform);
        if (form.SearchStep(page, forward))
            form.RedrawWaveform();
    } else if (shown == AcquisitionWindow::ListPage && form.ListMode) {
        ListSearchPage page(*form.ListMode);
        form.SearchStep(page, forward);
    }
}

} // namespace

void TForm1::FindPrevious1Click()
{
    SearchShownPage(*this, false);
}

void TForm1::FindNext1Click()
{
    SearchShownPage(*this, true);
}

bool TForm1::SearchStep(SearchPage &page, bool forward)
{
    // The commands are disabled while a run is active; a shortcut or a
    // pop-up menu must not search a ring that is being refilled either.
    if (!Acquisition || Acquisition->Running)
        return false;
    CreateDialogs();
    SuspendTimers();
    SyncTriggerCursor();
    const WSearch search(*wSystem, *cFile, *CaptureRecord,
                         tDataSearch->Conditions(wSystem->ChannelCount));
    const WSearch::Step step = search.SearchOn(page, forward);
    if (step.What == WSearch::Outcome::Found) {
        Acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
        ShowDelay();
    } else if (step.What == WSearch::Outcome::NoMatch) {
        AppMessage::Information(this, QString(), QStringLiteral("No data Match."));
    }
    ResumeTimers();
    return step.What == WSearch::Outcome::Found;
}
