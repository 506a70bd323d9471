#pragma once

#include "protocols/DecodeTable.h"
#include "protocols/ProtocolPageHost.h"
#include "protocols/WUART.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class DecodeTableModel;

// The page "UART Decoder" (the main window's tab Tab_UART): the decoder's
// settings, Start, Default and Export, and the frame grid UART_DataGrid
// over the decoder's rows. Its texts are fixed English. Controls carry their
// names as object names; the handlers are named after them. It reads the
// capture and reports through its host; `tab` says where it is shown.
class UARTPage : public QObject
{
    Q_OBJECT

public:
    UARTPage(ProtocolPageHost &host, const ProtocolPageTab &tab);

    QGroupBox *UART_ChannelSetting = nullptr;
    QLabel *UART_Str_ChnnelSelect = nullptr;
    QComboBox *UART_ComboBox_Channel = nullptr;
    QGroupBox *UART_DataFormat = nullptr;
    QComboBox *UART_ComboBox_Baudrate = nullptr;
    // The rate of the list's last entry, "Custom": a whole number of baud,
    // editable while "Custom" is chosen.
    QLineEdit *UART_Edit_CustomBaud = nullptr;
    QComboBox *UART_ComboBox_Databit = nullptr;
    QComboBox *UART_ComboBox_Paritybit = nullptr;
    QComboBox *UART_ComboBox_Stopbit = nullptr;
    QGroupBox *UART_DataDir = nullptr;
    QGroupBox *UART_DataSource = nullptr;
    QGroupBox *UART_TextMode = nullptr;
    QButtonGroup *DataDirItems = nullptr;
    QButtonGroup *DataSourceItems = nullptr;
    QButtonGroup *TextModeItems = nullptr;
    QPushButton *UART_Start = nullptr;
    QPushButton *UART_Default = nullptr;
    QPushButton *UART_Export = nullptr;
    QTableView *UART_DataGrid = nullptr;
    DecodeTableModel *Rows = nullptr;

    WUART Decoder;
    // Names the file Export writes (the save dialog unless replaced).
    std::function<QString()> ChooseExportFile;

    // The rows of the last Start.
    const DecodeTable &Result() const { return frames; }
    // The rows (with a header row) as CSV text.
    std::string ExportText() const;

public slots:
    void UARTButtonClick();
    void Tab_UARTShow();
    void UART_ComboBox_DatabitChange();
    void UART_ComboBox_ParitybitChange();
    void UART_ComboBox_BaudrateChange();
    void UART_DefaultClick();
    void UART_StartClick();
    void UART_ExportClick();

private:
    void Build();
    ProtocolPageHost &host;
    ProtocolPageTab tab;
    DecodeTable frames{WUART::ColumnCount};
};
