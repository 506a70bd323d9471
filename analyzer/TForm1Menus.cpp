#include "analyzer/TForm1Menus.h"

#include "analyzer/TForm1.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu *NewMenu(QWidget *parent, const char *name, const char *caption)
{
    auto *menu = new QMenu(QString::fromUtf8(caption), parent);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

// An item of `menu`, owned by the form so that it can be found by name.
template <typename Slot>
QAction *Item(TForm1 &form, QMenu *menu, const char *name, const char *caption, Slot slot)
{
    auto *action = new QAction(QString::fromUtf8(caption), &form);
    action->setObjectName(QLatin1String(name));
    menu->addAction(action);
    QObject::connect(action, &QAction::triggered, &form, slot);
    return action;
}

} // namespace

void TForm1Menus::Build(TForm1 &form)
{
    BuildMainMenu(form);
    BuildPopupMenus(form);
}

void TForm1Menus::BuildMainMenu(TForm1 &form)
{
    auto *bar = new QMenuBar(&form);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    form.MainMenu1 = bar;
    form.setMenuBar(bar);

    QMenu *file = form.File1 = NewMenu(bar, "File1", "&File");
    form.Load = Item(form, file, "Load", "&Load", &TForm1::LoadClick);
    form.Save = Item(form, file, "Save", "&Save", &TForm1::SaveClick);
    form.ChangeModel1 = Item(form, file, "ChangeModel1", "ChangeModel", //
                             &TForm1::ChangeModel1Click);
    file->addSeparator();
    form.Import = Item(form, file, "Import", "&Import", &TForm1::ImportClick);
    form.Export = Item(form, file, "Export", "&Export", &TForm1::ExportClick);
    form.Capture = Item(form, file, "Capture", "&Capture", &TForm1::CaptureClick);
    form.Report1 = Item(form, file, "Report1", "&Report", &TForm1::Report1Click);
    file->addSeparator();
    form.Print1 = Item(form, file, "Print1", "&Print...", &TForm1::Print1Click);
    file->addSeparator();
    form.Exit1 = Item(form, file, "Exit1", "E&xit", &TForm1::Exit1Click);
    bar->addMenu(file);

    QMenu *view = form.View1 = NewMenu(bar, "View1", "&View");
    form.HandShift1 = Item(form, view, "HandShift1", "&HandShift", &TForm1::HandShift1Click);
    form.HandShift1->setCheckable(true);
    form.ZoomIn1 = Item(form, view, "ZoomIn1", "Zoom &In", &TForm1::ZoomIn1Click);
    form.ZoomOut1 = Item(form, view, "ZoomOut1", "Zoom &Out", &TForm1::ZoomOut1Click);
    form.GridStyle1 = Item(form, view, "GridStyle1", "Grid Style", &TForm1::GridStyle1Click);
    form.BW1 = Item(form, view, "BW1", "B/W", &TForm1::BW1Click);
    bar->addMenu(view);

    QMenu *run = form.RunStop1 = NewMenu(bar, "RunStop1", "&Run/Stop");
    form.Run1 = Item(form, run, "Run1", "&Auto Scale", &TForm1::Run1Click);
    form.RunRepetitive1 = Item(form, run, "RunRepetitive1", "&Run", &TForm1::RunRepetitive1Click);
    form.SingleRun = Item(form, run, "SingleRun", "S&ingle Run", &TForm1::SingleRunButtonClick);
    form.AutoStore1 = Item(form, run, "AutoStore1", "Auto Store", &TForm1::AutoStoreButtonClick);
    form.AutoStore1->setCheckable(true);
    form.Erase1 = Item(form, run, "Erase1", "Erase", &TForm1::EraseButtonClick);
    form.Stop2 = Item(form, run, "Stop2", "&Stop", &TForm1::Stop2Click);
    bar->addMenu(run);

    QMenu *search = form.Search1 = NewMenu(bar, "Search1", "&Search");
    form.FindSetting1 =
        Item(form, search, "FindSetting1", "Search Setting", &TForm1::FindSetting1Click);
    form.FindPrevious1 =
        Item(form, search, "FindPrevious1", "Search Previous", &TForm1::FindPrevious1Click);
    form.FindNext1 = Item(form, search, "FindNext1", "Search Next", &TForm1::FindNext1Click);
    bar->addMenu(search);

    QMenu *tool = form.Tool1 = NewMenu(bar, "Tool1", "&Tool");
    form.TriggerEdit1 =
        Item(form, tool, "TriggerEdit1", "&Trigger Edit", &TForm1::TriggerEdit1Click);
    form.ChannelBusEdit1 =
        Item(form, tool, "ChannelBusEdit1", "&Channel/Bus Edit", &TForm1::ChannelBusEdit1Click);
    form.Cursor1 = Item(form, tool, "Cursor1", "&GOTO Cursor", &TForm1::Cursor1Click);
    QMenu *protocol = form.Protocol1 = NewMenu(tool, "Protocol1", "Protocol");
    form.I2C_Protocol = Item(form, protocol, "I2C_Protocol", "&I2C", &TForm1::I2CButtonClick);
    form.SPI_Protocol = Item(form, protocol, "SPI_Protocol", "&SPI", &TForm1::SPIButtonClick);
    form.UART_Protocol = Item(form, protocol, "UART_Protocol", "&UART", &TForm1::UARTButtonClick);
    form.CAN_Protocol = Item(form, protocol, "CAN_Protocol", "&CAN", &TForm1::CANButtonClick);
    QAction *const toggles[] = {form.I2C_Protocol, form.SPI_Protocol, form.UART_Protocol,
                                form.CAN_Protocol};
    for (QAction *a : toggles)
        a->setCheckable(true);
    tool->addMenu(protocol);
    form.Language1 = NewMenu(tool, "Language1", "Language");
    tool->addMenu(form.Language1);
    bar->addMenu(tool);

    QMenu *help = form.Help1 = NewMenu(bar, "Help1", "&Help");
    form.Default1 = Item(form, help, "Default1", "Default", &TForm1::Default1Click);
    form.About1 = Item(form, help, "About1", "&About...", &TForm1::About1Click);
    bar->addMenu(help);
}

