#include "analyzer/TForm1Texts.h"

#include "analyzer/TForm1.h"
#include "lang/WSysLanguage.h"
#include "ui/UiText.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

namespace {

using Id = WSysLanguage::Id;

struct Caption
{
    QAction *TForm1::*item;
    Id text;
};

struct MenuCaption
{
    QMenu *TForm1::*menu;
    Id text;
};

} // namespace

void TForm1Texts::Apply(TForm1 &form)
{
    auto Text = [&form](Id id) { return UiText::FromUtf8(form.wSysLanguage->Text(id)); };

    static const MenuCaption menus[] = {
        {&TForm1::File1, WSysLanguage::strFileMenu},
        {&TForm1::View1, WSysLanguage::strViewMenu},
        {&TForm1::RunStop1, WSysLanguage::strRunMenu},
        {&TForm1::Search1, WSysLanguage::strSearchMenu},
        {&TForm1::Tool1, WSysLanguage::strToolMenu},
        {&TForm1::Help1, WSysLanguage::strHelpMenu},
        {&TForm1::Protocol1, WSysLanguage::strToolMenuItem4},
        {&TForm1::Language1, WSysLanguage::strToolMenuItem5},
        {&TForm1::GOTOMenu1, WSysLanguage::strWaveformMenu2Item1},
        {&TForm1::SearchMenu1, WSysLanguage::strWaveformMenu2Item2},
    };
    for (const MenuCaption &m : menus)
        (form.*m.menu)->setTitle(Text(m.text));

    static const Caption items[] = {
        {&TForm1::Load, WSysLanguage::strFileMenuItem1},
        {&TForm1::Save, WSysLanguage::strFileMenuItem2},
        {&TForm1::ChangeModel1, WSysLanguage::strFileMenuItem3},
        {&TForm1::Import, WSysLanguage::strFileMenuItem4},
        {&TForm1::Export, WSysLanguage::strFileMenuItem5},
        {&TForm1::Capture, WSysLanguage::strFileMenuItem6},
        {&TForm1::Report1, WSysLanguage::strFileMenuItem7},
        {&TForm1::Print1, WSysLanguage::strFileMenuItem8},
        {&TForm1::Exit1, WSysLanguage::strFileMenuItem9},
        {&TForm1::HandShift1, WSysLanguage::strViewMenuItem1},
        {&TForm1::ZoomIn1, WSysLanguage::strViewMenuItem2},
        {&TForm1::ZoomOut1, WSysLanguage::strViewMenuItem3},
        {&TForm1::GridStyle1, WSysLanguage::strViewMenuItem4},
        {&TForm1::BW1, WSysLanguage::strViewMenuItem5},
        {&TForm1::Run1, WSysLanguage::strRunMenuItem1},
        {&TForm1::RunRepetitive1, WSysLanguage::strRunMenuItem2},
        {&TForm1::SingleRun, WSysLanguage::strRunMenuItem3},
        {&TForm1::AutoStore1, WSysLanguage::strRunMenuItem4},
        {&TForm1::Erase1, WSysLanguage::strRunMenuItem5},
        {&TForm1::Stop2, WSysLanguage::strRunMenuItem6},
        {&TForm1::FindSetting1, WSysLanguage::strSearchMenuItem1},
        {&TForm1::FindPrevious1, WSysLanguage::strSearchMenuItem2},
        {&TForm1::FindNext1, WSysLanguage::strSearchMenuItem3},
        {&TForm1::TriggerEdit1, WSysLanguage::strToolMenuItem1},
        {&TForm1::ChannelBusEdit1, WSysLanguage::strToolMenuItem2},
        {&TForm1::Cursor1, WSysLanguage::strToolMenuItem3},
        {&TForm1::Default1, WSysLanguage::strHelpMenuItem1},
        {&TForm1::About1, WSysLanguage::strHelpMenuItem2},
        {&TForm1::AdvancedTrigger1, WSysLanguage::strWaveformMenu2Item3},
        {&TForm1::AdvancedBus1, WSysLanguage::strWaveformMenu2Item4},
        {&TForm1::GOTOCursor1, WSysLanguage::strWaveformMenu2Item5},
        {&TForm1::GOTOTrigger1, WSysLanguage::strWaveformMenu2Item6},
        {&TForm1::GOTO1, WSysLanguage::strWaveformMenu2Item7},
        {&TForm1::GOTOEnd1, WSysLanguage::strWaveformMenu2Item8},
        {&TForm1::SearchPrevious1, WSysLanguage::strWaveformMenu2Item9},
        {&TForm1::SearchSetting1, WSysLanguage::strWaveformMenu2Item10},
        {&TForm1::SearchNext1, WSysLanguage::strWaveformMenu2Item11},
        {&TForm1::Delete1, WSysLanguage::strCursorMenuItem1},
        {&TForm1::wCStateDelete, WSysLanguage::strCursorMenuItem1},
    };
    for (const Caption &c : items)
        (form.*c.item)->setText(Text(c.text));

    static const Caption hints[] = {
        {&TForm1::ToolButton2, WSysLanguage::strLoadHint},
        {&TForm1::ToolButton3, WSysLanguage::strSaveHint},
        {&TForm1::ToolButton24, WSysLanguage::strCaptureHint},
        {&TForm1::ToolButton25, WSysLanguage::strPrintHint},
        {&TForm1::BusButton, WSysLanguage::strBusEditHint},
        {&TForm1::TriggerButton, WSysLanguage::strTriggerEditHint},
        {&TForm1::RunButton, WSysLanguage::strRunHint},
        {&TForm1::SingleRunButton, WSysLanguage::strSingleRunHint},
        {&TForm1::StopButton, WSysLanguage::strStopHint},
        {&TForm1::AutoScaleButton, WSysLanguage::strAutoScaleHint},
        {&TForm1::AutoStoreButton, WSysLanguage::strAutoStoreHint},
        {&TForm1::EraseButton, WSysLanguage::strEraseHint},
        {&TForm1::ZoomInButton, WSysLanguage::strZoomInHint},
        {&TForm1::ZoomOutButton, WSysLanguage::strZoomOutHint},
        {&TForm1::CursorAddButton, WSysLanguage::strAddHint},
        {&TForm1::CursorSetButton, WSysLanguage::strSetHint},
        {&TForm1::SearchPrevious, WSysLanguage::strSearchPreHint},
        {&TForm1::SearchForm, WSysLanguage::strSearchSetHint},
        {&TForm1::SearchNext, WSysLanguage::strSearchNextHint},
        {&TForm1::GridButton, WSysLanguage::strGridHint},
        {&TForm1::B_W_Button, WSysLanguage::strBWHint},
        {&TForm1::HandShiftButton, WSysLanguage::strHandShiftHint},
        {&TForm1::I2CButton, WSysLanguage::strI2CHint},
        {&TForm1::SPIButton, WSysLanguage::strSPIHint},
        {&TForm1::UARTButton, WSysLanguage::strUARTHint},
        {&TForm1::CANButton, WSysLanguage::strCANHint},
    };
    for (const Caption &h : hints)
        (form.*h.item)->setToolTip(Text(h.text));

    QTabWidget *tabs = form.PageControl1;
    const struct
    {
        QWidget *page;
        Id text;
    } pages[] = {
        {form.TabSheet1, WSysLanguage::strModeWaveform},
        {form.TabSheet2, WSysLanguage::strModeList},
        {form.TabSheet3, WSysLanguage::strI2CProtocol},
        {form.TabSheet4, WSysLanguage::strSPIProtocol},
        {form.Tab_UART, WSysLanguage::strUARTProtocol},
        {form.TabSheet6, WSysLanguage::strCANProtocol},
    };
    for (const auto &p : pages)
        tabs->setTabText(tabs->indexOf(p.page), Text(p.text));

    form.Button1->setText(Text(WSysLanguage::strButton1Caption));
    const struct
    {
        QLabel *label;
        Id text;
    } labels[] = {
        {form.DivLabel, WSysLanguage::strDivLabelCaption},
        {form.MemoryDepthLabel1, WSysLanguage::strMemoryDepthCaption1},
        {form.MemoryDepthLabel2, WSysLanguage::strMemoryDepthCaption2},
        {form.Bus_Channel_Image, WSysLanguage::strBusSingle},
        {form.Bus_Channel_State_Image, WSysLanguage::strTrigPattern},
    };
    for (const auto &l : labels) {
        l.label->setText(Text(l.text));
        if (!l.label->parentWidget()->layout())
            l.label->adjustSize();
    }
}
