#include "analyzer/TForm1Texts.h"

#include "analyzer/TForm1.h"
#include "analyzer/UiText.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

namespace {

struct Caption
{
    QAction *TForm1::*item;
    const char *section;
    const char *key;
    const char *def;
};

struct MenuCaption
{
    QMenu *TForm1::*menu;
    const char *section;
    const char *key;
    const char *def;
};

QString Text(const char *section, const char *key, const char *def)
{
    return UiText::Get(section, key, def);
}

} // namespace

void TForm1Texts::Apply(TForm1 &form)
{
    static const MenuCaption menus[] = {
        {&TForm1::File1, "MainMenu", "strFileMenu", "File"},
        {&TForm1::View1, "MainMenu", "strViewMenu", "View"},
        {&TForm1::RunStop1, "MainMenu", "strRunMenu", "Run/Stop"},
        {&TForm1::Search1, "MainMenu", "strSearchMenu", "Search"},
        {&TForm1::Tool1, "MainMenu", "strToolMenu", "Tool"},
        {&TForm1::Help1, "MainMenu", "strHelpMenu", "Help"},
        {&TForm1::Protocol1, "ToolMenu", "strToolMenuItem4", "Protocol"},
        {&TForm1::Language1, "ToolMenu", "strToolMenuItem5", "Language"},
        {&TForm1::GOTOMenu1, "WavefromMenu2", "strWaveformMenu2Item1", "GOTO..."},
        {&TForm1::SearchMenu1, "WavefromMenu2", "strWaveformMenu2Item2", "Search..."},
    };
    for (const MenuCaption &m : menus)
        (form.*m.menu)->setTitle(Text(m.section, m.key, m.def));

    static const Caption items[] = {
        {&TForm1::Load, "FileMenu", "strFileMenuItem1", "Load"},
        {&TForm1::Save, "FileMenu", "strFileMenuItem2", "Save"},
        {&TForm1::ChangeModel1, "FileMenu", "strFileMenuItem3", "ChangeModel"},
        {&TForm1::Import, "FileMenu", "strFileMenuItem4", "Import"},
        {&TForm1::Export, "FileMenu", "strFileMenuItem5", "Export"},
        {&TForm1::Capture, "FileMenu", "strFileMenuItem6", "Capture"},
        {&TForm1::Report1, "FileMenu", "strFileMenuItem7", "Report"},
        {&TForm1::Print1, "FileMenu", "strFileMenuItem8", "Print..."},
        {&TForm1::Exit1, "FileMenu", "strFileMenuItem9", "Exit"},
        {&TForm1::HandShift1, "ViewMenu", "strViewMenuItem1", "HandShift"},
        {&TForm1::ZoomIn1, "ViewMenu", "strViewMenuItem2", "Zoom In"},
        {&TForm1::ZoomOut1, "ViewMenu", "strViewMenuItem3", "Zoom Out"},
        {&TForm1::GridStyle1, "ViewMenu", "strViewMenuItem4", "Grid Style"},
        {&TForm1::BW1, "ViewMenu", "strViewMenuItem5", "B/W"},
        {&TForm1::Run1, "Run/StopMenu", "strRunMenuItem1", "Auto Scale"},
        {&TForm1::RunRepetitive1, "Run/StopMenu", "strRunMenuItem2", "Run"},
        {&TForm1::SingleRun, "Run/StopMenu", "strRunMenuItem3", "Single Run"},
        {&TForm1::AutoStore1, "Run/StopMenu", "strRunMenuItem4", "Auto Store"},
        {&TForm1::Erase1, "Run/StopMenu", "strRunMenuItem5", "Erase"},
        {&TForm1::Stop2, "Run/StopMenu", "strRunMenuItem6", "Stop"},
        {&TForm1::FindSetting1, "SearchMenu", "strSearchMenuItem1", "Search Setting"},
        {&TForm1::FindPrevious1, "SearchMenu", "strSearchMenuItem2", "Search Previous"},
        {&TForm1::FindNext1, "SearchMenu", "strSearchMenuItem3", "Search Next"},
        {&TForm1::TriggerEdit1, "ToolMenu", "strToolMenuItem1", "Trigger Edit"},
        {&TForm1::ChannelBusEdit1, "ToolMenu", "strToolMenuItem2", "Channel/Bus Edit"},
        {&TForm1::Cursor1, "ToolMenu", "strToolMenuItem3", "GOTO Cursor"},
        {&TForm1::Default1, "HelpMenu", "strHelpMenuItem1", "Default"},
        {&TForm1::About1, "HelpMenu", "strHelpMenuItem2", "About..."},
        {&TForm1::AdvancedTrigger1, "WavefromMenu2", "strWaveformMenu2Item3", "Advanced Trigger"},
        {&TForm1::AdvancedBus1, "WavefromMenu2", "strWaveformMenu2Item4", "Advanced Bus"},
        {&TForm1::GOTOCursor1, "WavefromMenu2", "strWaveformMenu2Item5", "GOTO Cursor"},
        {&TForm1::GOTOTrigger1, "WavefromMenu2", "strWaveformMenu2Item6", "GOTO Trigger"},
        {&TForm1::GOTO1, "WavefromMenu2", "strWaveformMenu2Item7", "GOTO Begin"},
        {&TForm1::GOTOEnd1, "WavefromMenu2", "strWaveformMenu2Item8", "GOTO End"},
        {&TForm1::SearchPrevious1, "WavefromMenu2", "strWaveformMenu2Item9", "Search Previous"},
        {&TForm1::SearchSetting1, "WavefromMenu2", "strWaveformMenu2Item10", "Search Setting"},
        {&TForm1::SearchNext1, "WavefromMenu2", "strWaveformMenu2Item11", "Search Next"},
        {&TForm1::Delete1, "CursorMenu", "strCursorMenuItem1", "Delete"},
        {&TForm1::wCStateDelete, "CursorMenu", "strCursorMenuItem1", "Delete"},
    };
    for (const Caption &c : items)
        (form.*c.item)->setText(Text(c.section, c.key, c.def));

    static const Caption hints[] = {
        {&TForm1::ToolButton2, "Hint", "strLoadHint", "Load"},
        {&TForm1::ToolButton3, "Hint", "strSaveHint", "Save"},
        {&TForm1::ToolButton24, "Hint", "strCaptureHint", "Capture"},
        {&TForm1::ToolButton25, "Hint", "strPrintHint", "Print"},
        {&TForm1::BusButton, "Hint", "strBusEditHint", "Bus"},
        {&TForm1::TriggerButton, "Hint", "strTriggerEditHint", "Trigger"},
        {&TForm1::RunButton, "Hint", "strRunHint", "Run"},
        {&TForm1::SingleRunButton, "Hint", "strSingleRunHint", "SingleRun"},
        {&TForm1::StopButton, "Hint", "strStopHint", "Stop"},
        {&TForm1::AutoScaleButton, "Hint", "strAutoScaleHint", "AutoScale"},
        {&TForm1::AutoStoreButton, "Hint", "strAutoStoreHint", "AutoStore"},
        {&TForm1::EraseButton, "Hint", "strEraseHint", "Erase"},
        {&TForm1::ZoomInButton, "Hint", "strZoomInHint", "ZoomIn"},
        {&TForm1::ZoomOutButton, "Hint", "strZoomOutHint", "ZoomOut"},
        {&TForm1::CursorAddButton, "Hint", "strAddHint", "Add Cursor"},
        {&TForm1::CursorSetButton, "Hint", "strSetHint", "Creat Cursor State"},
        {&TForm1::SearchPrevious, "Hint", "strSearchPreHint", "Search Previous"},
        {&TForm1::SearchForm, "Hint", "strSearchSetHint", "Search Setting"},
        {&TForm1::SearchNext, "Hint", "strSearchNextHint", "Search Next"},
        {&TForm1::GridButton, "Hint", "strGridHint", "Grid Style"},
        {&TForm1::B_W_Button, "Hint", "strBWHint", "Backgroud Style"},
        {&TForm1::HandShiftButton, "Hint", "strHandShiftHint", "HandShift"},
        {&TForm1::I2CButton, "Hint", "strI2CHint", "I2C Protocol"},
        {&TForm1::SPIButton, "Hint", "strSPIHint", "SPI Protocol"},
        {&TForm1::UARTButton, "Hint", "strUARTHint", "UART Protocol"},
        {&TForm1::CANButton, "Hint", "strCANHint", "CAN Protocol"},
    };
    for (const Caption &h : hints)
        (form.*h.item)->setToolTip(Text(h.section, h.key, h.def));

    QTabWidget *tabs = form.PageControl1;
    const struct
    {
        QWidget *page;
        const char *key;
        const char *def;
    } pages[] = {
        {form.TabSheet1, "strModeWaveform", "Waveform"},
        {form.TabSheet2, "strModeList", "Listing"},
        {form.TabSheet3, "strI2CProtocol", "I2C Protocol"},
        {form.TabSheet4, "strSPIProtocol", "SPI Protocol"},
        {form.Tab_UART, "strUARTProtocol", "UART Protocol"},
        {form.TabSheet6, "strCANProtocol", "CAN Protocol"},
    };
    for (const auto &p : pages)
        tabs->setTabText(tabs->indexOf(p.page), Text("Interface", p.key, p.def));

    form.Button1->setText(Text("Interface", "strButton1Caption", "Delay"));
    const struct
    {
        QLabel *label;
        const char *key;
        const char *def;
    } labels[] = {
        {form.DivLabel, "strDivLabelCaption", "DIV"},
        {form.MemoryDepthLabel1, "strMemoryDepthCaption1", "Memory Depth"},
        {form.MemoryDepthLabel2, "strMemoryDepthCaption2", "(Per Channel)"},
        {form.Bus_Channel_Image, "strBusSingle", "Bus/Signal"},
        {form.Bus_Channel_State_Image, "strTrigPattern", "Trigger Pattern"},
    };
    for (const auto &l : labels) {
        l.label->setText(Text("Interface", l.key, l.def));
        if (!l.label->parentWidget()->layout())
            l.label->adjustSize();
    }
}
