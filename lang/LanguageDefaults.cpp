#include "lang/LanguageDefaults.h"

#include <iterator>

namespace {

using Entry = LanguageDefaults::Entry;
using Variant = LanguageDefaults::Variant;

// Section and key names are the files' own, misspellings included
// ("WavefromMenu1", "strNoDeivce"): existing language files use them.
constexpr Entry Table[] = {
    // [Common]
    {"Common", "strCancelBtnCaption", "Cancel"},
    {"Common", "strOKBtnCaption", "OK"},
    {"Common", "strON", "ON"},
    {"Common", "strOFF", "OFF"},
    {"Common", "strAddBtnCaption", "Add"},
    {"Common", "strDeleteBtnCaption", "Delete"},
    {"Common", "strClearAllCaption", "Clear All"},
    {"Common", "strStartBtnCaption", "Start"},
    {"Common", "strDefaultBtnCaption", "Default"},
    // [Keyboard]
    {"Keyboard", "strFormCaption", "Name"},
    // [Bus/TriggerEdit]
    {"Bus/TriggerEdit", "strRadioGroupCaption", "Continuous"},
    {"Bus/TriggerEdit", "strTrigCounterCaption", "Trig Counter"},
    {"Bus/TriggerEdit", "strHint1", "The value limit is between 1 to 255."},
    {"Bus/TriggerEdit", "strTriggerModeCaption", "Trigger Mode"},
    {"Bus/TriggerEdit", "strInternal", "Internal"},
    {"Bus/TriggerEdit", "strExternal", "External"},
    {"Bus/TriggerEdit", "strInfo_Warning1", "Data format error.Data will not be saved."},
    {"Bus/TriggerEdit", "strInfo_Warning2", "Out of limit. The maximum is 255."},
    {"Bus/TriggerEdit", "strInfo_Warning3", "Out of limit. The minimum is 1."},
    {"Bus/TriggerEdit", "strTimes", "Times"},
    {"Bus/TriggerEdit", "strEraseBtnCaption", "Erase"},
    {"Bus/TriggerEdit", "strFormCaption", "Advance Setting"},
    {"Bus/TriggerEdit", "strTabSheet1", "Adv Bus"},
    {"Bus/TriggerEdit", "strTabSheet2", "Adv Trigger"},
    {"Bus/TriggerEdit", "strWarning1",
     "The channel31 is fixed to \"Don't Care\" while using external clock in."},
    {"Bus/TriggerEdit", "strGrid_Low", "Low"},
    {"Bus/TriggerEdit", "strGrid_High", "High"},
    {"Bus/TriggerEdit", "strGrid_DontCare", "Don't Care"},
    {"Bus/TriggerEdit", "strGrid_Raising", "Raising"},
    {"Bus/TriggerEdit", "strGrid_Falling", "Falling"},
    {"Bus/TriggerEdit", "strGrid_All", "All"},
    {"Bus/TriggerEdit", "strGrid_Pat1", "Pattern 1"},
    {"Bus/TriggerEdit", "strGrid_Pat2", "Pattern 2"},
    {"Bus/TriggerEdit", "strGrid_Pat3", "Pattern 3"},
    {"Bus/TriggerEdit", "strGrid_PatOR", "Pattern OR"},
    {"Bus/TriggerEdit", "strGrid_Port", "Port "},
    {"Bus/TriggerEdit", "strGrid_L", "L"},
    {"Bus/TriggerEdit", "strGrid_H", "H"},
    {"Bus/TriggerEdit", "strGrid_R", "R"},
    {"Bus/TriggerEdit", "strGrid_F", "F"},
    {"Bus/TriggerEdit", "strBus_Name", "Name"},
    {"Bus/TriggerEdit", "strBus_Mode", "Mode"},
    {"Bus/TriggerEdit", "strBus_Bits", "Bits"},
    {"Bus/TriggerEdit", "strBus_Port", "Port "},
    {"Bus/TriggerEdit", "strBus_Auto", "Auto"},
    {"Bus/TriggerEdit", "strBus_User", "User"},
    {"Bus/TriggerEdit", "strBus_None", "None"},
    {"Bus/TriggerEdit", "strBus_Volt1", "Volt 1 : "},
    {"Bus/TriggerEdit", "strBus_Volt2", "Volt 2 : "},
    {"Bus/TriggerEdit", "strBus_Volt3", "Volt 3 : "},
    {"Bus/TriggerEdit", "strBus_Volt4", "Volt 4 : "},
    // [Interface]
    {"Interface", "strButton1Caption", "Delay"},
    {"Interface", "strModeWaveform", "Waveform"},
    {"Interface", "strModeList", "Listing"},
    {"Interface", "strI2CProtocol", "I2C Protocol"},
    {"Interface", "strSPIProtocol", "SPI Protocol"},
    {"Interface", "strUARTProtocol", "UART Protocol"},
    {"Interface", "strCANProtocol", "CAN Protocol"},
    {"Interface", "strDivLabelCaption", "DIV"},
    {"Interface", "strMemoryDepthCaption1", "Memory Depth"},
    {"Interface", "strMemoryDepthCaption2", "(Per Channel)"},
    {"Interface", "strBusSingle", "Bus/Signal"},
    {"Interface", "strTrigPattern", "Trigger Pattern"},
    {"Interface", "strSampleNumber", "Sample Number"},
    {"Interface", "strTimer", "Timer"},
    // [Printer]
    {"Printer", "strRadioGroupCaption", "Orientation"},
    {"Printer", "strPortrait", "Portrait"},
    {"Printer", "strLandscape", "Landscape"},
    {"Printer", "strPrinter", "Printer"},
    {"Printer", "strSetup", "Setup"},
    {"Printer", "strPrint", "Print"},
    // [SetVoltage]
    {"SetVoltage", "strFormLevelCaption", "Logic Level Setting"},
    {"SetVoltage", "strSetAllPort", "Set the setting to all ports"},
    {"SetVoltage", "strUserDefine", "User define"},
    {"SetVoltage", "strStandard", "Standard"},
    {"SetVoltage", "strSetting", "Settings"},
    {"SetVoltage", "strHint1",
     "When you select this seletion,the setting will be setted to all ports."},
    // [Report]
    {"Report", "strTo", "To"},
    // [CursorMenu]
    {"CursorMenu", "strCursorSet", "Cursor Set"},
    {"CursorMenu", "strFormCaption", "Goto cursor setting"},
    {"CursorMenu", "strCursorMenuItem1", "Delete"},
    // [Capture]
    {"Capture", "strCap_Capture", "Capture"},
    {"Capture", "strCap_Comment", "Comments"},
    // [FileSystem]
    {"FileSystem", "strOverWrite", "Overwrite?"},
    {"FileSystem", "strFileWarning1",
     "The file has already existed.Are you sure overwrite this file?"},
    {"FileSystem", "strFileWarning2", "Are you sure you want to overwrite the settings?"},
    {"FileSystem", "strFileWarning3", "Can't not get data from device."},
    {"FileSystem", "strFileWarning4", "Tracemoor is busy."},
    {"FileSystem", "strFileWarning5", "Tracemoor is not linking."},
    {"FileSystem", "strFileWarning6", "Can't not get data from device."},
    {"FileSystem", "strFileWarning7", "Data import succeed."},
    {"FileSystem", "strFileWarning8", "Can't not export to device."},
    {"FileSystem", "strFileWarning9", "Data export succeed."},
    {"FileSystem", "strFileWarning10", "This is not a valid project file."},
    {"FileSystem", "strFileWarning11",
     "The file could not be written; an older file of that name is unchanged."},
    // [About]
    {"About", "strAboutFormCaption", "About"},
    // [WavefromMenu2]
    {"WavefromMenu2", "strWaveformMenu2Item1", "GOTO..."},
    {"WavefromMenu2", "strWaveformMenu2Item2", "Search..."},
    {"WavefromMenu2", "strWaveformMenu2Item3", "Advanced Trigger"},
    {"WavefromMenu2", "strWaveformMenu2Item4", "Advanced Bus"},
    {"WavefromMenu2", "strWaveformMenu2Item5", "GOTO Cursor"},
    {"WavefromMenu2", "strWaveformMenu2Item6", "GOTO Trigger"},
    {"WavefromMenu2", "strWaveformMenu2Item7", "GOTO Begin"},
    {"WavefromMenu2", "strWaveformMenu2Item8", "GOTO End"},
    {"WavefromMenu2", "strWaveformMenu2Item9", "Search Previous"},
    {"WavefromMenu2", "strWaveformMenu2Item10", "Search Setting"},
    {"WavefromMenu2", "strWaveformMenu2Item11", "Search Next"},
    // [SelectDevice]
    {"SelectDevice", "strOverwrite", "Overwrite"},
    {"SelectDevice", "strWarning1", "Load the last used file?"},
    {"SelectDevice", "strCaption", "Model Selection"},
    // [DataSearch]
    {"DataSearch", "strChannel", "Channel"},
    {"DataSearch", "strName", "Name"},
    {"DataSearch", "strGridCell0_0", "Channel/Bus"},
    {"DataSearch", "strGridCell1_0", "Name"},
    {"DataSearch", "strGridCell2_0", "Data"},
    {"DataSearch", "strDataSearch", "DataSearch"},
    {"DataSearch", "strWarning1", "Warning! Need a value for search."},
    {"DataSearch", "strWarning2", "Data format error."},
    {"DataSearch", "strWarning3", "Out of limit.The maximum is"},
    {"DataSearch", "strValueMax", "Maximum of data is "},
    {"DataSearch", "strFalling", "Falling"},
    {"DataSearch", "strRaising", "Raising"},
    {"DataSearch", "strActive", "Active"},
    {"DataSearch", "strMode", "Mode"},
    {"DataSearch", "strData", "Data "},
    {"DataSearch", "strMaxValue", "Maximum of data is "},
    {"DataSearch", "strDataEdit", "Data Edit"},
    // [SPI]
    {"SPI", "strBUSGroupCaption", "Bus Setting"},
    {"SPI", "strOutPutGroupCaption", "Enable"},
    {"SPI", "strMOSIGroupCaption", "MOSI Setting"},
    {"SPI", "strMISOGroupCaption", "MISO Setting"},
    {"SPI", "strTextGroupCaption", "Text Mode"},
    {"SPI", "strDirLabelCaption", "DIR"},
    {"SPI", "strSSGroupCaption", "SS Level"},
    {"SPI", "strLowLevelCaption", "Low"},
    {"SPI", "strHighLevelCaption", "High"},
    {"SPI", "strModeLabelCaption", "Mode"},
    {"SPI", "strChannelLabelCaption", "Channel"},
    {"SPI", "strBitsLabelCaption", "Bits"},
    {"SPI", "strWarningString1", "Out of limit. The minimum is 1."},
    {"SPI", "strWarningString2", "Out of limit. The maximum is 28."},
    {"SPI", "strDIR_Sel1", "MSB -> LSB"},
    {"SPI", "strDIR_Sel2", "LSB -> MSB"},
    {"SPI", "strMode_Sel1", "CPOL=0 , CPHA=0"},
    {"SPI", "strMode_Sel2", "CPOL=0 , CPHA=1"},
    {"SPI", "strMode_Sel3", "CPOL=1 , CPHA=0"},
    {"SPI", "strMode_Sel4", "CPOL=1 , CPHA=1"},
    {"SPI", "strMode_Sel5", "Raising"},
    {"SPI", "strMode_Sel6", "Falling"},
    {"SPI", "strSPIGrid1_1", "Min MSG. Time"},
    {"SPI", "strSPIGrid1_2", "Max MSG. Time"},
    {"SPI", "strSPIGrid1_3", "Avg MSG. Time"},
    {"SPI", "strSPIGrid1_4", "Min Idle. Time"},
    {"SPI", "strSPIGrid1_5", "Max Idle. Time"},
    {"SPI", "strSPIGrid1_6", "Avg Idle. Time"},
    {"SPI", "strSPIGrid1_7", "Min Package Length"},
    {"SPI", "strSPIGrid1_8", "Max Package Length"},
    {"SPI", "strSPIGrid1_9", "Min Package Length"},
    {"SPI", "strSPIGrid1_10", "Min Error-Bit"},
    {"SPI", "strSPIGrid1_11", "Max Error-Bit"},
    {"SPI", "strSPIGrid1_12", "Total Error-Bit"},
    {"SPI", "strSPIGrid2_1", "Paquet"},
    {"SPI", "strSPIGrid2_2", "Bit d'drreur"},
    {"SPI", "strSPIGrid2_3", "Longueur"},
    // Older builds held a broken byte sequence here instead of the word.
    {"SPI", "strSPIGrid2_4", "Données"},
    {"SPI", "strSPIGrid2_5", "Msg. Time"},
    {"SPI", "strSPIGrid2_6", "Abs. Time"},
    {"SPI", "strSPIGrid2_7", "Idle. Time"},
    {"SPI", "strExportBtnCaption", "Export"},
    // [I2C]
    {"I2C", "strChannelGroupCaption", "Bus Setting"},
    {"I2C", "strModeGroupCaption", "Text Mode"},
    {"I2C", "strDataGroupCaption", "Data format"},
    {"I2C", "strAddrLabelCaption", "Addr"},
    {"I2C", "strDataLabelCaption", "Data"},
    {"I2C", "strRWGroupCaption", "Read Bit"},
    {"I2C", "strAckGroupCaption", "ACK Bit"},
    {"I2C", "strLowLevelCaption", "Low Level"},
    {"I2C", "strHighLevelCaption", "High Level"},
    {"I2C", "strAddress", "Address"},
    {"I2C", "strTimes", "Times"},
    {"I2C", "strAvgTime", "Avg. Time"},
    {"I2C", "strRead", "Read"},
    {"I2C", "strWrite", "Write"},
    {"I2C", "strPackage", "Packet"},
    {"I2C", "strStatus", "Status"},
    {"I2C", "strMsgTime", "Msg. Time"},
    {"I2C", "strIdleTime", "Idle Time"},
    {"I2C", "strDir", "Dir"},
    {"I2C", "strLength", "Length"},
    {"I2C", "strData", "Data"},
    {"I2C", "strWarningString1", "Out of limit. The minimum is 1."},
    {"I2C", "strWarningString2", "Out of limit. The maximum is 32."},
    {"I2C", "strExportBtnCaption", "Export"},
    // [CAN]
    {"CAN", "strChannelSetGroupCaption", "Channel Setting"},
    {"CAN", "strChannelSelectLabel1", "Dominant High"},
    {"CAN", "strChannelSelectLabel2", "Dominant Low"},
    {"CAN", "strBaudRateSetGroupCaption", "BaudRate Setting"},
    {"CAN", "strBaudRateSelectLabel", "BaudRate"},
    {"CAN", "strStartBitSetGroupCaption", "Start Bit"},
    {"CAN", "strStartBitItem1", "Start by bit 111"},
    {"CAN", "strStartBitItem2", "Start by0 bit 0"},
    {"CAN", "strExtensionGroupCaption", "Extension Mode"},
    {"CAN", "strExtensionItem1", "Hide"},
    {"CAN", "strExtensionItem2", "Dispaly"},
    {"CAN", "strArbitration", "BasicID"},
    {"CAN", "strExtensionID", "ExtendedID"},
    {"CAN", "strRTR", "RTR"},
    {"CAN", "strIDE", "IDE"},
    {"CAN", "strControlField", "Ctrl Field"},
    {"CAN", "strData", "Data"},
    {"CAN", "strCRC", "CRC"},
    {"CAN", "strACK", "ACK"},
    {"CAN", "strStatus", "Status"},
    // [UART] (the program's own: the UART page's settings, with the texts it
    // always showed)
    {"UART", "strChannelSetting", "Channel Setting"},
    {"UART", "strChnnelSelect", "Chnnel"},
    {"UART", "strDataFormat", "Data Formate"},
    {"UART", "strBaudRate", "Baud rate"},
    {"UART", "strDataBit", "Data bit"},
    {"UART", "strParityBit", "Parity bit"},
    {"UART", "strStopBit", "Stop bit"},
    // [MainMenu]
    {"MainMenu", "strFileMenu", "File"},
    {"MainMenu", "strViewMenu", "View"},
    {"MainMenu", "strRunMenu", "Run/Stop"},
    {"MainMenu", "strSearchMenu", "Search"},
    {"MainMenu", "strToolMenu", "Tool"},
    {"MainMenu", "strHelpMenu", "Help"},
    // [FileMenu]
    {"FileMenu", "strFileMenuItem1", "Load"},
    {"FileMenu", "strFileMenuItem2", "Save"},
    {"FileMenu", "strFileMenuItem3", "ChangeModel"},
    {"FileMenu", "strFileMenuItem4", "Import"},
    {"FileMenu", "strFileMenuItem5", "Export"},
    {"FileMenu", "strFileMenuItem6", "Capture"},
    {"FileMenu", "strFileMenuItem7", "Report"},
    {"FileMenu", "strFileMenuItem8", "Print..."},
    {"FileMenu", "strFileMenuItem9", "Exit"},
    // [ViewMenu]
    {"ViewMenu", "strViewMenuItem1", "HandShift"},
    {"ViewMenu", "strViewMenuItem2", "Zoom In"},
    {"ViewMenu", "strViewMenuItem3", "Zoom Out"},
    {"ViewMenu", "strViewMenuItem4", "Grid Style"},
    {"ViewMenu", "strViewMenuItem5", "B/W"},
    // [Run/StopMenu]
    {"Run/StopMenu", "strRunMenuItem1", "Auto Scale"},
    {"Run/StopMenu", "strRunMenuItem2", "Run"},
    {"Run/StopMenu", "strRunMenuItem3", "Single Run"},
    {"Run/StopMenu", "strRunMenuItem4", "Auto Store"},
    {"Run/StopMenu", "strRunMenuItem5", "Erase"},
    {"Run/StopMenu", "strRunMenuItem6", "Stop"},
    // [SearchMenu]
    {"SearchMenu", "strSearchMenuItem1", "Search Setting"},
    {"SearchMenu", "strSearchMenuItem2", "Search Previous"},
    {"SearchMenu", "strSearchMenuItem3", "Search Next"},
    // [ToolMenu]
    {"ToolMenu", "strToolMenuItem1", "Trigger Edit"},
    {"ToolMenu", "strToolMenuItem2", "Channel/Bus Edit"},
    {"ToolMenu", "strToolMenuItem3", "GOTO Cursor"},
    {"ToolMenu", "strToolMenuItem4", "Protocol"},
    {"ToolMenu", "strToolMenuItem5", "Language"},
    // [HelpMenu]
    {"HelpMenu", "strHelpMenuItem1", "Default"},
    {"HelpMenu", "strHelpMenuItem2", "About..."},
    // [Hint]
    {"Hint", "strLoadHint", "Load"},
    {"Hint", "strSaveHint", "Save"},
    {"Hint", "strCaptureHint", "Capture"},
    {"Hint", "strPrintHint", "Print"},
    {"Hint", "strBusEditHint", "Bus"},
    {"Hint", "strTriggerEditHint", "Trigger"},
    {"Hint", "strRunHint", "Run"},
    {"Hint", "strSingleRunHint", "SingleRun"},
    {"Hint", "strStopHint", "Stop"},
    {"Hint", "strAutoScaleHint", "AutoScale"},
    {"Hint", "strAutoStoreHint", "AutoStore"},
    {"Hint", "strEraseHint", "Erase"},
    {"Hint", "strZoomInHint", "ZoomIn"},
    {"Hint", "strZoomOutHint", "ZoomOut"},
    {"Hint", "strAddHint", "Add Cursor"},
    {"Hint", "strSetHint", "Creat Cursor State"},
    {"Hint", "strSearchPreHint", "Search Previous"},
    {"Hint", "strSearchSetHint", "Search Setting"},
    {"Hint", "strSearchNextHint", "Search Next"},
    {"Hint", "strGridHint", "Grid Style"},
    {"Hint", "strBWHint", "Backgroud Style"},
    {"Hint", "strHandShiftHint", "HandShift"},
    {"Hint", "strI2CHint", "I2C Protocol"},
    {"Hint", "strSPIHint", "SPI Protocol"},
    {"Hint", "strUARTHint", "UART Protocol"},
    {"Hint", "strCANHint", "CAN Protocol"},
    // [WavefromMenu1]
    {"WavefromMenu1", "strWaveformMenu1Item1", "Low"},
    {"WavefromMenu1", "strWaveformMenu1Item2", "High"},
    {"WavefromMenu1", "strWaveformMenu1Item3", "Don't Care"},
    {"WavefromMenu1", "strWaveformMenu1Item4", "Raising"},
    {"WavefromMenu1", "strWaveformMenu1Item5", "Falling"},
    {"WavefromMenu1", "strWaveformMenu1Item6", "Advanced Trigger"},
    {"WavefromMenu1", "strWaveformMenu1Item7", "Pattern"},
    // The arrows were Big5 characters in the 8-bit files; UTF-8 now.
    {"WavefromMenu1", "strWaveformMenu1Item8", "OR Pattern ↑"},
    {"WavefromMenu1", "strWaveformMenu1Item9", "OR Pattern ↓"},
    {"WavefromMenu1", "strWaveformMenu1Item10", "↑"},
    {"WavefromMenu1", "strWaveformMenu1Item11", "↓"},
    // [WarningString]
    {"WarningString", "strNoDeivce", "No device connected."},
    {"WarningString", "strDeviceWrong", "Version is wrong."},
    {"WarningString", "strLinkFail", "Linking fail."},
    {"WarningString", "strProcfail", "Processing fail."},
    {"WarningString", "strCmdfail", "Command fail."},
    {"WarningString", "strCantOpenFile", "Can't open file."},
    {"WarningString", "strSelDevice", "Select Device."},
    {"WarningString", "strNoSupport", "This function is not supported PC-Base Logic Analyzer."},
    {"WarningString", "strLanguageChange", "Please restart Tracemoor."},
    {"WarningString", "strEmptyList",
     "The signal list is empty, so a capture would show nothing. List every channel?"},
    // [StatusBar]
    {"StatusBar", "strSampleRate", "Sample Rate : "},
    {"StatusBar", "strClock", "CK: Ext"},
    {"StatusBar", "strMemDepth", "Memory Depth : "},
    {"StatusBar", "strMemPercent", "Memory Percent : "},
};

static_assert(std::size(Table) == LanguageDefaults::Count);

constexpr Variant Variants[] = {
    // The goto-cursor dialog labels its list with the waveform menu's "GOTO..."
    // key but has always fallen back to the pattern text.
    {"TForm4", "WavefromMenu2", "strWaveformMenu2Item1", "Low"},
    {"Tform_DataEdit", "DataSearch", "strWarning1", "Warning! Need a value for search"},
    {"Tform_DataEdit", "DataSearch", "strWarning2", "Data format error"},
};

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool LanguageDefaults::SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

std::span<const LanguageDefaults::Entry> LanguageDefaults::Entries()
{
    return Table;
}

std::span<const LanguageDefaults::Variant> LanguageDefaults::Variants()
{
    return ::Variants;
}

const LanguageDefaults::Entry *LanguageDefaults::Find(std::string_view section,
                                                      std::string_view key)
{
    for (const Entry &e : Table)
        if (SameName(e.Key, key) && SameName(e.Section, section))
            return &e;
    return nullptr;
}

std::string_view LanguageDefaults::Text(std::string_view section, std::string_view key)
{
    const Entry *e = Find(section, key);
    return e ? e->Text : std::string_view();
}

std::string_view LanguageDefaults::Text(std::string_view reader, std::string_view section,
                                        std::string_view key)
{
    for (const Variant &v : ::Variants)
        if (v.Reader == reader && SameName(v.Key, key) && SameName(v.Section, section))
            return v.Text;
    return Text(section, key);
}
