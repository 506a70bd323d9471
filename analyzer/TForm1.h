#pragma once

#include "analyzer/AcquisitionWindow.h"
#include "device/AFile.h"
#include "device/CFile.h"
#include "device/WSystem.h"
#include "lang/WSysLanguage.h"

#include <QCursor>
#include <QMainWindow>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

class CAcquisition;
class CCaptureRecord;
class CEzUsb;
class CListMode;
class CPUMapPage;
class CWaveform;
class CursorState;
class WCursor;
class QAction;
class QComboBox;
class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTabWidget;
class QTableWidget;
class QTimer;
class QToolBar;
class TBusEdit;
class TDeviceSelectForm;
class TForm1AcquisitionWindow;
class TForm1FileSysHost;
class TForm1PageHost;
class TForm1StatusBar;
class TLamp;
class TtDataSearch;
class SearchPage;
class Tform_ExtFreq;
class Tform_Triglevel;
class Tform_delay;
class Tform_name;
class TForm2;
class TForm3;
class TForm4;
class UARTPage;
class WCAN_UI;
class WaveformInput;
class WSPI;
class wI2C_UI;

// The analyzer's main window. It owns every long-lived object of the program
// and the dialogs, which live until it is destroyed. Controls carry the names
// the rest of the program knows them by (also as their object names).
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    // Commands idle or running, for SetRunControls.
    using RunMode = AcquisitionWindow::RunMode;
    // What a device-change notification says.
    enum class DeviceChangeKind { Other, Arrival, OpenDeviceRemoved };

    static constexpr int ListRowHeight = 20;
    static constexpr int MinWidth = 400;
    static constexpr int MinHeight = 400;
    static constexpr int MaxWidth = 1032;
    static constexpr int MaxHeight = 776;
    static constexpr int ClientWidth = 1016;
    static constexpr int ClientHeight = 720;
    static constexpr int UsbEventIntervalMs = 20;

    // `systemIniPath` empty: System.ini in the user's config folder (or beside
    // a portable program), language files in the matching folders (see
    // LanguagePaths). Given: System.ini there and the language files in the
    // Language folder beside it.
    explicit TForm1(QWidget *parent = nullptr, std::string systemIniPath = {});
    ~TForm1() override;

    static std::string ProgramFolder();
    static std::string DefaultSystemIniPath();
    // The active language file: System.ini's name in the first language
    // folder that holds it.
    std::string ActiveLanguageFile() const;
    const std::vector<std::string> &LanguageFolders() const { return languageFolders; }
    // A text of the main window's table.
    QString Text(WSysLanguage::Id id) const;
    const std::string &SystemIniPath() const { return systemIni; }

    // Creates the dialogs in their fixed order; the first show does it when
    // nobody did before.
    void CreateDialogs();
    void CreateTriggerDialogs();
    void CreateBusEdit();

    WSystem &System() { return *wSystem; }
    CFile &Settings() { return *cFile; }
    AFile &RunImage() { return *aFile; }

    void SuspendTimers();
    void ResumeTimers();

    // Texts of the status bar panels from the settings and the current row.
    void WriteStatusBar();
    // Fills DivComboBox: the divider list with the external clock, else the
    // time/div rows with the current row selected.
    void FillDivList();
    void FillDepthList();
    void ApplyLanguageTexts();
    // Tool > Language: every valid language file, the active one checked.
    void BuildLanguageMenu();
    // Picking a language: written to System.ini, used from the next start.
    void LanguageItemClick(QAction *item, const std::string &fileName);
    void UpdateTitle();

    // Height of the state list's grid (whole 20-pixel rows are kept visible).
    int ListGridHeight() const;
    // The time/div row the view shows.
    int CurrentTimeDivRow() const;
    // The model code the connected analyzer names, -1 when none answers.
    int ConnectedModel();
    // Places Panel8 over Panel5, shifted by the waveform's vertical scroll.
    void LayoutPanel8();

    // Long-lived objects, created by the constructor in this order.
    std::unique_ptr<WSystem> wSystem;
    std::unique_ptr<WSysLanguage> wSysLanguage;
    std::unique_ptr<CFile> cFile;
    std::unique_ptr<AFile> aFile;
    // Where the capture lies in the sample ring; the cursors and their
    // states; the waveform view (it draws with the Plotrune library).
    std::unique_ptr<CCaptureRecord> CaptureRecord;
    std::unique_ptr<WCursor> Cursors;
    std::unique_ptr<CursorState> CursorStates;
    std::unique_ptr<CWaveform> Waveform;
    // The state list of the "Listing" page (TForm1Listing.cpp).
    std::unique_ptr<CListMode> ListMode;
    // What the UART, CAN and CPU Map pages and the file commands (FileSys)
    // ask of this window.
    std::unique_ptr<TForm1PageHost> PageHost;
    std::unique_ptr<TForm1FileSysHost> FilesHost;
    // The protocol pages of UART and CAN.
    std::unique_ptr<UARTPage> UartPage;
    std::unique_ptr<WCAN_UI> CanPage;
    // The CPU memory map (Tab_CPU_Map).
    std::unique_ptr<CPUMapPage> CpuMapPage;
    // Dialogs created in their fixed order whose own windows come later.
    std::vector<class QDialog *> PendingDialogs;
    // Acquisition control: the run commands, the capture sequence and its
    // state (Running, SingleShot, CaptureReady, AcquisitionStep, the Auto
    // Store flag, NoTriggerCondition, the delay, the last-capture copies).
    std::unique_ptr<CAcquisition> Acquisition;
    // The protocol pages, children of TabSheet3 and TabSheet4.
    wI2C_UI *I2C_UI = nullptr;
    WSPI *SPI_UI = nullptr;
    // The command channel, created by FormShow; it stays while the program
    // runs, connected or not.
    CEzUsb *EzUsb = nullptr;

    // Main-window state.
    std::array<bool, 5> TimerStates{};
    uint32_t BackgroundColor = 0x000000; // 0x00BBGGRR
    uint32_t ForegroundColor = 0xFFFFFF;
    uint32_t ListColor = 0;
    uint32_t SystemListColor = 0; // the system's background colour
    int LanguageIndex = 0;
    bool ArrivalPending = false;
    // Set before the first show (--auto-scale): Auto Scale is pressed once
    // the window is up and the start-up model selection is done.
    bool AutoScaleAtStart = false;
    int WaveformScrollPosition = 0;
    // The state list's grid, once the list view has built it.
    QWidget *ListGrid = nullptr;
    QCursor HandCursor;
    std::minstd_rand Random;

    // Dialogs.
    Tform_name *form_name = nullptr;
    TForm2 *Form2 = nullptr;
    TForm3 *Form3 = nullptr;
    TForm4 *Form4 = nullptr;
    TDeviceSelectForm *DeviceSelectForm = nullptr;
    Tform_ExtFreq *form_ExtFreq = nullptr;
    Tform_delay *form_delay = nullptr;
    Tform_Triglevel *form_Triglevel = nullptr;
    TBusEdit *BusEdit = nullptr;
    // The cursor-state buttons on Cursor_State_Panel, by state id.
    std::map<int32_t, QPushButton *> StateButtons;

    // Timers.
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *Timer3 = nullptr;
    QTimer *Timer4 = nullptr;
    QTimer *Timer5 = nullptr;
    // Delivers the command channel's device changes (arrival, removal).
    QTimer *UsbEventTimer = nullptr;

    // Pages.
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet2 = nullptr;
    QWidget *TabSheet3 = nullptr;
    QWidget *TabSheet4 = nullptr;
    QWidget *TabSheet6 = nullptr;
    QWidget *Tab_UART = nullptr;
    QWidget *Tab_CPU_Map = nullptr;
    QWidget *Tab_SPI = nullptr;
    QWidget *Tab_I2C = nullptr;

    // Top bar of the waveform page.
    QFrame *Panel10 = nullptr;
    QLabel *DivLabel = nullptr;
    QLabel *MemoryDepthLabel1 = nullptr;
    QLabel *MemoryDepthLabel2 = nullptr;
    QComboBox *DivComboBox = nullptr;
    QComboBox *Memory_Depth_ComboBox = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *Button1 = nullptr;
    QComboBox *MemoryPercent = nullptr;
    TLamp *ALed1 = nullptr;
    QComboBox *combo_Device = nullptr;

    // Waveform page body.
    QFrame *Channel_Panel = nullptr;
    QFrame *Panel5 = nullptr;
    QFrame *Panel8 = nullptr;
    QFrame *Panel1 = nullptr;
    QFrame *Panel2 = nullptr;
    QLabel *Bus_Channel_Image = nullptr;
    QLabel *Bus_Channel_State_Image = nullptr;
    QTableWidget *StringGrid1 = nullptr;
    QTableWidget *StringGrid2 = nullptr;
    QFrame *Panel_Ly0 = nullptr; // holds the waveform view's controls
    QFrame *Cursor_State_Panel = nullptr;
    QScrollBar *ScrollBar3 = nullptr;
    QListWidget *LanguageFileList = nullptr;
    QListWidget *LanguageNameList = nullptr;

    // Toolbars and their buttons.
    QToolBar *File_ToolBar = nullptr;
    QToolBar *Run_ToolBar = nullptr;
    QToolBar *View_ToolBar = nullptr;
    QToolBar *Utility_ToolBar = nullptr;
    QToolBar *Search_ToolBar = nullptr;
    QToolBar *Protocol_ToolBar = nullptr;
    QAction *ToolButton2 = nullptr;  // Open
    QAction *ToolButton3 = nullptr;  // Save
    QAction *ToolButton24 = nullptr; // Capture
    QAction *ToolButton25 = nullptr; // Print
    QAction *BusButton = nullptr;
    QAction *TriggerButton = nullptr;
    QAction *RunButton = nullptr;
    QAction *SingleRunButton = nullptr;
    QAction *StopButton = nullptr;
    QAction *AutoScaleButton = nullptr;
    QAction *AutoStoreButton = nullptr;
    QAction *EraseButton = nullptr;
    QAction *ZoomOutButton = nullptr;
    QAction *ZoomInButton = nullptr;
    QAction *CursorAddButton = nullptr;
    QAction *CursorSetButton = nullptr;
    QAction *GridButton = nullptr;
    QAction *B_W_Button = nullptr;
    QAction *HandShiftButton = nullptr;
    QAction *SearchPrevious = nullptr;
    QAction *SearchForm = nullptr;
    QAction *SearchNext = nullptr;
    QAction *I2CButton = nullptr;
    QAction *SPIButton = nullptr;
    QAction *UARTButton = nullptr;
    QAction *CANButton = nullptr;
    QAction *btn_CPU_Map = nullptr;

    // Main menu.
    QMenuBar *MainMenu1 = nullptr;
    QMenu *File1 = nullptr;
    QMenu *View1 = nullptr;
    QMenu *RunStop1 = nullptr;
    QMenu *Search1 = nullptr;
    QMenu *Tool1 = nullptr;
    QMenu *Help1 = nullptr;
    QAction *Load = nullptr;
    QAction *Save = nullptr;
    QAction *ChangeModel1 = nullptr;
    QAction *Import = nullptr;
    QAction *Export = nullptr;
    QAction *Capture = nullptr;
    QAction *Report1 = nullptr;
    QAction *Print1 = nullptr;
    QAction *Exit1 = nullptr;
    QAction *HandShift1 = nullptr;
    QAction *ZoomIn1 = nullptr;
    QAction *ZoomOut1 = nullptr;
    QAction *GridStyle1 = nullptr;
    QAction *BW1 = nullptr;
    QAction *Run1 = nullptr;           // "&Auto Scale"
    QAction *RunRepetitive1 = nullptr; // "&Run"
    QAction *SingleRun = nullptr;
    QAction *AutoStore1 = nullptr;
    QAction *Erase1 = nullptr;
    QAction *Stop2 = nullptr;
    QAction *FindSetting1 = nullptr;
    QAction *FindPrevious1 = nullptr;
    QAction *FindNext1 = nullptr;
    QAction *TriggerEdit1 = nullptr;
    QAction *ChannelBusEdit1 = nullptr;
    QAction *Cursor1 = nullptr;
    QMenu *Protocol1 = nullptr;
    QAction *I2C_Protocol = nullptr;
    QAction *SPI_Protocol = nullptr;
    QAction *UART_Protocol = nullptr;
    QAction *CAN_Protocol = nullptr;
    QMenu *Language1 = nullptr;
    QAction *Default1 = nullptr;
    QAction *About1 = nullptr;
    QAction *Keys1 = nullptr; // Help > Keys...: the table of keys
    QDialog *KeysBox = nullptr;

    // Pop-up menus.
    QMenu *WaveformPopupMenu1 = nullptr;
    QMenu *GOTOMenu1 = nullptr;
    QAction *GOTOCursor1 = nullptr;
    QAction *GOTOTrigger1 = nullptr;
    QAction *GOTO1 = nullptr; // GOTO Begin
    QAction *GOTOEnd1 = nullptr;
    QMenu *SearchMenu1 = nullptr;
    QAction *SearchSetting1 = nullptr;
    QAction *SearchPrevious1 = nullptr;
    QAction *SearchNext1 = nullptr;
    QAction *AdvancedTrigger1 = nullptr;
    QAction *AdvancedBus1 = nullptr;
    QMenu *CursorPopupMenu = nullptr;
    QAction *Delete1 = nullptr;
    QMenu *CursorStatePopupMenu = nullptr;
    QAction *wCStateDelete = nullptr;
    // The search dialog.
    TtDataSearch *tDataSearch = nullptr;

    TForm1StatusBar *StatusBar = nullptr;
    QProgressBar *ProgressBar1 = nullptr;

