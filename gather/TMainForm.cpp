#include "gather/TMainForm.h"

#include "device/UsbDriver.h"
#include "ui/AppMessage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace {

const QString Caption = QStringLiteral("Data Acquisition");
const QString NoFilePath = QStringLiteral("Click here to select file path");
const QString NoDataPath = QStringLiteral("Click here to select data path");
const QString ChangeHint = QStringLiteral("Click to change file path");
const QString NoTrayText =
    QStringLiteral("There is no notification area on this desktop: Gathermoor keeps its window.");

// The icon of a set and frame: the program's icon with a dot that walks round
// its corners while watching, green while idle or watching, red while
// capturing.
QIcon Frame(int set, int index)
{
    QPixmap pixmap(QStringLiteral(":/gathermoor/icon.png"));
    if (pixmap.isNull()) {
        pixmap = QPixmap(48, 48);
        pixmap.fill(Qt::darkBlue);
    }
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = pixmap.width() / 3;
    const QPoint corners[4] = {{0, 0},
                               {pixmap.width() - d, 0},
                               {pixmap.width() - d, pixmap.height() - d},
                               {0, pixmap.height() - d}};
    p.setPen(Qt::NoPen);
    p.setBrush(set == 1 ? QColor(0x20, 0xC0, 0x40) : QColor(0xE0, 0x20, 0x20));
    p.drawEllipse(QRect(corners[index % 4], QSize(d, d)));
    return QIcon(pixmap);
}

std::string Local(const QString &path)
{
    return path.toLocal8Bit().toStdString();
}

QString FromLocal(const std::string &text)
{
    return QString::fromLocal8Bit(text.c_str());
}

} // namespace

TMainForm::TMainForm(const std::string &systemFile, std::unique_ptr<UsbDriver> driver,
                     QWidget *parent)
    : QMainWindow(parent)
    , timers(this)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(Caption);
    for (int set = 0; set < 2; ++set)
        for (int i = 0; i < 4; ++i)
            frames[set].push_back(Frame(set + 1, i));
    setWindowIcon(frames[0][0]);

    CGatherControl::Hooks hooks;
    hooks.Message = [this](const std::string &text) { Say(FromLocal(text)); };
    hooks.IconSet = [this](int set) { SetIconSet(set); };
    hooks.Animate = [this](bool on) { SetAnimation(on); };
    hooks.ShowWindow = [this] { ShowFromTray(); };
    hooks.Changed = [this] { ShowState(); };
    timers.Bind(hooks);
    control = std::make_unique<CGatherControl>(systemFile, std::move(hooks));

    animation.setInterval(AnimationMs);
    connect(&animation, &QTimer::timeout, this, [this] { NextFrame(); });

    BuildOverView();
    BuildMenus();
    BuildTray();
    setFixedSize(460, 250);

    control->CreateLink(driver ? std::move(driver) : UsbDriver::FromEnvironment());
    timers.Attach(*control);
    ShowState();
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildOverView()
{
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    auto *overView = new QWidget(PageControl);
    overView->setObjectName(QStringLiteral("Tab_OverView"));
    auto *grid = new QGridLayout(overView);

    CheckBox_AutoRestart = new QCheckBox(QStringLiteral("Auto Restart"), overView);
    CheckBox_AutoRestart->setObjectName(QStringLiteral("CheckBox_AutoRestart"));
    connect(CheckBox_AutoRestart, &QCheckBox::clicked, this,
            [this](bool on) { control->SetAutoRestart(on, false); });
    grid->addWidget(CheckBox_AutoRestart, 0, 0, 1, 2);

    const auto pathRow = [&](int row, const char *name, const QString &text, QLabel *&result,
                             const char *resultName, const QString &initial) {
        auto *label = new QLabel(text, overView);
        label->setObjectName(QString::fromLatin1(name));
        result = new QLabel(initial, overView);
        result->setObjectName(QString::fromLatin1(resultName));
        result->setToolTip(ChangeHint);
        result->setCursor(Qt::PointingHandCursor);
        result->setStyleSheet(QStringLiteral("color: #0645ad;"));
        result->setTextFormat(Qt::PlainText);
        result->installEventFilter(this);
        grid->addWidget(label, row, 0);
        grid->addWidget(result, row, 1);
    };
    pathRow(1, "SLabel_FilePath", QStringLiteral("Parameter Input :"), SLabel_FilePathResult,
            "SLabel_FilePathResult", NoFilePath);
    pathRow(2, "SLabel_DataPath", QStringLiteral("Data Output     :"), SLabel_DataPathResult,
            "SLabel_DataPathResult", NoDataPath);
    grid->setColumnStretch(1, 1);

    btn_OK = new QPushButton(QStringLiteral("Execute"), overView);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    connect(btn_OK, &QPushButton::clicked, this, [this] { btn_OKClick(); });
    btn_Exit = new QPushButton(QStringLiteral("Exit"), overView);
    btn_Exit->setObjectName(QStringLiteral("btn_Exit"));
    connect(btn_Exit, &QPushButton::clicked, this, [this] { close(); });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_OK);
    buttons->addWidget(btn_Exit);
    grid->addLayout(buttons, 3, 0, 1, 2);
    NoticeLabel = new QLabel(overView);
    NoticeLabel->setObjectName(QStringLiteral("NoticeLabel"));
    NoticeLabel->setWordWrap(true);
    NoticeLabel->hide();
    grid->addWidget(NoticeLabel, 4, 0, 1, 2);
    PageControl->addTab(overView, QStringLiteral("Over View"));

    auto *property = new QWidget(PageControl);
    property->setObjectName(QStringLiteral("Tap_Property"));
    auto *form = new QVBoxLayout(property);
    for (QLabel *&label : propertyLabels) {
        label = new QLabel(property);
        form->addWidget(label);
    }
    PageControl->addTab(property, QStringLiteral("Properties"));
    PageControl->setTabVisible(1, false);
    setCentralWidget(PageControl);
}

