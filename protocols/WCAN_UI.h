#pragma once

#include "protocols/DecodeTable.h"
#include "protocols/ProtocolPageHost.h"
#include "protocols/WCAN_Core.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class DecodeTableModel;
class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

// The page "CAN Protocol" (the main window's tab sheet TabSheet6), built at
// run time: channel and bit-rate lists, the Extension Mode, Start, Default
// and Export, and the frame grid over the rows of a WCAN_Core made for each
// Start. Its texts come from the language file (section CAN; Start and
// Default from Common), read when the page is built. It reads the capture
// and reports through its host; `tab` says where it is shown.
class WCAN_UI : public QObject
{
    Q_OBJECT

public:
    WCAN_UI(ProtocolPageHost &host, const ProtocolPageTab &tab);

    QFrame *SettingsPanel = nullptr;
    QFrame *Splitter = nullptr;
    QGroupBox *ChannelGroup = nullptr;
    QLabel *ChannelLabel = nullptr;
    QComboBox *ChannelList = nullptr;
    QGroupBox *BaudRateGroup = nullptr;
    QLabel *BaudRateLabel = nullptr;
    QComboBox *BaudRateList = nullptr;
    QGroupBox *ExtensionMode = nullptr;
    QButtonGroup *ExtensionItems = nullptr;
    QPushButton *StartButton = nullptr;
    QPushButton *DefaultButton = nullptr;
    QPushButton *ExportButton = nullptr;
    QTableView *FrameGrid = nullptr;
    DecodeTableModel *Rows = nullptr;
    int ChannelIndex = 0; // remembered across rebuilds of the channel list

    // Names the file Export writes (the save dialog unless replaced).
    std::function<QString()> ChooseExportFile;

    // The rows of the last Start.
    const DecodeTable &Result() const { return frames; }
    // The rows (with a header row) as CSV text.
    std::string ExportText() const;

public slots:
    void CANButtonClick();
    void TabSheet6Show();
    void StartClick();
    void DefaultClick();
    void ExportClick();

private:
    void Build();
    // The column headers from the language file.
    std::vector<std::string> Headers() const;
    ProtocolPageHost &host;
    ProtocolPageTab tab;
    DecodeTable frames{WCAN_Core::ColumnCount};
};