signals:
    // A device-change notification followed an arrival: connect again.
    void ConnectRequested();
    // The open analyzer was removed: close it and mark the link down.
    void DeviceClosed();

public slots:
    void FormShow();
    void FormResize();

    // Device arrival and removal, as the device layer reports them.
    void DeviceChange(TForm1::DeviceChangeKind kind);
    void DeviceArrived();
    void DeviceRemoved();
    // The command channel's side of the two: connect again, close the
    // removed analyzer. PumpDeviceEvents delivers them (UsbEventTimer).
    void ConnectDevice();
    void CloseDevice();
    void PumpDeviceEvents();

    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();
    void Timer5Timer();

    // Acquisition commands.
    void SetRunControls(TForm1::RunMode mode);
    void RunRepetitive1Click();
    void SingleRunButtonClick();
    void Run1Click();
    void Stop2Click();
    void AutoStoreButtonClick();
    void EraseButtonClick();
    void ChangeModel1Click();

    // File commands.
    void LoadClick();
    void SaveClick();
    void CaptureClick();
    void ImportClick();
    void ExportClick();
    void Report1Click();
    void Print1Click();
    void Exit1Click();

    // View commands.
    void ZoomIn1Click();
    void ZoomOut1Click();
    void GridStyle1Click();
    void BW1Click();
    void HandShift1Click();
    void Cursor1Click();
    void GOTOTrigger1Click();
    void GOTO1Click();
    void GOTOEnd1Click();
    void CursorAddButtonClick();
    void CursorSetButtonClick();
    void Delete1Click();
    void wCStateDeleteClick();
    void Default1Click();
    void About1Click();
    void Keys1Click();
    // The waveform's wheel and keys (TForm1Keys.cpp): one zoom step keeping
    // the time at plot column x in place (x outside the plot: as Zoom In/Out);
    // the view moved by tenths of the screen; cursor `name` at column x
    // (outside the plot: at the trigger column).
    void ZoomAt(bool zoomIn, int x);
    void ScrollWaveform(int tenths);
    void PlaceCursorAt(char name, int x);
    void DivComboBoxChange();
    void Memory_Depth_ComboBoxChange();
    void MemoryPercentChange();
    void PageControl1Change();
    void ScrollBar3Change();
    void V_Waveform_ScrollBarChange(int position);
    void H_Waveform_ScrollBarScroll(int position);
    // Redraws the waveform page with the window's colours, grid style and
    // Auto Store mode.
    void RedrawWaveform();
    // The trigger cursor's time given to the view.
    void SyncTriggerCursor();
    // The view draws with the window's background and foreground colours.
    void SyncWaveformColours();
    // Edit1 shows the view's displayed delay.
    void ShowDelay();
    // Zoom commands enabled by the zoom limits of the view's row (and only
    // on the waveform page).
    void ApplyZoomLimits();
    // After every view command: a running capture resends its settings; with
    // Timer1 running before the command the view takes DivComboBox's rows;
    // the picture is redrawn.
    void ApplyViewChange(bool timer1WasRunning);
    // Depth and trigger position from the settings record into the capture
    // record and the view.
    void ApplyRecordChoice();
    // The views and combos from the settings record (at start and after a
    // project load): rows, depth, delay, the "T" mark at the delay, the
    // last-capture copies. With `searchTrigger` the samples in the buffer
    // are placed and searched for the trigger as after a read-out (a
    // loaded project brings them; at start the buffer holds nothing).
    void RefreshFromSettings(bool searchTrigger);
    // Cursor-state texts, buttons and their layout.
    void RefreshCursorStates();
    // The signal list's grids take the list colour.
    void ApplyListColour();
    // The state list shows the capture and the signal list anew.
    void RefreshListing();

    // Trigger, search and protocol commands.
    // Opens "Advance Setting" on page 1 "Adv Trigger" or 0 "Adv Bus" (as the
    // menus and the pop-ups do) and refreshes the window after it closes.
    void OpenAdvanceSetting(int page);
    void Button1Click();
    void TriggerEdit1Click();
    void AdvancedTrigger1Click();
    void ChannelBusEdit1Click();
    void AdvancedBus1Click();
    void FindSetting1Click();
    void FindPrevious1Click();
    void FindNext1Click();
    // One Search Next (forward) or Search Previous on a page with the
    // conditions of the search dialog; nothing while a run is active or
    // without a capture, "No data Match." when nothing is found. True when
    // the page was moved to a match (TForm1Search.cpp).
    bool SearchStep(SearchPage &page, bool forward);
    void I2CButtonClick();
    void SPIButtonClick();
    void UARTButtonClick();
    void CANButtonClick();
    void btn_CPU_MapClick();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateTimers();
    // Builds the state list on the "Listing" page and binds its hooks.
    void BuildListing();
    // Connects the waveform view's controls to the window's handlers.
    void BindWaveform();
    // The signal list's mouse handling (selection, pressed frame, row
    // dragging, rename, the pattern pop-up).
    void BindGrids();
    // The menu items' shortcuts, the waveform's wheel and keys, Help > Keys.
    void BindKeys();
    // Zoom In (true) or Zoom Out (false).
    void ApplyZoomStep(bool zoomIn);
    // Mouse events of the grids' viewports (from eventFilter); true when
    // the event was used up.
    bool GridMouseEvent(QObject *watched, QEvent *event);
    void ShowPatternPopup(int listRow, const QPoint &globalPos);
    void MoveListRow(int from, int to);

public:
    // Double click on a name: the name keyboard for that row's signal.
    void RenameListRow(int listRow);

private:
    void SelectModelAtStart();
    void CreateCommandChannel();
    void ShowDeviceList();

    std::unique_ptr<TForm1AcquisitionWindow> acquisitionWindow;
    WaveformInput *waveformInput = nullptr;
    std::unique_ptr<CEzUsb> commandChannel;
    std::string systemIni;
    std::vector<std::string> languageFolders;
    bool shownOnce = false;
    bool resizing = false;
    bool pumpingDeviceEvents = false;
};
