#include "trigger/TriggerWords.h"

#include "device/CFile.h"
#include "device/ModelTable.h"

#include <algorithm>

namespace {

// Edge code of a condition: 2 for falling, 1 for rising, 0 for none.
uint16_t EdgeCode(uint8_t condition)
{
    if (condition == CFile::CondFall)
        return 2;
    if (condition == CFile::CondRise)
        return 1;
    return 0;
}

// Level value and mask words of one pattern row: L is value 0 mask 1, H value
// 1 mask 1, anything else value 0 mask 0. Channels the model lacks never count.
void LevelWords(const std::array<uint8_t, CFile::MaxChannels> &row, int channels,
                uint16_t &valueLow, uint16_t &valueHigh, uint16_t &maskLow, uint16_t &maskHigh)
{
    uint32_t value = 0;
    uint32_t mask = 0;
    for (int c = 0; c < channels; ++c) {
        const uint8_t cond = row[static_cast<size_t>(c)];
        if (cond == CFile::CondLow || cond == CFile::CondHigh) {
            mask |= 1u << c;
            if (cond == CFile::CondHigh)
                value |= 1u << c;
        }
    }
    valueLow = static_cast<uint16_t>(value);
    valueHigh = static_cast<uint16_t>(value >> 16);
    maskLow = static_cast<uint16_t>(mask);
    maskHigh = static_cast<uint16_t>(mask >> 16);
}

}  // namespace

uint64_t TriggerWords::PulseTimePs(const CFile &record)
{
    const int unit = std::clamp<int>(record.PulseUnit, 1, 4);
    uint64_t scale = 1;  // picoseconds per unit of the fraction's group
    for (int g = 0; g < unit - 1; ++g)
        scale *= 1000;
    return uint64_t{record.PulseWhole} * scale * 1000 + uint64_t{record.PulseFraction} * scale;
}

uint16_t TriggerWords::PulseWidthWord(const CFile &record, uint64_t samplePeriodPs)
{
    const uint64_t pulse = PulseTimePs(record);
    if (samplePeriodPs == 0 || pulse < samplePeriodPs)
        return 1;
    // The whole count, not only its three lowest groups: a count of a
    // thousand million and five periods is far above the largest word.
    const uint64_t n = pulse / samplePeriodPs;
    uint64_t word = n;
    switch (record.PulseCompare) {
    case 0:  // "<"
        word = n < 4 ? 1 : n - 2;
        break;
    case 2:  // ">"
        word = n + 1 < 2 ? 1 : n + 1;
        break;
    default:  // "="
        word = n < 2 ? 1 : n;
        break;
    }
    return static_cast<uint16_t>(std::min<uint64_t>(word, 65535));
}

void TriggerWords::Encode(const CFile &record, uint64_t samplePeriodPs,
                          std::array<uint16_t, ImageWords> &words)
{
    const int channels = ModelTable::Model(record.ModelCode).channels;
    // The device gets the type in force, so a stored 0 sends Pattern 1 with its edge word.
    const int type = record.EffectiveTriggerType();

    words[1] = static_cast<uint16_t>((type & 0x0F) | ((record.ContinuousTrigger & 1) << 4) |
                                     (record.TriggerCounter << 8));

    words[2] = 0;
    if (type == 1 || type == 4) {
        for (int c = 0; c < channels; ++c) {
            const uint16_t edge = EdgeCode(record.TriggerCondition[0][static_cast<size_t>(c)]);
            if (edge) {
                words[2] = static_cast<uint16_t>(edge | (c << 8));
                break;
            }
        }
    }

    const auto &rows = record.TriggerCondition;
    LevelWords(rows[0], channels, words[3], words[4], words[9], words[10]);
    LevelWords(rows[1], channels, words[5], words[6], words[11], words[12]);
    LevelWords(rows[2], channels, words[7], words[8], words[13], words[14]);

    words[15] = 0;
    if (type == 4) {
        for (int c = 0; c < channels; ++c) {
            const uint16_t edge = EdgeCode(rows[3][static_cast<size_t>(c)]);
            if (edge)
                words[15] = static_cast<uint16_t>(words[15] | edge | (c << 8));
        }
    }
    LevelWords(rows[3], channels, words[16], words[17], words[18], words[19]);

    words[26] = static_cast<uint16_t>((record.PulsePolarity & 0x07) |
                                      ((record.PulseCompare & 0x1F) << 3) |
                                      (record.PulseChannel << 8));
    words[27] = PulseWidthWord(record, samplePeriodPs);
}
