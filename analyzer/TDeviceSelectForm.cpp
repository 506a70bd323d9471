#include "analyzer/TDeviceSelectForm.h"

#include "analyzer/HostMask.h"
#include "device/CFile.h"
#include "device/ModelTable.h"
#include "device/WSystem.h"
#include "files/CIniFile.h"
#include "files/ProjectFile.h"
#include "host/SystemIni.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

TDeviceSelectForm::TDeviceSelectForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("DeviceSelectForm"));
    setWindowTitle(QStringLiteral("Model Selection"));
    setModal(true);

    Device_Box = new QComboBox(this);
    Device_Box->setObjectName(QStringLiteral("Device_Box"));
    Device_Box->setMinimumWidth(260);
    OK_btn = new QPushButton(QStringLiteral("&OK"), this);
    OK_btn->setObjectName(QStringLiteral("OK_btn"));
    OK_btn->setDefault(true);
    OK_btn->setAutoDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Device_Box);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OK_btn);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(OK_btn, &QPushButton::clicked, this, &TDeviceSelectForm::OK_btnClick);
}

void TDeviceSelectForm::LoadTexts()
{
    promptText = UiText::Get("SelectDevice", "strWarning1", "Load the last used file?");
    promptCaption = UiText::Get("SelectDevice", "strOverwrite", "Overwrite");
    setWindowTitle(UiText::Get("SelectDevice", "strCaption", "Model Selection"));
    OK_btn->setText(UiText::Get("Common", "strOKBtnCaption", "OK"));
}

void TDeviceSelectForm::SelectModelAtStart(CFile &record, WSystem &sys, const std::string &iniPath)
{
    LoadTexts();
    settings = &record;
    system = &sys;
    systemIni = iniPath;

    const SystemIni::StartState state = SystemIni::PrepareAtStart(iniPath);
    std::error_code ec;
    const bool lastExists =
        state.existed && !state.lastFile.empty() &&
        std::filesystem::is_regular_file(std::filesystem::path(state.lastFile), ec);
    if (lastExists && AppMessage::YesNo(this, promptCaption, promptText)) {
        // The same checked reader as File > Load: a file that is not a whole
        // project file changes nothing, is reported, and the model is asked.
        if (ProjectFile::Load(state.lastFile, record, sys) == ProjectFile::Error::None)
            return;
        AppMessage::Error(
            this, windowTitle(),
            UiText::Get("FileSystem", "strFileWarning10", "This is not a valid project file.") +
                QStringLiteral("\n") + QString::fromStdString(state.lastFile));
    }
    exec();
}

void TDeviceSelectForm::ChooseModel(CFile &record, WSystem &sys, const std::string &iniPath)
{
    LoadTexts();
    settings = &record;
    system = &sys;
    systemIni = iniPath;
    exec();
}

void TDeviceSelectForm::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TDeviceSelectForm::FormShow()
{
    const std::string host =
        CIniFile(systemIni).ReadString("Model", "Host", SystemIni::DefaultHost);
    Device_Box->clear();
    EntryCodes.clear();
    const std::optional<uint64_t> mask = HostMask::Parse(host);
    if (!mask) {
        AppMessage::Error(this, windowTitle(),
                          QStringLiteral("'%1' is not a valid hexadecimal value.")
                              .arg(QString::fromStdString(host)));
    }
    int selected = -1;
    for (const uint8_t code : HostMask::Offered(mask, ConnectedModel)) {
        Device_Box->addItem(
            QString::fromUtf8(ModelTable::Model(code).listName.data(),
                              static_cast<qsizetype>(ModelTable::Model(code).listName.size())));
        if (code == ConnectedModel || selected < 0)
            selected = static_cast<int>(EntryCodes.size());
        EntryCodes.push_back(code);
    }
    Device_Box->setCurrentIndex(selected);
}

void TDeviceSelectForm::OK_btnClick()
{
    if (settings && system) {
        const int entry = Device_Box->currentIndex();
        if (entry >= 0 && static_cast<size_t>(entry) < EntryCodes.size()) {
            settings->ModelCode = EntryCodes[static_cast<size_t>(entry)];
            system->SelectModel(settings->ModelCode);
            // The SPI page adapts itself to the model here.
            settings->ResetSettings();
        } else if (settings->ModelCode != system->ModelCode) {
            // Nothing offered: the current model stays, and the settings
            // record follows it.
            settings->ModelCode = static_cast<uint8_t>(system->ModelCode);
            settings->ResetSettings();
        }
    }
    accept();
}

void TDeviceSelectForm::reject()
{
    // Escape and the window's close request do not leave the dialog: only OK.
}

void TDeviceSelectForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OK_btnClick();
        return;
    }
    QDialog::keyPressEvent(event);
}
