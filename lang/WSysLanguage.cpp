#include "lang/WSysLanguage.h"

#include "lang/CLanguageFile.h"
#include "lang/LanguageDefaults.h"

#include <iterator>

namespace {

struct Slot
{
    WSysLanguage::Id id;
    std::string_view section;
    std::string_view key;
};

// One row per text; the macro keeps each key name equal to its enumerator.
// clang-format off
#define SLOT(section, key) Slot{WSysLanguage::key, section, #key}
// clang-format on

constexpr Slot Slots[] = {
    SLOT("Interface", strButton1Caption),
    SLOT("Interface", strModeWaveform),
    SLOT("Interface", strModeList),
    SLOT("Interface", strI2CProtocol),
    SLOT("Interface", strSPIProtocol),
    SLOT("Interface", strUARTProtocol),
    SLOT("Interface", strCANProtocol),
    SLOT("Interface", strDivLabelCaption),
    SLOT("Interface", strMemoryDepthCaption1),
    SLOT("Interface", strMemoryDepthCaption2),
    SLOT("Interface", strBusSingle),
    SLOT("Interface", strTrigPattern),
    SLOT("Interface", strSampleNumber),
    SLOT("Interface", strTimer),
    SLOT("CursorMenu", strCursorMenuItem1),
    SLOT("WavefromMenu2", strWaveformMenu2Item1),
    SLOT("WavefromMenu2", strWaveformMenu2Item2),
    SLOT("WavefromMenu2", strWaveformMenu2Item3),
    SLOT("WavefromMenu2", strWaveformMenu2Item4),
    SLOT("WavefromMenu2", strWaveformMenu2Item5),
    SLOT("WavefromMenu2", strWaveformMenu2Item6),
    SLOT("WavefromMenu2", strWaveformMenu2Item7),
    SLOT("WavefromMenu2", strWaveformMenu2Item8),
    SLOT("WavefromMenu2", strWaveformMenu2Item9),
    SLOT("WavefromMenu2", strWaveformMenu2Item10),
    SLOT("WavefromMenu2", strWaveformMenu2Item11),
    SLOT("MainMenu", strFileMenu),
    SLOT("MainMenu", strViewMenu),
    SLOT("MainMenu", strRunMenu),
    SLOT("MainMenu", strSearchMenu),
    SLOT("MainMenu", strToolMenu),
    SLOT("MainMenu", strHelpMenu),
    SLOT("FileMenu", strFileMenuItem1),
    SLOT("FileMenu", strFileMenuItem2),
    SLOT("FileMenu", strFileMenuItem3),
    SLOT("FileMenu", strFileMenuItem4),
    SLOT("FileMenu", strFileMenuItem5),
    SLOT("FileMenu", strFileMenuItem6),
    SLOT("FileMenu", strFileMenuItem7),
    SLOT("FileMenu", strFileMenuItem8),
    SLOT("FileMenu", strFileMenuItem9),
    SLOT("ViewMenu", strViewMenuItem1),
    SLOT("ViewMenu", strViewMenuItem2),
    SLOT("ViewMenu", strViewMenuItem3),
    SLOT("ViewMenu", strViewMenuItem4),
    SLOT("ViewMenu", strViewMenuItem5),
    SLOT("Run/StopMenu", strRunMenuItem1),
    SLOT("Run/StopMenu", strRunMenuItem2),
    SLOT("Run/StopMenu", strRunMenuItem3),
    SLOT("Run/StopMenu", strRunMenuItem4),
    SLOT("Run/StopMenu", strRunMenuItem5),
    SLOT("Run/StopMenu", strRunMenuItem6),
    SLOT("SearchMenu", strSearchMenuItem1),
    SLOT("SearchMenu", strSearchMenuItem2),
    SLOT("SearchMenu", strSearchMenuItem3),
    SLOT("ToolMenu", strToolMenuItem1),
    SLOT("ToolMenu", strToolMenuItem2),
    SLOT("ToolMenu", strToolMenuItem3),
    SLOT("ToolMenu", strToolMenuItem4),
    SLOT("ToolMenu", strToolMenuItem5),
    SLOT("HelpMenu", strHelpMenuItem1),
    SLOT("HelpMenu", strHelpMenuItem2),
    SLOT("Hint", strLoadHint),
    SLOT("Hint", strSaveHint),
    SLOT("Hint", strCaptureHint),
    SLOT("Hint", strPrintHint),
    SLOT("Hint", strBusEditHint),
    SLOT("Hint", strTriggerEditHint),
    SLOT("Hint", strRunHint),
    SLOT("Hint", strSingleRunHint),
    SLOT("Hint", strStopHint),
    SLOT("Hint", strAutoScaleHint),
    SLOT("Hint", strAutoStoreHint),
    SLOT("Hint", strEraseHint),
    SLOT("Hint", strZoomInHint),
    SLOT("Hint", strZoomOutHint),
    SLOT("Hint", strAddHint),
    SLOT("Hint", strSetHint),
    SLOT("Hint", strSearchPreHint),
    SLOT("Hint", strSearchSetHint),
    SLOT("Hint", strSearchNextHint),
    SLOT("Hint", strGridHint),
    SLOT("Hint", strBWHint),
    SLOT("Hint", strHandShiftHint),
    SLOT("Hint", strI2CHint),
    SLOT("Hint", strSPIHint),
    SLOT("Hint", strUARTHint),
    SLOT("Hint", strCANHint),
    SLOT("WavefromMenu1", strWaveformMenu1Item1),
    SLOT("WavefromMenu1", strWaveformMenu1Item2),
    SLOT("WavefromMenu1", strWaveformMenu1Item3),
    SLOT("WavefromMenu1", strWaveformMenu1Item4),
    SLOT("WavefromMenu1", strWaveformMenu1Item5),
    SLOT("WavefromMenu1", strWaveformMenu1Item6),
    SLOT("WavefromMenu1", strWaveformMenu1Item7),
    SLOT("WavefromMenu1", strWaveformMenu1Item8),
    SLOT("WavefromMenu1", strWaveformMenu1Item9),
    SLOT("WavefromMenu1", strWaveformMenu1Item10),
    SLOT("WavefromMenu1", strWaveformMenu1Item11),
    SLOT("WarningString", strNoDeivce),
    SLOT("WarningString", strDeviceWrong),
    SLOT("WarningString", strLinkFail),
    SLOT("WarningString", strProcfail),
    SLOT("WarningString", strCmdfail),
    SLOT("WarningString", strCantOpenFile),
    SLOT("WarningString", strSelDevice),
    SLOT("WarningString", strNoSupport),
    SLOT("WarningString", strLanguageChange),
    SLOT("StatusBar", strSampleRate),
    SLOT("StatusBar", strClock),
    SLOT("StatusBar", strMemDepth),
    SLOT("StatusBar", strMemPercent),
};

#undef SLOT

constexpr bool SlotsInOrder()
{
    for (size_t i = 0; i < std::size(Slots); ++i)
        if (Slots[i].id != i)
            return false;
    return true;
}

static_assert(std::size(Slots) == WSysLanguage::Count && WSysLanguage::Count == 112);
static_assert(SlotsInOrder());

} // namespace

WSysLanguage::WSysLanguage()
{
    for (const Slot &s : Slots)
        texts[s.id] = std::string(LanguageDefaults::Text(s.section, s.key));
}

WSysLanguage::WSysLanguage(const std::string &languageFile)
{
    Load(languageFile);
}

void WSysLanguage::Load(const std::string &languageFile)
{
    const CLanguageFile file(languageFile);
    for (const Slot &s : Slots)
        texts[s.id] = file.ReadText(s.section, s.key);
}

std::string_view WSysLanguage::Section(Id id)
{
    return id < Count ? Slots[id].section : std::string_view();
}

std::string_view WSysLanguage::Key(Id id)
{
    return id < Count ? Slots[id].key : std::string_view();
}

std::string_view WSysLanguage::Default(Id id)
{
    return id < Count ? LanguageDefaults::Text(Slots[id].section, Slots[id].key)
                      : std::string_view();
}
