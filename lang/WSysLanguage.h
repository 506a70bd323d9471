#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The main window's texts: menus, pop-up menus, tool-button hints, page and
// label captions, status-bar texts and its messages. Loaded once at start-up
// from the active language file; a missing file or key keeps the built-in
// English text. Indexed by the key names of the language files.
class WSysLanguage
{
public:
    enum Id : uint8_t {
        // [Interface]
        strButton1Caption,
        strModeWaveform,
        strModeList,
        strI2CProtocol,
        strSPIProtocol,
        strUARTProtocol,
        strCANProtocol,
        strDivLabelCaption,
        strMemoryDepthCaption1,
        strMemoryDepthCaption2,
        strBusSingle,
        strTrigPattern,
        strSampleNumber,
        strTimer,
        // [CursorMenu]
        strCursorMenuItem1,
        // [WavefromMenu2]
        strWaveformMenu2Item1,
        strWaveformMenu2Item2,
        strWaveformMenu2Item3,
        strWaveformMenu2Item4,
        strWaveformMenu2Item5,
        strWaveformMenu2Item6,
        strWaveformMenu2Item7,
        strWaveformMenu2Item8,
        strWaveformMenu2Item9,
        strWaveformMenu2Item10,
        strWaveformMenu2Item11,
        // [MainMenu]
        strFileMenu,
        strViewMenu,
        strRunMenu,
        strSearchMenu,
        strToolMenu,
        strHelpMenu,
        // [FileMenu]
        strFileMenuItem1,
        strFileMenuItem2,
        strFileMenuItem3,
        strFileMenuItem4,
        strFileMenuItem5,
        strFileMenuItem6,
        strFileMenuItem7,
        strFileMenuItem8,
        strFileMenuItem9,
        // [ViewMenu]
        strViewMenuItem1,
        strViewMenuItem2,
        strViewMenuItem3,
        strViewMenuItem4,
        strViewMenuItem5,
        // [Run/StopMenu]
        strRunMenuItem1,
        strRunMenuItem2,
        strRunMenuItem3,
        strRunMenuItem4,
        strRunMenuItem5,
        strRunMenuItem6,
        // [SearchMenu]
        strSearchMenuItem1,
        strSearchMenuItem2,
        strSearchMenuItem3,
        // [ToolMenu]
        strToolMenuItem1,
        strToolMenuItem2,
        strToolMenuItem3,
        strToolMenuItem4,
        strToolMenuItem5,
        // [HelpMenu]
        strHelpMenuItem1,
        strHelpMenuItem2,
        // [Hint]
        strLoadHint,
        strSaveHint,
        strCaptureHint,
        strPrintHint,
        strBusEditHint,
        strTriggerEditHint,
        strRunHint,
        strSingleRunHint,
        strStopHint,
        strAutoScaleHint,
        strAutoStoreHint,
        strEraseHint,
        strZoomInHint,
        strZoomOutHint,
        strAddHint,
        strSetHint,
        strSearchPreHint,
        strSearchSetHint,
        strSearchNextHint,
        strGridHint,
        strBWHint,
        strHandShiftHint,
        strI2CHint,
        strSPIHint,
        strUARTHint,
        strCANHint,
        // [WavefromMenu1]
        strWaveformMenu1Item1,
        strWaveformMenu1Item2,
        strWaveformMenu1Item3,
        strWaveformMenu1Item4,
        strWaveformMenu1Item5,
        strWaveformMenu1Item6,
        strWaveformMenu1Item7,
        strWaveformMenu1Item8,
        strWaveformMenu1Item9,
        strWaveformMenu1Item10,
        strWaveformMenu1Item11,
        // [WarningString]
        strNoDeivce,
        strDeviceWrong,
        strLinkFail,
        strProcfail,
        strCmdfail,
        strCantOpenFile,
        strSelDevice,
        strNoSupport,
        strLanguageChange,
        // [StatusBar]
        strSampleRate,
        strClock,
        strMemDepth,
        strMemPercent,
        Count
    };

    // Every text at its built-in English value.
    WSysLanguage();
    // Load(languageFile).
    explicit WSysLanguage(const std::string &languageFile);

    // Reads all texts from the file (full path); each missing key, or a
    // missing file, gives the built-in text.
    void Load(const std::string &languageFile);

    const std::string &Text(Id id) const { return texts[id]; }
    const std::string &operator[](Id id) const { return texts[id]; }

    static std::string_view Section(Id id);
    static std::string_view Key(Id id);
    static std::string_view Default(Id id);

private:
    std::array<std::string, Count> texts;
};
