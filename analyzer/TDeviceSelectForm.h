#pragma once

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class CFile;
class QComboBox;
class QPushButton;
class WSystem;

// "Model Selection": which analyzer model the program works with. It has no
// title-bar buttons and is left only with OK. At start-up it is preceded by
// the offer to reopen the last project file, which fixes the model instead.
class TDeviceSelectForm : public QDialog
{
    Q_OBJECT

public:
    explicit TDeviceSelectForm(QWidget *parent = nullptr);

    // Start-up: keeps System.ini's keys present, offers the last project file
    // and otherwise shows the dialog.
    void SelectModelAtStart(CFile &settings, WSystem &system, const std::string &systemIni);
    // The dialog alone (model change, a device of another model).
    void ChooseModel(CFile &settings, WSystem &system, const std::string &systemIni);

    QComboBox *Device_Box = nullptr;
    QPushButton *OK_btn = nullptr;
    // Model code of each list entry.
    std::vector<uint8_t> EntryCodes;
    // The model the connected analyzer names (-1: none). It is offered and
    // preselected whatever the [Model] Host mask says.
    int ConnectedModel = -1;

public slots:
    void FormShow();
    void OK_btnClick();
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void LoadTexts();

    CFile *settings = nullptr;
    WSystem *system = nullptr;
    std::string systemIni;
    QString promptText;
    QString promptCaption;
};
