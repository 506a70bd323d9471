#include "analyzer/TForm1.h"

#include <QDialog>

#include "analyzer/CAcquisition.h"
#include "analyzer/TDeviceSelectForm.h"
#include "analyzer/TForm1AcquisitionWindow.h"
#include "analyzer/TForm1FileSysHost.h"
#include "analyzer/TForm1Menus.h"
#include "analyzer/TForm1PageHost.h"
#include "analyzer/TForm1Pages.h"
#include "analyzer/TForm1StatusBar.h"
#include "analyzer/TForm1Texts.h"
#include "analyzer/TForm1ToolBars.h"
#include "analyzer/TForm3.h"
#include "analyzer/TLamp.h"
#include "analyzer/Tform_ExtFreq.h"
#include "analyzer/ViewCommands.h"
#include "cpumap/CPUMapPage.h"
#include "device/CEzUsb.h"
#include "display/CCaptureRecord.h"
#include "display/CListMode.h"
#include "display/CWaveform.h"
#include "display/CursorState.h"
#include "display/TForm2.h"
#include "display/TForm4.h"
#include "display/Tform_name.h"
#include "display/WCursor.h"
#include "host/SystemIni.h"
#include "lang/LanguageMenu.h"
#include "lang/LanguagePaths.h"
#include "protocols/ProtocolPageParts.h"
#include "protocols/UARTPage.h"
#include "protocols/WCAN_UI.h"
#include "protocols/WSPI.h"
#include "protocols/wI2C_UI.h"
#include "search/TtDataSearch.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QResizeEvent>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace {

QString Q(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QTimer *NewTimer(TForm1 &form, const char *name, int intervalMs, bool enabled)
{
    auto *timer = new QTimer(&form);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(intervalMs);
    if (enabled)
        timer->start();
    return timer;
}

uint32_t ColorRef(const QColor &c)
{
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
           static_cast<uint32_t>(c.blue()) << 16;
}

// TRACEMOOR_DEVICE=demo: the Demo model without any question at start.
bool DemoRequested()
{
    return qEnvironmentVariable("TRACEMOOR_DEVICE")
               .compare(QStringLiteral("demo"), Qt::CaseInsensitive) == 0;
}

} // namespace

