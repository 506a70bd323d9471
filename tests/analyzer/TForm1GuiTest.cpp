#include "AnalyzerGuiHelpers.h"
#include "AnalyzerTestFolder.h"

#include "analyzer/CAcquisition.h"
#include "analyzer/TDeviceSelectForm.h"
#include "analyzer/TForm1.h"
#include "analyzer/TForm1StatusBar.h"
#include "analyzer/TLamp.h"
#include "files/CIniFile.h"
#include "gather/TMainForm.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include <fstream>

namespace {

void WriteText(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

void ClickOk(QWidget *dialog)
{
    if (auto *select = qobject_cast<TDeviceSelectForm *>(dialog))
        select->OK_btn->click();
}

// Runs the test body with TRACEMOOR_DEVICE=demo (no question at start).
class DemoEnvironment
{
public:
    DemoEnvironment()
        : old(qgetenv("TRACEMOOR_DEVICE"))
        , had(qEnvironmentVariableIsSet("TRACEMOOR_DEVICE"))
    {
        qputenv("TRACEMOOR_DEVICE", "demo");
    }
    ~DemoEnvironment()
    {
        if (had)
            qputenv("TRACEMOOR_DEVICE", old);
        else
            qunsetenv("TRACEMOOR_DEVICE");
    }

private:
    QByteArray old;
    bool had;
};

// A shown main window on the Demo model with its own System.ini.
class DemoWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        form = std::make_unique<TForm1>(nullptr, folder.File("System.ini"));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    AnalyzerTestFolder folder;
    DemoEnvironment demo;
    std::unique_ptr<TForm1> form;
};

TEST(MainWindows, OpenWithTheirTitlesAndClose)
{
    qunsetenv("TRACEMOOR_DEVICE");
    AnalyzerTestFolder folder;
    // Only model 1 is offered: the start-up selection keeps the first model.
    WriteText(folder.File("System.ini"), "[History]\nLastFile=\n[Model]\nHost=2\n");
    TForm1 form(nullptr, folder.File("System.ini"));
    ModalAnswerer answer(ClickOk);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(answer.Seen(), 1);
    const std::string title = "Logic Analyzer V2.06 - Logic Analyzer 200MHz/4ns";
    EXPECT_EQ(form.windowTitle().toStdString(), title);
    EXPECT_TRUE(form.close());

    TMainForm gather(folder.File("System.txt"));
    gather.show();
    EXPECT_EQ(gather.windowTitle().toStdString(), "Data Acquisition");
    EXPECT_TRUE(gather.close());
}

TEST(MainWindowStart, WithoutSystemIniAsksForTheModelAndCreatesTheFile)
{
    qunsetenv("TRACEMOOR_DEVICE");
    AnalyzerTestFolder folder;
    const std::string ini = folder.File("System.ini");
    TForm1 form(nullptr, ini);
    QStringList offered;
    ModalAnswerer answer([&offered](QWidget *w) {
        auto *select = qobject_cast<TDeviceSelectForm *>(w);
        ASSERT_NE(select, nullptr);
        for (int i = 0; i < select->Device_Box->count(); ++i)
            offered << select->Device_Box->itemText(i);
        select->OK_btn->click();
    });
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(answer.Seen(), 1);
    EXPECT_EQ(offered, QStringList{QStringLiteral("Demo")});
    EXPECT_EQ(form.System().ModelCode, 0);
    EXPECT_EQ(form.Settings().ModelCode, 0);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Logic Analyzer V2.06 - Demo"));

    CIniFile file(ini);
    ASSERT_TRUE(file.FileExists());
    EXPECT_TRUE(file.ValueExists("History", "LastFile"));
    EXPECT_EQ(file.ReadString("History", "LastFile", "x"), "");
    EXPECT_EQ(file.ReadString("Model", "Host", "x"), "1");
}

TEST(MainWindowStart, AutoScaleAtStartPressesAutoScaleAfterTheModelSelection)
{
    qunsetenv("TRACEMOOR_DEVICE");
    AnalyzerTestFolder folder;
    TForm1 form(nullptr, folder.File("System.ini"));
    form.AutoScaleAtStart = true;
    // Any question Auto Scale asks (an empty signal list) is answered Yes.
    MessageRecorder messages(true);
    bool runningAtSelection = true;
    ModalAnswerer answer([&](QWidget *dialog) {
        runningAtSelection = form.Acquisition->Running;
        ClickOk(dialog);
    });
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY_WITH_TIMEOUT(form.Acquisition->Running, 30000);
    EXPECT_EQ(answer.Seen(), 1);
    EXPECT_FALSE(runningAtSelection);
    form.Stop2Click();
}

TEST(MainWindowStart, DemoDeviceStartsOnDemoWithoutAnyDialog)
{
    DemoEnvironment demo;
    AnalyzerTestFolder folder;
    WriteText(folder.File("System.ini"), "[History]\nLastFile=\n[Model]\nHost=7FF\n");
    TForm1 form(nullptr, folder.File("System.ini"));
    ModalAnswerer answer(ClickOk);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(answer.Seen(), 0);
    EXPECT_EQ(form.System().ModelCode, 0);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Logic Analyzer V2.06 - Demo"));
}

TEST_F(DemoWindow, HasItsPagesWithOnlyWaveformAndListingVisible)
{
    QTabWidget *tabs = form->findChild<QTabWidget *>("PageControl1");
    ASSERT_NE(tabs, nullptr);
    const char *pages[] = {"TabSheet1", "TabSheet2",   "TabSheet3", "TabSheet4", "TabSheet6",
                           "Tab_UART",  "Tab_CPU_Map", "Tab_SPI",   "Tab_I2C"};
    ASSERT_EQ(tabs->count(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(tabs->widget(i)->objectName(), QLatin1String(pages[i]));
        EXPECT_EQ(tabs->isTabVisible(i), i < 2) << pages[i];
    }
    EXPECT_EQ(tabs->tabText(0), "Waveform");
    EXPECT_EQ(tabs->tabText(1), "Listing");
    EXPECT_EQ(tabs->currentIndex(), 0);
}

TEST_F(DemoWindow, TopBarHoldsItsControls)
{
    auto *percent = form->findChild<QComboBox *>("MemoryPercent");
    ASSERT_NE(percent, nullptr);
    QStringList items;
    for (int i = 0; i < percent->count(); ++i)
        items << percent->itemText(i);
    EXPECT_EQ(items, QStringList({"10% / 90%", "20% / 80%", "30% / 70%", "40% / 60%", "50% / 50%",
                                  "60% / 40%", "70% / 30%", "80% / 20%", "90% / 10%"}));
    EXPECT_EQ(percent->currentIndex(), form->Settings().MemoryPercent - 1);

    auto *div = form->findChild<QComboBox *>("DivComboBox");
    ASSERT_NE(div, nullptr);
    EXPECT_EQ(div->count(), 25);
    EXPECT_EQ(div->currentIndex(), form->Settings().TimeDivRow);
    auto *depth = form->findChild<QComboBox *>("Memory_Depth_ComboBox");
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(static_cast<uint32_t>(depth->count()), form->System().DepthCount);

    auto *edit = form->findChild<QLineEdit *>("Edit1");
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    auto *delay = form->findChild<QPushButton *>("Button1");
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(delay->text(), "Delay");
    auto *lamp = form->findChild<TLamp *>("ALed1");
    ASSERT_NE(lamp, nullptr);
    EXPECT_FALSE(lamp->On());

    // The device list is there but outside what can be seen.
    auto *devices = form->findChild<QComboBox *>("combo_Device");
    ASSERT_NE(devices, nullptr);
    EXPECT_EQ(devices->currentText(), "Select Device.");
    EXPECT_FALSE(form->Panel10->rect().intersects(devices->geometry()));

    for (const char *name : {"DivLabel", "MemoryDepthLabel1", "MemoryDepthLabel2",
                             "Bus_Channel_Image", "Bus_Channel_State_Image"})
        EXPECT_NE(form->findChild<QLabel *>(name), nullptr) << name;
    EXPECT_EQ(form->DivLabel->text(), "DIV");
    EXPECT_EQ(form->MemoryDepthLabel1->text(), "Memory Depth");
    EXPECT_EQ(form->MemoryDepthLabel2->text(), "(Per Channel)");
    EXPECT_EQ(form->DivLabel->pos(), QPoint(10, 8));
    EXPECT_EQ(form->MemoryDepthLabel1->pos(), QPoint(230, 0));
    EXPECT_EQ(form->MemoryDepthLabel2->pos(), QPoint(230, 15));

    for (const char *name : {"StringGrid1", "StringGrid2"})
        EXPECT_NE(form->findChild<QTableWidget *>(name), nullptr) << name;
    auto *states = form->findChild<QScrollBar *>("ScrollBar3");
    ASSERT_NE(states, nullptr);
    EXPECT_EQ(states->singleStep(), 30);
    EXPECT_EQ(states->parent()->objectName(), "Cursor_State_Panel");
    const char *panels[] = {
        "Panel10", "Panel1", "Panel2", "Panel5", "Panel8", "Channel_Panel", "Cursor_State_Panel"};
    for (const char *name : panels)
        EXPECT_NE(form->findChild<QWidget *>(name), nullptr) << name;
}

struct ToolButtonCase
{
    const char *toolbar;
    const char *button;
    const char *hint;
};

TEST_F(DemoWindow, ToolbarsCarryTheirButtonsAndHints)
{
    const ToolButtonCase cases[] = {
        {"File_ToolBar", "ToolButton2", "Load"},
        {"File_ToolBar", "ToolButton3", "Save"},
        {"File_ToolBar", "ToolButton24", "Capture"},
        {"File_ToolBar", "ToolButton25", "Print"},
        {"Run_ToolBar", "BusButton", "Bus"},
        {"Run_ToolBar", "TriggerButton", "Trigger"},
        {"Run_ToolBar", "RunButton", "Run"},
        {"Run_ToolBar", "SingleRunButton", "SingleRun"},
        {"Run_ToolBar", "StopButton", "Stop"},
        {"Run_ToolBar", "AutoScaleButton", "AutoScale"},
        {"Run_ToolBar", "AutoStoreButton", "AutoStore"},
        {"Run_ToolBar", "EraseButton", "Erase"},
        {"View_ToolBar", "ZoomOutButton", "ZoomOut"},
        {"View_ToolBar", "ZoomInButton", "ZoomIn"},
        {"View_ToolBar", "CursorAddButton", "Add Cursor"},
        {"View_ToolBar", "CursorSetButton", "Creat Cursor State"},
        {"Utility_ToolBar", "GridButton", "Grid Style"},
        {"Utility_ToolBar", "B_W_Button", "Backgroud Style"},
        {"Utility_ToolBar", "HandShiftButton", "HandShift"},
        {"Search_ToolBar", "SearchPrevious", "Search Previous"},
        {"Search_ToolBar", "SearchForm", "Search Setting"},
        {"Search_ToolBar", "SearchNext", "Search Next"},
        {"Protocol_ToolBar", "I2CButton", "I2C Protocol"},
        {"Protocol_ToolBar", "SPIButton", "SPI Protocol"},
        {"Protocol_ToolBar", "UARTButton", "UART Protocol"},
        {"Protocol_ToolBar", "CANButton", "CAN Protocol"},
        {"Protocol_ToolBar", "btn_CPU_Map", "CPU Map"},
    };
    for (const ToolButtonCase &c : cases) {
        auto *bar = form->findChild<QToolBar *>(c.toolbar);
        ASSERT_NE(bar, nullptr) << c.toolbar;
        auto *action = form->findChild<QAction *>(c.button);
        ASSERT_NE(action, nullptr) << c.button;
        EXPECT_TRUE(bar->actions().contains(action)) << c.button;
        EXPECT_EQ(action->toolTip(), QLatin1String(c.hint)) << c.button;
        EXPECT_NE(bar->widgetForAction(action), nullptr) << c.button;
    }
    for (const char *toggle : {"AutoStoreButton", "HandShiftButton", "I2CButton", "SPIButton",
                               "UARTButton", "CANButton"})
        EXPECT_TRUE(form->findChild<QAction *>(toggle)->isCheckable()) << toggle;
}

QStringList ItemNames(const QMenu *menu)
{
    QStringList names;
    for (QAction *a : menu->actions())
        names << (a->isSeparator() ? QStringLiteral("-")
                  : a->menu()      ? a->menu()->objectName()
                                   : a->objectName());
    return names;
}

TEST_F(DemoWindow, MenusHoldEveryItemInOrder)
{
    auto *bar = form->findChild<QMenuBar *>("MainMenu1");
    ASSERT_NE(bar, nullptr);
    QStringList tops;
    for (QAction *a : bar->actions())
        tops << a->menu()->objectName() + "=" + a->text();
    EXPECT_EQ(tops, QStringList({"File1=File", "View1=View", "RunStop1=Run/Stop", "Search1=Search",
                                 "Tool1=Tool", "Help1=Help"}));

    EXPECT_EQ(ItemNames(form->File1),
              QStringList({"Load", "Save", "ChangeModel1", "-", "Import", "Export", "Capture",
                           "Report1", "-", "Print1", "-", "Exit1"}));
    EXPECT_EQ(ItemNames(form->View1),
              QStringList({"HandShift1", "ZoomIn1", "ZoomOut1", "GridStyle1", "BW1"}));
    EXPECT_EQ(ItemNames(form->RunStop1), QStringList({"Run1", "RunRepetitive1", "SingleRun",
                                                      "AutoStore1", "Erase1", "Stop2"}));
    EXPECT_EQ(ItemNames(form->Search1),
              QStringList({"FindSetting1", "FindPrevious1", "FindNext1"}));
    EXPECT_EQ(ItemNames(form->Tool1), QStringList({"TriggerEdit1", "ChannelBusEdit1", "Cursor1",
                                                   "Protocol1", "Language1"}));
    EXPECT_EQ(ItemNames(form->Protocol1),
              QStringList({"I2C_Protocol", "SPI_Protocol", "UART_Protocol", "CAN_Protocol"}));
    EXPECT_EQ(ItemNames(form->Help1), QStringList({"Default1", "Keys1", "About1"}));

    EXPECT_EQ(ItemNames(form->WaveformPopupMenu1),
              QStringList({"GOTOMenu1", "SearchMenu1", "AdvancedTrigger1", "AdvancedBus1"}));
    EXPECT_EQ(ItemNames(form->GOTOMenu1),
              QStringList({"GOTOCursor1", "GOTOTrigger1", "GOTO1", "GOTOEnd1"}));
    EXPECT_EQ(ItemNames(form->SearchMenu1),
              QStringList({"SearchSetting1", "SearchPrevious1", "SearchNext1"}));
    EXPECT_EQ(ItemNames(form->CursorPopupMenu), QStringList({"Delete1"}));
    EXPECT_EQ(ItemNames(form->CursorStatePopupMenu), QStringList({"wCStateDelete"}));

    // Captions after the language texts.
    EXPECT_EQ(form->Run1->text(), "Auto Scale");
    EXPECT_EQ(form->RunRepetitive1->text(), "Run");
    EXPECT_EQ(form->Stop2->text(), "Stop");
    EXPECT_EQ(form->About1->text(), "About...");
    EXPECT_EQ(form->GOTOMenu1->title(), "GOTO...");
    EXPECT_EQ(form->Delete1->text(), "Delete");
}

TEST_F(DemoWindow, CreatesItsDialogsInTheirFixedOrder)
{
    QStringList names;
    for (QObject *child : form->children())
        if (child->isWidgetType() && static_cast<QWidget *>(child)->isWindow() &&
            child->inherits("QDialog"))
            names << child->objectName();
    EXPECT_EQ(names, (QStringList{"form_name", "form_delay", "form_Triglevel", "Form2", "BusEdit",
                                  "Form3", "Form4", "tDataSearch", "DeviceSelectForm",
                                  "form_ExtFreq", "Report_form", "form_SPI_Help"}));
}

TEST_F(DemoWindow, ExitClosesTheWindow)
{
    form->Exit1->trigger();
    EXPECT_FALSE(form->isVisible());
}

TEST(MainWindowTimers, HaveTheirIntervalsAndStartStates)
{
    AnalyzerTestFolder folder;
    TForm1 form(nullptr, folder.File("System.ini"));
    const struct
    {
        const char *name;
        int interval;
        bool beforeShow;
        bool afterShow;
    } timers[] = {{"Timer1", 10, false, false},
                  {"Timer2", 1, true, false},
                  {"Timer3", 100, false, true},
                  {"Timer4", 10, false, false},
                  {"Timer5", 10, false, false}};
    for (const auto &t : timers) {
        auto *timer = form.findChild<QTimer *>(t.name);
        ASSERT_NE(timer, nullptr) << t.name;
        EXPECT_EQ(timer->interval(), t.interval) << t.name;
        EXPECT_EQ(timer->isActive(), t.beforeShow) << t.name;
    }
    DemoEnvironment demo;
    form.show();
    for (const auto &t : timers)
        EXPECT_EQ(form.findChild<QTimer *>(t.name)->isActive(), t.afterShow) << t.name;
}

TEST_F(DemoWindow, SuspendAndResumeRestoreEveryTimerState)
{
    QTimer *timers[] = {form->Timer1, form->Timer2, form->Timer3, form->Timer4, form->Timer5};
    const bool pattern[] = {true, false, true, false, true};
    for (int i = 0; i < 5; ++i)
        pattern[i] ? timers[i]->start() : timers[i]->stop();
    form->SuspendTimers();
    for (QTimer *t : timers)
        EXPECT_FALSE(t->isActive()) << t->objectName().toStdString();
    form->ResumeTimers();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(timers[i]->isActive(), pattern[i]) << i;
}

TEST_F(DemoWindow, StatusBarShowsRateDepthAndPercent)
{
    TForm1StatusBar *bar = form->StatusBar;
    ASSERT_EQ(bar->objectName(), "StatusBar");
    EXPECT_EQ(bar->PanelText(0), "Sample Rate : 4nS(250MHz)");
    EXPECT_EQ(bar->PanelText(1), "Memory Depth : Auto");
    EXPECT_EQ(bar->PanelText(2), "Memory Percent : 50% / 50%");
    EXPECT_EQ(bar->PanelText(3), "");

    form->Settings().ClockSource = 1;
    form->Settings().MemoryPercent = 2;
    form->WriteStatusBar();
    EXPECT_EQ(bar->PanelText(0), "CK: Ext");
    EXPECT_EQ(bar->PanelText(2), "Memory Percent : 20% / 80%");

    // A damaged percent or depth code shows no value rather than failing.
    form->Settings().MemoryPercent = 40;
    form->Settings().MemoryDepthIndex = 99;
    form->WriteStatusBar();
    EXPECT_EQ(bar->PanelText(1), "Memory Depth : ");
    EXPECT_EQ(bar->PanelText(2), "Memory Percent : ");

    QProgressBar *progress = form->findChild<QProgressBar *>("ProgressBar1");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->value(), 100);
    EXPECT_EQ(progress->size(), QSize(100, 10));
    EXPECT_EQ(progress->x(), bar->width() - 100 - 30);
    EXPECT_EQ(progress->y(), 5);
}

TEST_F(DemoWindow, SizeLimits)
{
    EXPECT_EQ(form->minimumSize(), QSize(400, 400));
    EXPECT_EQ(form->maximumSize(), QSize(1032, 776));
}

TEST_F(DemoWindow, ResizingKeepsWholeListRows)
{
    for (int height : {500, 613, 655, 700, 741}) {
        form->resize(900, height);
        QTRY_COMPARE_WITH_TIMEOUT(form->ListGridHeight() % TForm1::ListRowHeight, 0, 10000);
        const int partial = height - form->height();
        EXPECT_GE(partial, 0) << height;
        EXPECT_LT(partial, TForm1::ListRowHeight) << height;
        EXPECT_EQ(form->width(), 900);
        EXPECT_EQ(form->Panel8->width(), form->Panel5->width());
        EXPECT_EQ(form->ProgressBar1->x(), form->StatusBar->width() - 130);
    }
}

TEST_F(DemoWindow, AtTheMinimumHeightTheWindowIsNotShrunk)
{
    form->resize(700, TForm1::MinHeight);
    QTest::qWait(20);
    EXPECT_EQ(form->height(), TForm1::MinHeight);
}

TEST_F(DemoWindow, UnpluggingClearsTheDeviceListAndPluggingReconnectsNextTime)
{
    QComboBox *devices = form->combo_Device;
    devices->addItem("Device0");
    devices->addItem("Device1");
    devices->setCurrentIndex(0);
    QSignalSpy reconnect(form.get(), &TForm1::ConnectRequested);
    QSignalSpy closed(form.get(), &TForm1::DeviceClosed);

    form->DeviceRemoved();
    EXPECT_EQ(devices->count(), 0);
    EXPECT_EQ(devices->currentText(), "Select Device.");
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(reconnect.count(), 0);

    form->DeviceArrived();
    EXPECT_EQ(reconnect.count(), 0); // not yet: on the notification after the arrival
    form->DeviceChange(TForm1::DeviceChangeKind::Other);
    EXPECT_EQ(reconnect.count(), 1);
    form->DeviceChange(TForm1::DeviceChangeKind::Other);
    EXPECT_EQ(reconnect.count(), 1);
    EXPECT_EQ(closed.count(), 1);
}

} // namespace
