#pragma once

#include "gather/CGatherControl.h"
#include "gather/GatherTimers.h"

#include "device/UsbDriver.h"

#include <QIcon>
#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTabWidget;

// The unattended acquisition program's window ("Data Acquisition"): the
// parameter file and data path pickers, Auto Restart, Execute and Exit, and
// the notification-area icon with its menu. What the commands do lives in
// CGatherControl; this window shows its state.
//
// Without a notification area (a bare X server, some Wayland desktops) the
// window says so once, stays in the taskbar when minimised and keeps the
// tray menu's commands in its File menu.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int AnimationMs = 100;

    // `systemFile`: the path of "System.txt"; `driver` the USB driver (the
    // one TRACEMOOR_DEVICE selects when null).
    explicit TMainForm(const std::string &systemFile, std::unique_ptr<UsbDriver> driver = {},
                       QWidget *parent = nullptr);
    ~TMainForm() override;

    // Start-up once shown: System.txt and its last parameter file.
    void Startup();
    // Loads `path` and presses Execute (the --param option).
    void ExecuteFile(const QString &path);

    CGatherControl &Control() { return *control; }
    bool TrayAvailable() const { return trayAvailable; }
    int IconSet() const { return iconSet; }
    bool Animating() const { return animation.isActive(); }

    // Controls, by their form names.
    QTabWidget *PageControl = nullptr;
    QCheckBox *CheckBox_AutoRestart = nullptr;
    QLabel *SLabel_FilePathResult = nullptr;
    QLabel *SLabel_DataPathResult = nullptr;
    QLabel *NoticeLabel = nullptr;
    QPushButton *btn_OK = nullptr;
    QPushButton *btn_Exit = nullptr;
    QMenu *TrayIconPopMenu = nullptr;
    QAction *TrayIconPopMenu_ShowWindow = nullptr;
    QAction *TrayIconPopMenu_AutoRestart = nullptr;
    QAction *TrayIconPopMenu_Start = nullptr;
    QAction *TrayIconPopMenu_Stop = nullptr;
    QAction *ForceTrig1 = nullptr;
    QAction *TrayIconPopMenu_Exit = nullptr;
    QSystemTrayIcon *TrayIcon = nullptr;

    // Handlers.
    void btn_OKClick();
    void OpenParameterFile(); // SLabel_FilePathResult, File > Open
    void ChooseDataPath();    // SLabel_DataPathResult, File > Save
    void ShowFromTray();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Closing the window ends the program (the window may be hidden in the
    // notification area while a message box is the last window closed).
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildOverView();
    void BuildMenus();
    void BuildTray();
    void ShowState();
    void SetIconSet(int set);
    void SetAnimation(bool on);
    void NextFrame();
    void Say(const QString &text);

    GatherTimers timers;
    std::unique_ptr<CGatherControl> control;
    QLabel *propertyLabels[3] = {};
    std::vector<QIcon> frames[2];
    int iconSet = 1;
    size_t frame = 0;
    QTimer animation;
    bool trayAvailable = false;
};