void TMainForm::BuildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("File"));
    file->addAction(QStringLiteral("Open"), this, [this] { OpenParameterFile(); });
    file->addAction(QStringLiteral("Save"), this, [this] { ChooseDataPath(); });
    file->addAction(QStringLiteral("Exit"), this, [this] { close(); });

    TrayIconPopMenu = new QMenu(this);
    TrayIconPopMenu->setObjectName(QStringLiteral("TrayIconPopMenu"));
    const auto item = [this](const QString &text, const char *name, auto handler) {
        QAction *action = TrayIconPopMenu->addAction(text, this, handler);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    TrayIconPopMenu_ShowWindow =
        item(QStringLiteral("ShowMainWindow"), "TrayIconPopMenu_ShowWindow",
             [this] { control->ShowWindowCommand(); });
    TrayIconPopMenu->addSeparator();
    TrayIconPopMenu_AutoRestart =
        item(QStringLiteral("Auto Restart"), "TrayIconPopMenu_AutoRestart",
             [this] { control->SetAutoRestart(TrayIconPopMenu_AutoRestart->isChecked()); });
    TrayIconPopMenu_AutoRestart->setCheckable(true);
    TrayIconPopMenu_Start =
        item(QStringLiteral("Start"), "TrayIconPopMenu_Start", [this] { control->Start(); });
    TrayIconPopMenu_Stop =
        item(QStringLiteral("Break"), "TrayIconPopMenu_Stop", [this] { control->Break(); });
    ForceTrig1 =
        item(QStringLiteral("Force Trigger"), "ForceTrig1", [this] { control->ForceTrigger(); });
    TrayIconPopMenu->addSeparator();
    TrayIconPopMenu_Exit =
        item(QStringLiteral("Exit"), "TrayIconPopMenu_Exit", [this] { close(); });
}

void TMainForm::BuildTray()
{
    trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    if (!trayAvailable) {
        // The commands of the icon's menu stay within reach.
        QMenu *run = menuBar()->addMenu(QStringLiteral("Run"));
        run->addActions(TrayIconPopMenu->actions());
        NoticeLabel->setText(NoTrayText);
        NoticeLabel->show();
        std::fprintf(stderr, "%s\n", NoTrayText.toLocal8Bit().constData());
        return;
    }
    TrayIcon = new QSystemTrayIcon(frames[0][0], this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->setToolTip(Caption);
    TrayIcon->setContextMenu(TrayIconPopMenu);
    connect(TrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    ShowFromTray();
            });
    TrayIcon->show();
}

void TMainForm::Startup()
{
    control->Startup();
}

void TMainForm::ExecuteFile(const QString &path)
{
    control->LoadParameterFile(Local(path));
    btn_OKClick();
}

void TMainForm::btn_OKClick()
{
    if (!control->Execute())
        return;
    if (trayAvailable) {
        hide();
        SetAnimation(true);
    } else {
        showMinimized();
    }
}

void TMainForm::OpenParameterFile()
{
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                      QStringLiteral("Text File(*.txt)"));
    if (!path.isEmpty())
        control->LoadParameterFile(Local(path));
}

void TMainForm::ChooseDataPath()
{
    QFileDialog dialog(this, QString(), QString(), QStringLiteral("Binary File(*.bin)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("bin"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        control->SetDataPath(Local(dialog.selectedFiles().first()));
}

void TMainForm::ShowFromTray()
{
    SetAnimation(false);
    showNormal();
    raise();
    activateWindow();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == SLabel_FilePathResult) {
            OpenParameterFile();
            return true;
        }
        if (watched == SLabel_DataPathResult) {
            ChooseDataPath();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !trayAvailable)
        return;
    // Minimised, the program lives in the notification area.
    if (isMinimized()) {
        QTimer::singleShot(0, this, [this] { hide(); });
        SetAnimation(true);
    } else {
        SetAnimation(false);
    }
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (control->Capturing())
        control->Capture().Abandon();
    QCoreApplication::quit();
}

void TMainForm::ShowState()
{
    const std::string &param = control->ParameterPath();
    const std::string &output = control->DataPath();
    SLabel_FilePathResult->setText(param.empty() ? NoFilePath : FromLocal(param));
    SLabel_DataPathResult->setText(output.empty() ? NoDataPath : FromLocal(output));
    CheckBox_AutoRestart->setChecked(control->AutoRestart());
    TrayIconPopMenu_AutoRestart->setChecked(control->AutoRestart());
    TrayIconPopMenu_Start->setEnabled(control->StartEnabled());
    propertyLabels[0]->setText(FromLocal(control->SampleRateText()));
    propertyLabels[1]->setText(FromLocal(control->RamSizeText()));
    propertyLabels[2]->setText(FromLocal(control->DelayTimeText()));
}

void TMainForm::SetIconSet(int set)
{
    iconSet = set == 2 ? 2 : 1;
    frame = 0;
    const QIcon &icon = frames[iconSet - 1][0];
    if (TrayIcon)
        TrayIcon->setIcon(icon);
    setWindowIcon(icon);
}

void TMainForm::SetAnimation(bool on)
{
    if (on)
        animation.start();
    else
        animation.stop();
}

void TMainForm::NextFrame()
{
    frame = (frame + 1) % frames[iconSet - 1].size();
    if (TrayIcon)
        TrayIcon->setIcon(frames[iconSet - 1][frame]);
}

void TMainForm::Say(const QString &text)
{
    AppMessage::Information(this, Caption, text);
}
