#pragma once

#include "device/CFile.h"

#include <QDialog>

#include <array>
#include <functional>

class BusFrame;
class CPulseWidth;
class GridFrame;
class QLabel;
class QPushButton;
class QTabWidget;
class QToolButton;
class TriggerInfo;

// The "Advance Setting" dialog: the signal list editor on page "Adv Bus" and
// the trigger editor on page "Adv Trigger" (pattern grids, the OR pattern,
// the pulse-width editor, the trigger options). It works on a copy of the
// settings record; OK writes the copy back, Cancel leaves the record as it
// was. The copy is made sane first, so a record from a file with trigger
// fields out of range shows sane values and OK writes valid ones.
class TBusEdit : public QDialog
{
    Q_OBJECT

public:
    enum Page : int { BusPageIndex = 0, TriggerPageIndex = 1 };

    explicit TBusEdit(QWidget *parent = nullptr);
    ~TBusEdit() override;

    // Opens the dialog modally on `record`: page 1 "Adv Trigger", any other
    // "Adv Bus". True when OK wrote the record.
    bool Open(CFile &record, int page);
    // What Open does before the dialog runs, for callers that show it
    // themselves; OK then writes `record`.
    void Begin(CFile &record, int page);

    // The copy the pages edit while the dialog is open.
    CFile &Record() { return edit; }
    // The sheet of page "Adv Bus", where the bus frame goes.
    QWidget *BusPage() const { return TabSheet1; }
    int PageType() const { return pageType; }
    // The grids shown now (up to three) and the pulse-width panel, if shown.
    const std::array<GridFrame *, 3> &Grids() const { return grids; }
    CPulseWidth *PulseWidth() const { return pulseWidth; }
    TriggerInfo *Info() const { return triggerInfo; }
    // The signal list editor on page "Adv Bus", while the dialog is open.
    BusFrame *Bus() const { return busFrame; }

    // Asked on OK with the external clock chosen: the clock's frequency.
    std::function<void()> AskExternalClock;

    QTabWidget *PageControl = nullptr;
    QWidget *TabSheet1 = nullptr; // "Adv Bus"
    QWidget *TabSheet2 = nullptr; // "Adv Trigger"
    QWidget *Edge = nullptr;
    std::array<QToolButton *, 5> PageButtons{}; // btn_Pattern1..3, btn_PatternOR, btn_PulseWidth
    QPushButton *btn_Erase_Pat = nullptr;
    QLabel *ptWarningLabel = nullptr;
    QPushButton *btn_Yes = nullptr;
    QPushButton *btn_Cancel = nullptr;

public slots:
    void btn_YesClick();
    void btn_CancelClick();
    void btn_Erase_PatClick();
    // A page button: 1..5.
    void PageButtonClick(int type);
    // A click on "Trigger Mode" of the options panel.
    void ClockSourceClick(int index);

private:
    void ApplyTexts();
    void BuildTriggerPage();
    void ShowPage(int type);
    void DestroyPage();
    void DestroyFrames();
    void UpdateClockControls();
    // The bus page's frame: built on show, committed first on OK, destroyed
    // on close.
    void BuildBusFrame();
    void CommitBusFrame();
    void DestroyBusFrame();

    CFile edit;
    CFile *target = nullptr;
    int pageType = 1;
    int clockSource = 0;
    bool channel31Reserved = false;
    std::array<GridFrame *, 3> grids{};
    CPulseWidth *pulseWidth = nullptr;
    TriggerInfo *triggerInfo = nullptr;
    BusFrame *busFrame = nullptr;
};
