#include "trigger/TriggerFields.h"

#include "device/CFile.h"
#include "trigger/PatternRowEdit.h"

#include <algorithm>

void TriggerFields::MakeSane(CFile &record)
{
    record.TriggerType = static_cast<uint8_t>(record.EffectiveTriggerType());
    if (record.TriggerType > 5)
        record.TriggerType = 1;
    for (auto &row : record.TriggerCondition) {
        bool edgeSeen = false;
        for (int c = CFile::MaxChannels - 1; c >= 0; --c) {
            uint8_t &code = row[static_cast<size_t>(c)];
            if (PatternRowEdit::Letter(code) == 'X')
                code = CFile::CondX;
            if (PatternRowEdit::IsEdge(code)) {
                if (edgeSeen)
                    code = CFile::CondX;
                edgeSeen = true;
            }
        }
    }
    record.ContinuousTrigger = record.ContinuousTrigger != 0 ? 1 : 0;
    record.TriggerCounter = std::max<uint8_t>(record.TriggerCounter, 1);
    record.ClockSource = record.ClockSource == 1 ? 1 : 0;
    if (record.PulseChannel >= CFile::MaxChannels)
        record.PulseChannel = 0;
    if (record.PulsePolarity > 1)
        record.PulsePolarity = 0;
    if (record.PulseCompare > 2)
        record.PulseCompare = 0;
    if (record.PulseUnit < 1 || record.PulseUnit > 4)
        record.PulseUnit = 1;
    record.PulseWhole = std::min<uint16_t>(record.PulseWhole, 999);
    record.PulseFraction = std::min<uint16_t>(record.PulseFraction, 999);
}
