#include "analyzer/PatternPopup.h"

#include "device/CFile.h"

#include <algorithm>

namespace {

int ChannelsOf(int channelCount)
{
    return std::clamp(channelCount, 0, CFile::MaxChannels);
}

} // namespace

int PatternPopup::PatternRow(int triggerType)
{
    const int t = CFile::EffectiveTriggerType(triggerType);
    if (t < 1 || t > CFile::PatternRows)
        return -1;
    return t - 1;
}

std::vector<PatternPopup::Item> PatternPopup::Items(int signal, int channelCount, int rowCount,
                                                    int triggerType)
{
    std::vector<Item> items;
    if (signal < 0 || signal >= rowCount)
        return items;
    const int t = CFile::EffectiveTriggerType(triggerType);
    if (signal < channelCount) {
        using L = WSysLanguage;
        const bool pulse = t == PulseWidthType;
        const bool noEdges = t == 2 || t == 3 || pulse;
        items = {
            {Action::Low, true, L::strWaveformMenu1Item1, "Low", !pulse, NoParent},
            {Action::High, true, L::strWaveformMenu1Item2, "High", !pulse, NoParent},
            {Action::DontCare, true, L::strWaveformMenu1Item3, "Don't Care", !pulse, NoParent},
            {Action::Raising, true, L::strWaveformMenu1Item4, "Raising", !noEdges, NoParent},
            {Action::Falling, true, L::strWaveformMenu1Item5, "Falling", !noEdges, NoParent},
            {Action::AdvancedTrigger, true, L::strWaveformMenu1Item6, "Advanced Trigger", true,
             NoParent},
        };
        // Any other trigger type has no pattern row to edit.
        if (PatternRow(t) < 0 && !pulse) {
            for (int k = 0; k < 5; ++k)
                items[static_cast<size_t>(k)].Enabled = false;
        }
        return items;
    }
    items = {
        {Action::BaseMode, false, {}, "Base Mode...", true, NoParent},
        {Action::Hexadecimal, false, {}, "Hexadecimal", true, 0},
        {Action::Decimal, false, {}, "Decimal", true, 0},
        {Action::Binary, false, {}, "Binary", true, 0},
        {Action::AdvancedTrigger, false, {}, "Advanced Trigger", true, NoParent},
    };
    return items;
}

PatternPopup::Outcome PatternPopup::Apply(CFile &settings, Action action, int signal,
                                          int channelCount, int rowCount, bool listingPage)
{
    Outcome out;
    const std::vector<Item> items = Items(signal, channelCount, rowCount, settings.TriggerType);
    const bool offered = std::any_of(items.begin(), items.end(), [action](const Item &i) {
        return i.Id == action && i.Enabled && action != Action::BaseMode;
    });
    if (!offered)
        return out;

    switch (action) {
    case Action::AdvancedTrigger:
        out.OpenAdvancedTrigger = true;
        return out;
    case Action::Hexadecimal:
    case Action::Decimal:
    case Action::Binary: {
        out.DisplayBase = action == Action::Hexadecimal ? 0 : action == Action::Decimal ? 1 : 2;
        const int bus = signal - channelCount;
        if (listingPage && bus >= 0 && bus < CFile::MaxChannels)
            settings.BusEntry[static_cast<size_t>(bus)].DisplayFormat =
                static_cast<uint16_t>(out.DisplayBase);
        return out;
    }
    default:
        break;
    }

    const int row = PatternRow(settings.TriggerType);
    if (row < 0 || signal >= CFile::MaxChannels)
        return out;
    auto &pattern = settings.TriggerCondition[static_cast<size_t>(row)];
    auto &cell = pattern[static_cast<size_t>(signal)];
    switch (action) {
    case Action::Low:
        cell = CFile::CondLow;
        break;
    case Action::High:
        cell = CFile::CondHigh;
        break;
    case Action::DontCare:
        cell = CFile::CondX;
        break;
    case Action::Raising:
    case Action::Falling:
        for (uint8_t &k : pattern) {
            if (k == CFile::CondRise || k == CFile::CondFall)
                k = CFile::CondX;
        }
        cell = action == Action::Raising ? CFile::CondRise : CFile::CondFall;
        break;
    default:
        return out;
    }
    out.TriggerChanged = true;
    return out;
}

int PatternPopup::EdgeChannel(const CFile &settings, int patternRow, int channelCount)
{
    if (patternRow < 0 || patternRow >= CFile::PatternRows)
        return -1;
    const auto &pattern = settings.TriggerCondition[static_cast<size_t>(patternRow)];
    for (int c = ChannelsOf(channelCount); c-- > 0;) {
        const uint8_t k = pattern[static_cast<size_t>(c)];
        if (k == CFile::CondRise || k == CFile::CondFall)
            return c;
    }
    return -1;
}