TForm1::TForm1(QWidget *parent, std::string systemIniPath)
    : QMainWindow(parent)
    , systemIni(systemIniPath.empty() ? DefaultSystemIniPath() : systemIniPath)
{
    setObjectName(QStringLiteral("Form1"));

    // 1. Model tables and sample buffers; the active language file name.
    wSystem = std::make_unique<WSystem>();
    wSystem->ReadLanguageFileName(systemIni);
    // 2. Number-base conversions live with the views that use them.
    // 3. The main window's texts, from the active language file; the dialogs
    // read theirs from the same file when they are shown.
    if (systemIniPath.empty()) {
        languageFolders = LanguagePaths(ProgramFolder()).Folders();
    } else {
        const std::filesystem::path folder = std::filesystem::path(systemIni).parent_path();
        languageFolders = {(folder / LanguagePaths::FolderName).string()};
    }
    const std::string languageFile = ActiveLanguageFile();
    UiText::SetLanguageFile(languageFile);
    wSysLanguage = std::make_unique<WSysLanguage>(languageFile);
    // 4., 5. The settings record, starting from the Demo defaults, and the
    // run-parameter image of models 9 and 10.
    cFile = std::make_unique<CFile>();
    cFile->ModelCode = 0;
    cFile->ResetSettings();
    aFile = std::make_unique<AFile>();

    TForm1Menus::Build(*this);
    TForm1ToolBars::Build(*this);
    TForm1Pages::Build(*this);
    // 6. The status bar with the progress bar.
    StatusBar = new TForm1StatusBar(this);
    setStatusBar(StatusBar);
    ProgressBar1 = StatusBar->ProgressBar();
    // 7.-12. Cursors, waveform view, state list, channel names and the
    // protocol pages attach themselves to the pages built above. Until the
    // waveform window does, its core and the page's grid picture stand in.
    CaptureRecord = std::make_unique<CCaptureRecord>(*wSystem, *cFile);
    Cursors = std::make_unique<WCursor>();
    CursorStates = std::make_unique<CursorState>();
    Waveform = std::make_unique<CWaveform>(*wSystem, *cFile, *CaptureRecord, Panel_Ly0,
                                           WaveformPopupMenu1);
    Waveform->GridStyle = ViewCommands::InitialGridStyle;
    BindWaveform();
    BindGrids();
    BuildListing();
    BindKeys();
    PageHost = std::make_unique<TForm1PageHost>(*this);
    FilesHost = std::make_unique<TForm1FileSysHost>(*this);
    UartPage = std::make_unique<UARTPage>(
        *PageHost, ProtocolPageTab{PageControl1, Tab_UART, UART_Protocol, UARTButton});
    CanPage = std::make_unique<WCAN_UI>(
        *PageHost, ProtocolPageTab{PageControl1, TabSheet6, CAN_Protocol, CANButton});
    CpuMapPage = std::make_unique<CPUMapPage>(*PageHost, PageControl1, Tab_CPU_Map, btn_CPU_Map);

    CreateTimers();
    ListColor = ColorRef(palette().color(QPalette::Window));
    SystemListColor = ListColor;
    HandCursor = QCursor(Qt::OpenHandCursor);
    Waveform->HandCursor = HandCursor;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    Random.seed(static_cast<unsigned>(now.count()));
    acquisitionWindow = std::make_unique<TForm1AcquisitionWindow>(*this);
    Acquisition = std::make_unique<CAcquisition>(*wSystem, *cFile, *aFile, *CaptureRecord,
                                                 *Waveform, *acquisitionWindow, Random);
    I2C_UI = new wI2C_UI(TabSheet3, *cFile, *wSystem, *CaptureRecord);
    SPI_UI = new WSPI(TabSheet4, *cFile, *wSystem, *CaptureRecord);

    combo_Device->setEditText(Text(WSysLanguage::strSelDevice));
    Panel5->installEventFilter(this);

    setMinimumSize(MinWidth, MinHeight);
    setMaximumSize(MaxWidth, MaxHeight);
    resize(ClientWidth, ClientHeight);
    UpdateTitle();
}

TForm1::~TForm1()
{
    // A window still on screen closes in QWidget's destructor, and the views
    // lay themselves out as they hide: the state list's grid then asks its
    // model for rows the list (a member, gone by then) kept. Hidden here,
    // while every member is still there, nothing asks afterwards.
    hide();
}

std::string TForm1::ProgramFolder()
{
    return QCoreApplication::applicationDirPath().toStdString();
}

std::string TForm1::DefaultSystemIniPath()
{
    return SystemIni::Resolve(ProgramFolder());
}

std::string TForm1::ActiveLanguageFile() const
{
    // The first folder holding the file wins; a file found nowhere reads as empty.
    for (const std::string &folder : languageFolders) {
        const std::filesystem::path path = std::filesystem::path(folder) / wSystem->LanguageFile;
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec))
            return path.string();
    }
    const std::string first = languageFolders.empty() ? std::string(".") : languageFolders[0];
    return (std::filesystem::path(first) / wSystem->LanguageFile).string();
}

