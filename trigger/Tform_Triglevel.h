#pragma once

#include <QDialog>

class CFile;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSlider;

// "Logic Level Setting": the threshold of one input port (or of all four)
// as a standard level (TTL, CMOS, ECL) or a voltage of the user's in steps
// of 0.1 V. It changes the record's PortLevel codes on OK only.
class Tform_Triglevel : public QDialog
{
    Q_OBJECT

public:
    explicit Tform_Triglevel(QWidget *parent = nullptr);

    // Shows the dialog modally for port 0..3 of `record`; true when OK
    // changed the record.
    bool Execute(int port, CFile &record);
    // What Execute does before the dialog runs.
    void Begin(int port, CFile &record);
    // For the bus page's level buttons: a dialog of its own, shown once.
    static bool Show(QWidget *parent, int port, CFile &record);

    QCheckBox *SetAllPorts = nullptr;
    QGroupBox *Settings = nullptr;
    QRadioButton *Standard = nullptr;
    QComboBox *StandardList = nullptr;
    QRadioButton *UserDefine = nullptr;
    QSlider *Slider = nullptr;
    QLabel *MinLabel = nullptr;
    QLabel *MaxLabel = nullptr;
    QLabel *ValueLabel = nullptr;
    QPushButton *btn_OK = nullptr;
    QPushButton *btn_Cancel = nullptr;

public slots:
    void btn_OKClick();

private:
    void SliderChange(int code);

    CFile *record = nullptr;
    int port = 0;
    int model = 0;
};