void TForm1Menus::BuildPopupMenus(TForm1 &form)
{
    QMenu *wave = form.WaveformPopupMenu1 = NewMenu(&form, "WaveformPopupMenu1", "");
    QMenu *go = form.GOTOMenu1 = NewMenu(wave, "GOTOMenu1", "GOTO ...");
    form.GOTOCursor1 = Item(form, go, "GOTOCursor1", "GOTO Cursor", &TForm1::Cursor1Click);
    form.GOTOTrigger1 = Item(form, go, "GOTOTrigger1", "GOTO Trigger", &TForm1::GOTOTrigger1Click);
    form.GOTO1 = Item(form, go, "GOTO1", "GOTO Begin", &TForm1::GOTO1Click);
    form.GOTOEnd1 = Item(form, go, "GOTOEnd1", "GOTO End", &TForm1::GOTOEnd1Click);
    wave->addMenu(go);
    QMenu *search = form.SearchMenu1 = NewMenu(wave, "SearchMenu1", "Search ...");
    form.SearchSetting1 =
        Item(form, search, "SearchSetting1", "Search Setting", &TForm1::FindSetting1Click);
    form.SearchPrevious1 =
        Item(form, search, "SearchPrevious1", "Search Previous", &TForm1::FindPrevious1Click);
    form.SearchNext1 = Item(form, search, "SearchNext1", "Search Next", &TForm1::FindNext1Click);
    wave->addMenu(search);
    form.AdvancedTrigger1 =
        Item(form, wave, "AdvancedTrigger1", "&Advanced Trigger", &TForm1::AdvancedTrigger1Click);
    form.AdvancedBus1 =
        Item(form, wave, "AdvancedBus1", "A&dvanced Bus", &TForm1::AdvancedBus1Click);

    form.CursorPopupMenu = NewMenu(&form, "CursorPopupMenu", "");
    form.Delete1 = Item(form, form.CursorPopupMenu, "Delete1", "Delete", &TForm1::Delete1Click);
    form.CursorStatePopupMenu = NewMenu(&form, "CursorStatePopupMenu", "");
    form.wCStateDelete = Item(form, form.CursorStatePopupMenu, "wCStateDelete", "Delete",
                              &TForm1::wCStateDeleteClick);
}
