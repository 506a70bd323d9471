#pragma once

#include "protocols/WSPI_Core.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class CCaptureRecord;
class CFile;
class DecodeTableModel;
class ProtocolStrip;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableView;
class TRadioGroup;
class WSystem;

// The "SPI Protocol" page (TabSheet4): bus, line and text settings on the
// left; for MOSI and MISO side by side a statistics grid, a strip (SCK, SS
// and the line) and a packet grid. Start decodes the current capture with
// WSPI_Core; the grids are models over its rows. Texts come from the
// language file's [SPI] and [Common] sections when the page is built.
class WSPI : public QWidget
{
public:
    WSPI(QWidget *sheet, CFile &settings, WSystem &system, CCaptureRecord &record);
    ~WSPI() override;

    void Start();
    // Settings, controls and strips back to their defaults (strips: no data).
    void Defaults();
    void RefreshChannelLists();
    // Acquisition control's Stop: the enable boxes and both radio groups.
    void Enable();
    void CaptureArrived();
    // The packet rows of both lines, each row led by its line, as CSV text.
    std::string ExportText() const;
    void ExportClick();

    const WSPI_Core::Settings &DecoderSettings() const { return decoder; }
    const WSPI_Core::Result &Result() const { return result; }
    const ProtocolStrip &Strip(int line) const { return *halves[static_cast<size_t>(line)].Strip; }

    // One line's controls and results.
    struct Half
    {
        QGroupBox *Group = nullptr;
        QComboBox *Mode = nullptr;
        QComboBox *Channel = nullptr;
        QLineEdit *Bits = nullptr;
        QCheckBox *Enabled = nullptr;
        QTableView *StatisticsGrid = nullptr;
        QTableView *PacketGrid = nullptr;
        ProtocolStrip *Strip = nullptr;
        DecodeTableModel *Statistics = nullptr;
        DecodeTableModel *Packets = nullptr;
        // The width each grid column has grown to (it never shrinks).
        std::vector<int> StatisticsWidths, PacketWidths;
    };
    // The pixels a grid column gives each character of its widest cell
    // text: 5, or the grid font's digit where that is wider, so that no text
    // is cut (headers are measured in their font, at least 5 a character).
    static int PixelsPerCharacter(const QTableView &grid);
    std::array<Half, 2> halves;

    QComboBox *SPI_ComboBox_SCK = nullptr;
    QComboBox *SPI_ComboBox_DIR = nullptr;
    QComboBox *SPI_ComboBox_SS = nullptr;
    TRadioGroup *SPI_RadioGroup_SSLevel = nullptr;
    TRadioGroup *SPI_RadioGroup_Text = nullptr;
    QPushButton *SPI_Btn_Start = nullptr;
    QPushButton *SPI_Btn_Default = nullptr;
    QPushButton *SPI_Btn_Export = nullptr;

private:
    QWidget *BuildSettingsColumn();
    QWidget *BuildLineGroup(QWidget *parent, int line);
    QWidget *BuildHalf(QWidget *parent, int line);
    // Word bits kept in 1..28 with a message; an empty text becomes "1".
    void CheckBits(QLineEdit *edit);
    void ReadSettings();
    // Grows the columns of both grids of a line to their texts.
    void FitColumns(Half &half);

    CFile &file;
    WSystem &sys;
    CCaptureRecord &rec;
    WSPI_Core::Settings decoder;
    WSPI_Core::Result result;
    // The strips' codes before the first Start and after Default (no data).
    std::vector<uint8_t> noData;
    bool started = false;
};
