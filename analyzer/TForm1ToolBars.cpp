#include "analyzer/TForm1ToolBars.h"

#include "analyzer/TForm1.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

namespace {

QToolBar *NewToolBar(TForm1 &form, const char *name)
{
    auto *bar = new QToolBar(QLatin1String(name), &form);
    bar->setObjectName(QLatin1String(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    form.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

// A button of `bar`: `label` is what the button shows, `hint` its tool tip.
template <typename Slot>
QAction *Button(TForm1 &form, QToolBar *bar, const char *name, const char *label, const char *hint,
                Slot slot, bool toggle = false)
{
    auto *action = new QAction(QString::fromUtf8(label), &form);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(QString::fromUtf8(hint));
    action->setCheckable(toggle);
    bar->addAction(action);
    if (QWidget *w = bar->widgetForAction(action))
        w->setObjectName(QLatin1String(name));
    QObject::connect(action, &QAction::triggered, &form, slot);
    return action;
}

} // namespace

void TForm1ToolBars::Build(TForm1 &form)
{
    QToolBar *file = form.File_ToolBar = NewToolBar(form, "File_ToolBar");
    form.ToolButton2 = Button(form, file, "ToolButton2", "Open", "Open", &TForm1::LoadClick);
    form.ToolButton3 = Button(form, file, "ToolButton3", "Save", "Save", &TForm1::SaveClick);
    form.ToolButton24 =
        Button(form, file, "ToolButton24", "Capture", "Capture", &TForm1::CaptureClick);
    form.ToolButton25 = Button(form, file, "ToolButton25", "Print", "Print", &TForm1::Print1Click);

    QToolBar *run = form.Run_ToolBar = NewToolBar(form, "Run_ToolBar");
    form.BusButton = Button(form, run, "BusButton", "Bus", "Bus", &TForm1::ChannelBusEdit1Click);
    form.TriggerButton =
        Button(form, run, "TriggerButton", "Trigger", "Trigger", &TForm1::TriggerEdit1Click);
    run->addSeparator();
    form.RunButton = Button(form, run, "RunButton", "Run", "Run", &TForm1::RunRepetitive1Click);
    form.SingleRunButton = Button(form, run, "SingleRunButton", "Single", "Single Run", //
                                  &TForm1::SingleRunButtonClick);
    form.StopButton = Button(form, run, "StopButton", "Stop", "Stop", &TForm1::Stop2Click);
    form.AutoScaleButton =
        Button(form, run, "AutoScaleButton", "Auto Scale", "Auto Scale", &TForm1::Run1Click);
    form.AutoStoreButton = Button(form, run, "AutoStoreButton", "Auto Store", "Auto Store",
                                  &TForm1::AutoStoreButtonClick, true);
    form.EraseButton =
        Button(form, run, "EraseButton", "Erase", "Erase", &TForm1::EraseButtonClick);

    QToolBar *view = form.View_ToolBar = NewToolBar(form, "View_ToolBar");
    form.ZoomOutButton =
        Button(form, view, "ZoomOutButton", "Zoom Out", "ZoomOut", &TForm1::ZoomOut1Click);
    form.ZoomInButton =
        Button(form, view, "ZoomInButton", "Zoom In", "ZoomIn", &TForm1::ZoomIn1Click);
    form.CursorAddButton = Button(form, view, "CursorAddButton", "Cursor", "Creat Cursor",
                                  &TForm1::CursorAddButtonClick);
    form.CursorSetButton = Button(form, view, "CursorSetButton", "Cursor State",
                                  "Creat Cursor State", &TForm1::CursorSetButtonClick);

    form.addToolBarBreak(Qt::TopToolBarArea);

    QToolBar *utility = form.Utility_ToolBar = NewToolBar(form, "Utility_ToolBar");
    form.GridButton =
        Button(form, utility, "GridButton", "Grid", "Grid Style", &TForm1::GridStyle1Click);
    form.B_W_Button =
        Button(form, utility, "B_W_Button", "B/W", "Background Style", &TForm1::BW1Click);
    form.HandShiftButton = Button(form, utility, "HandShiftButton", "Hand", "HandShift",
                                  &TForm1::HandShift1Click, true);

    QToolBar *search = form.Search_ToolBar = NewToolBar(form, "Search_ToolBar");
    form.SearchPrevious = Button(form, search, "SearchPrevious", "\u25C0 Search", //
                                 "Search Previous", &TForm1::FindPrevious1Click);
    form.SearchForm = Button(form, search, "SearchForm", "Search...", "Search Setting",
                             &TForm1::FindSetting1Click);
    form.SearchNext = Button(form, search, "SearchNext", "Search \u25B6", "Search Next", //
                             &TForm1::FindNext1Click);

    QToolBar *protocol = form.Protocol_ToolBar = NewToolBar(form, "Protocol_ToolBar");
    form.I2CButton =
        Button(form, protocol, "I2CButton", "I2C", "I2C Protocol", &TForm1::I2CButtonClick, true);
    form.SPIButton =
        Button(form, protocol, "SPIButton", "SPI", "SPI Protocol", &TForm1::SPIButtonClick, true);
    form.UARTButton = Button(form, protocol, "UARTButton", "UART", "UART Protocol",
                             &TForm1::UARTButtonClick, true);
    form.CANButton =
        Button(form, protocol, "CANButton", "CAN", "CAN Protocol", &TForm1::CANButtonClick, true);
    form.btn_CPU_Map = Button(form, protocol, "btn_CPU_Map", "CPU Map", "CPU Map",
                              &TForm1::btn_CPU_MapClick, true);
}
