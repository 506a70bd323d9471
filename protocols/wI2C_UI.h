#pragma once

#include "protocols/DecodeTable.h"
#include "protocols/WI2C_Analyzer.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class CCaptureRecord;
class CFile;
class DecodeTableModel;
class ProtocolStrip;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class TRadioGroup;
class WSystem;

// The "I2C Protocol" page (TabSheet3): SCL/SDA channels and decoding options
// on the left; the SCL/SDA strip, the address statistics and the packet grid
// on the right. Start decodes the current capture with WI2C_Analyzer; the
// grids are models over the decoder's rows. Texts come from the language
// file's [I2C] and [Common] sections when the page is built.
class wI2C_UI : public QWidget
{
public:
    wI2C_UI(QWidget *sheet, CFile &settings, WSystem &system, CCaptureRecord &record);
    ~wI2C_UI() override;

    void Start();
    void Defaults();
    // Rebuilds both channel lists with the current names; selections stay.
    void RefreshChannelLists();
    // A new capture was read out: a page that has results decodes it again.
    void CaptureArrived();
    // The packet rows (with a header row) as CSV text.
    std::string ExportText() const;
    void ExportClick();

    const WI2C_Analyzer::Settings &DecoderSettings() const { return decoder; }
    const WI2C_Analyzer::Result &Result() const { return result; }
    const ProtocolStrip &Strip() const { return *strip; }

    QComboBox *I2C_ComboBox_SCL = nullptr;
    QComboBox *I2C_ComboBox_SDA = nullptr;
    TRadioGroup *I2C_RadioGroup_Text = nullptr;
    QLineEdit *I2C_Edit_Addr = nullptr;
    QLineEdit *I2C_Edit_Data = nullptr;
    TRadioGroup *I2C_RadioGroup_Read = nullptr;
    TRadioGroup *I2C_RadioGroup_Ack = nullptr;
    QPushButton *I2C_Btn_Default = nullptr;
    QPushButton *I2C_Btn_Start = nullptr;
    QPushButton *I2C_Btn_Export = nullptr;
    QTableView *I2C_AddressGrid = nullptr;
    QTableView *I2C_DataGrid = nullptr;

private:
    QWidget *BuildSettingsColumn();
    QWidget *BuildResults();
    // A bit-count edit changed: values outside 1..MaxBits are put back in
    // range with a message; an empty text is left for the next Start.
    void CheckBits(QLineEdit *edit);
    // Settings from the controls, in the page's order; an edit without a
    // number stops the reading there.
    void ReadSettings();
    void ShowStrips();

    CFile &file;
    WSystem &sys;
    CCaptureRecord &rec;
    WI2C_Analyzer::Settings decoder;
    WI2C_Analyzer::Result result;
    DecodeTable addresses{WI2C_Analyzer::AddressColumns}; // shown until a run emits packets
    std::vector<uint8_t> sclTrace, sdaTrace;
    ProtocolStrip *strip = nullptr;
    DecodeTableModel *packetModel = nullptr;
    DecodeTableModel *addressModel = nullptr;
    bool started = false;
};
