#pragma once

#include <QDialog>

class CEzUsb;
class QLabel;

// "About": the program version and, when an analyzer is connected, its model
// and BIOS version as the analyzer names them. The caller suspends its timers
// around Execute: reading the identity talks to the device.
class TForm3 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm3(QWidget *parent = nullptr);

    // Reads the identity of the analyzer behind `usb` (none: no analyzer)
    // and shows the dialog modally.
    void Execute(CEzUsb *usb);
    // The show step without the window: "None" lines, then the identity of
    // the connected analyzer, and the caption from the language file.
    void FormShow(CEzUsb *usb);

    QLabel *SoftwareVerLabel = nullptr;
    QLabel *ModelLabel = nullptr;
    QLabel *BIOS_Version = nullptr;
};