void TForm1::CreateTimers()
{
    Timer1 = NewTimer(*this, "Timer1", 10, false);
    Timer2 = NewTimer(*this, "Timer2", 1, true);
    Timer3 = NewTimer(*this, "Timer3", 100, false);
    Timer4 = NewTimer(*this, "Timer4", 10, false);
    Timer5 = NewTimer(*this, "Timer5", 10, false);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    connect(Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
    connect(Timer4, &QTimer::timeout, this, &TForm1::Timer4Timer);
    connect(Timer5, &QTimer::timeout, this, &TForm1::Timer5Timer);
    UsbEventTimer = NewTimer(*this, "UsbEventTimer", UsbEventIntervalMs, false);
    connect(UsbEventTimer, &QTimer::timeout, this, &TForm1::PumpDeviceEvents);
    connect(this, &TForm1::ConnectRequested, this, &TForm1::ConnectDevice);
    connect(this, &TForm1::DeviceClosed, this, &TForm1::CloseDevice);
}

void TForm1::CreateDialogs()
{
    if (DeviceSelectForm)
        return;
    // Fixed order. The dialogs whose windows have not joined the program yet
    // exist as plain, hidden dialogs under their names; each is replaced here
    // by its own class when it arrives.
    auto plain = [this](const char *name) {
        auto *dialog = new QDialog(this);
        dialog->setObjectName(QString::fromLatin1(name));
        dialog->setModal(true);
        PendingDialogs.push_back(dialog);
    };
    form_name = new Tform_name(this);
    CreateTriggerDialogs();
    Form2 = new TForm2(this);
    connect(Form2, &TForm2::StateAdded, this, [this](char from, char to) {
        CursorStates->AddState(from, to);
        RefreshCursorStates();
    });
    CreateBusEdit();
    Form3 = new TForm3(this);
    Form4 = new TForm4(this);
    tDataSearch = new TtDataSearch(this);
    DeviceSelectForm = new TDeviceSelectForm(this);
    form_ExtFreq = new Tform_ExtFreq(this);
    for (const char *name : {"Report_form", "form_SPI_Help"})
        plain(name);
}

void TForm1::SuspendTimers()
{
    const std::array<QTimer *, 5> timers{Timer1, Timer2, Timer3, Timer4, Timer5};
    for (size_t i = 0; i < timers.size(); ++i) {
        TimerStates[i] = timers[i]->isActive();
        timers[i]->stop();
    }
}

void TForm1::ResumeTimers()
{
    const std::array<QTimer *, 5> timers{Timer1, Timer2, Timer3, Timer4, Timer5};
    for (size_t i = 0; i < timers.size(); ++i) {
        if (TimerStates[i])
            timers[i]->start();
        else
            timers[i]->stop();
    }
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce) {
        shownOnce = true;
        FormShow();
    }
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Panel5 && event->type() == QEvent::Resize)
        LayoutPanel8();
    if (StringGrid1 && GridMouseEvent(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::LayoutPanel8()
{
    // Panel8 is as wide as Panel5 and as high as Panel5 plus the vertical
    // scroll position of the waveform (0 until the view scrolls it).
    Panel8->setGeometry(0, -WaveformScrollPosition, Panel5->width(),
                        Panel5->height() + WaveformScrollPosition);
}

void TForm1::FormShow()
{
    Timer1->stop();
    Timer2->stop();
    Timer3->stop();
    LayoutPanel8();
    // The command channel connects to the first analyzer found.
    CreateCommandChannel();
    CreateDialogs();
    SelectModelAtStart();
    UpdateTitle();
    Acquisition->ViewFromRecord();
    Acquisition->UpdateNoTriggerCondition();

    FillDivList();
    FillDepthList();
    Memory_Depth_ComboBox->setCurrentIndex(cFile->MemoryDepthIndex);
    MemoryPercent->setCurrentIndex(cFile->MemoryPercent - 1);
    wSystem->ComputeSplit(cFile->MemoryDepthIndex, cFile->RateRow);

    // The list view is refreshed here by its view.
    Waveform->AllocateRows();
    RefreshFromSettings(false);
    Timer3->start();
    SetRunControls(RunMode::Idle);
    WriteStatusBar();
    ApplyLanguageTexts();
    BuildLanguageMenu();
    if (AutoScaleAtStart)
        QTimer::singleShot(0, this, &TForm1::Run1Click);
}

void TForm1::SelectModelAtStart()
{
    if (DemoRequested()) {
        SystemIni::PrepareAtStart(systemIni);
        wSystem->SelectModel(0);
        cFile->ModelCode = 0;
        cFile->ResetSettings();
        return;
    }
    DeviceSelectForm->ConnectedModel = ConnectedModel();
    DeviceSelectForm->SelectModelAtStart(*cFile, *wSystem, systemIni);
}

int TForm1::ListGridHeight() const
{
    if (ListGrid)
        return ListGrid->height();
    // The state list fills its page; every page has the same height.
    if (const auto *stack = PageControl1->findChild<QStackedWidget *>())
        return stack->height();
    return PageControl1->height();
}

void TForm1::FormResize()
{
    if (resizing || !Timer1)
        return;
    resizing = true;
    const bool timer1 = Timer1->isActive();
    const bool timer2 = Timer2->isActive();
    Timer1->stop();
    Timer2->stop();
    LayoutPanel8();
    update();
    // Whole 20-pixel rows in the state list: give back the partial row. A
    // maximised or full-screen window keeps the size the desktop gave it.
    if (isVisible() && height() > minimumHeight() && !isMaximized() && !isFullScreen()) {
        const int partial = ListGridHeight() % ListRowHeight;
        if (partial > 0)
            resize(width(), std::max(minimumHeight(), height() - partial));
    }
    // The state list takes its new row count.
    if (ListMode)
        ListMode->Resize();
    if (timer2)
        Timer2->start();
    if (timer1)
        Timer1->start();
    RefreshCursorStates();
    RedrawWaveform();
    StatusBar->PlaceProgressBar();
    resizing = false;
}

void TForm1::UpdateTitle()
{
    setWindowTitle(Q(wSystem->WindowTitle()));
}

void TForm1::FillDivList()
{
    DivComboBox->clear();
    if (cFile->ClockSource == 1) {
        for (std::string_view text : *wSystem->DividerTexts)
            DivComboBox->addItem(Q(text));
        DivComboBox->setCurrentIndex(2);
        return;
    }
    for (size_t r = 0; r < wSystem->TimeDivCount; ++r)
        DivComboBox->addItem(Q(wSystem->TimeDivTexts[r]));
    DivComboBox->setCurrentIndex(std::clamp<int>(cFile->TimeDivRow, 0, DivComboBox->count() - 1));
}

void TForm1::FillDepthList()
{
    Memory_Depth_ComboBox->clear();
    for (size_t d = 0; d < wSystem->DepthCount; ++d)
        Memory_Depth_ComboBox->addItem(Q(wSystem->DepthTexts[d]));
}

int TForm1::CurrentTimeDivRow() const
{
    if (cFile->ClockSource != 1 && DivComboBox->currentIndex() >= 0)
        return DivComboBox->currentIndex();
    return std::clamp<int>(cFile->TimeDivRow, 0, ModelTable::TimeDivRowCount - 1);
}

void TForm1::WriteStatusBar()
{
    if (cFile->ClockSource == 1) {
        StatusBar->SetPanelText(0, Text(WSysLanguage::strClock));
    } else {
        const auto row = static_cast<size_t>(CurrentTimeDivRow());
        const auto unit =
            static_cast<size_t>(std::clamp<int32_t>(wSystem->SamplePeriodUnit[row], 0, 4));
        StatusBar->SetPanelText(0, Text(WSysLanguage::strSampleRate) +
                                       QString::number(wSystem->SamplePeriodValue[row]) +
                                       Q((*wSystem->UnitTexts)[unit]) +
                                       Q(wSystem->FrequencyText[row]));
    }
    const int depth = cFile->MemoryDepthIndex;
    QString depthText = depth >= 0 && static_cast<uint32_t>(depth) < wSystem->DepthCount
                            ? Q(wSystem->DepthTexts[static_cast<size_t>(depth)])
                            : QString();
    // An imported capture's depth is its own length.
    if (wSystem->HoldsImport() && static_cast<uint32_t>(depth) + 1 == wSystem->DepthCount)
        depthText = QString::number(wSystem->DepthSamples[static_cast<size_t>(depth)]);
    const QString depthLabel = Text(WSysLanguage::strMemDepth);
    StatusBar->SetPanelText(1, depthLabel + depthText);
    // A capture brought in from a file has its trigger at the first sample,
    // which the list of shares does not offer: the box shows it as its
    // placeholder.
    const QString share = cFile->MemoryPercent >= 1 && cFile->MemoryPercent <= 9
                              ? MemoryPercent->itemText(cFile->MemoryPercent - 1)
                          : cFile->MemoryPercent == 0 ? MemoryPercent->placeholderText()
                                                      : QString();
    StatusBar->SetPanelText(2, Text(WSysLanguage::strMemPercent) + share);
}

void TForm1::DeviceArrived()
{
    DeviceChange(DeviceChangeKind::Arrival);
}

void TForm1::DeviceRemoved()
{
    DeviceChange(DeviceChangeKind::OpenDeviceRemoved);
}

void TForm1::DeviceChange(TForm1::DeviceChangeKind kind)
{
    // An analyzer that arrived is connected on the notification after its
    // arrival, when the system has finished setting it up.
    if (ArrivalPending)
        emit ConnectRequested();
    ArrivalPending = kind == DeviceChangeKind::Arrival;
    if (EzUsb != nullptr)
        EzUsb->ArrivalSeen = ArrivalPending;
    if (kind == DeviceChangeKind::OpenDeviceRemoved) {
        // The command channel closes the device and marks itself disconnected.
        emit DeviceClosed();
        combo_Device->clear();
        combo_Device->setEditText(Text(WSysLanguage::strSelDevice));
    }
}

void TForm1::ApplyLanguageTexts()
{
    TForm1Texts::Apply(*this);
    Waveform->LabelTexts = WRowLabels::Texts::FromLanguage(*wSysLanguage);
    Waveform->PaintRowLabels();
}

QString TForm1::Text(WSysLanguage::Id id) const
{
    return UiText::FromUtf8(wSysLanguage->Text(id));
}

void TForm1::BuildLanguageMenu()
{
    Language1->clear();
    LanguageIndex = -1;
    for (const LanguageMenu::Item &item :
         LanguageMenu::List(languageFolders, wSystem->LanguageFile)) {
        QAction *action = Language1->addAction(UiText::FromUtf8(item.Caption));
        action->setObjectName(QStringLiteral("Language_%1").arg(item.Tag));
        action->setCheckable(true);
        action->setChecked(item.Active);
        action->setData(item.Tag);
        if (item.Active)
            LanguageIndex = item.Tag;
        const std::string fileName = item.FileName;
        connect(action, &QAction::triggered, this,
                [this, action, fileName] { LanguageItemClick(action, fileName); });
    }
}

void TForm1::LanguageItemClick(QAction *item, const std::string &fileName)
{
    const bool written = LanguageMenu::Select(systemIni, fileName);
    if (written)
        LanguageIndex = item->data().toInt();
    // Exactly the item of the chosen language stays checked.
    for (QAction *a : Language1->actions())
        a->setChecked(a->data().toInt() == LanguageIndex);
    if (written)
        AppMessage::Information(this, windowTitle(), Text(WSysLanguage::strLanguageChange));
}

void TForm1::Exit1Click()
{
    close();
}

// Timers. Timer1 runs the capture sequence and Timer2 hands a capture to the
// display (acquisition control, TForm1Acquisition.cpp); Timer3 redraws the
// idle waveform page and Timer4 and Timer5 scroll while a cursor is dragged
// past an edge (view commands, TForm1View.cpp).

// The file commands are in TForm1Files.cpp, the search commands in
// TForm1Search.cpp and the trigger and bus dialogs in TForm1Trigger.cpp.
void TForm1::I2CButtonClick()
{
    if (ProtocolPageParts::TogglePage(*PageControl1, TabSheet3, I2C_Protocol, I2CButton))
        I2C_UI->RefreshChannelLists();
}
void TForm1::SPIButtonClick()
{
    if (ProtocolPageParts::TogglePage(*PageControl1, TabSheet4, SPI_Protocol, SPIButton))
        SPI_UI->RefreshChannelLists();
}
void TForm1::UARTButtonClick()
{
    UartPage->UARTButtonClick();
}
void TForm1::CANButtonClick()
{
    CanPage->CANButtonClick();
}
void TForm1::btn_CPU_MapClick()
{
    CpuMapPage->btn_CPU_MapClick();
}
