#include "device/EmulatedCapture.h"

#include "device/TriggerMatcher.h"

#include <algorithm>
#include <array>

namespace {

void Store(std::span<uint8_t> memory, uint32_t address, uint32_t word)
{
    for (uint32_t i = 0; i < 4; ++i)
        memory[address + i] = static_cast<uint8_t>(word >> (8 * i));
}

int RandomIn(std::mt19937 &random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

} // namespace

uint64_t EmulatedCapture::SamplePeriodPs(const ModelTable::ModelRow &model, int rateRow)
{
    static constexpr std::array<uint64_t, 5> PsPerUnit{1, 1000, 1000000, 1000000000, 1000000000000};
    const auto &period = ModelTable::Row(rateRow).period[static_cast<size_t>(model.rate)];
    const auto unit = static_cast<size_t>(std::clamp(period.unit, 0, 4));
    return static_cast<uint64_t>(std::max(period.value, 1)) * PsPerUnit[unit];
}

uint32_t EmulatedCapture::Inputs(uint32_t lines, const CaptureSettings &settings)
{
    for (size_t port = 0; port < settings.ThresholdTenths.size(); ++port) {
        const int threshold = settings.ThresholdTenths[port];
        const uint32_t bits = 0xFFu << (8 * port);
        if (threshold >= HighInputTenths)
            lines &= ~bits;
        else if (threshold < 0)
            lines |= bits;
    }
    return lines;
}

std::optional<EmulatedCapture::Result> EmulatedCapture::Record(std::span<uint8_t> memory,
                                                               const CaptureSettings &settings,
                                                               const SignalScene &scene,
                                                               const ModelTable::ModelRow &model,
                                                               std::mt19937 &random)
{
    const uint64_t memSamples = memory.size() / 4;
    if (memSamples == 0)
        return std::nullopt;
    const auto mask = static_cast<uint32_t>(memory.size() - 1);
    const uint64_t period =
        settings.ExternalClock ? ExternalClockPeriodPs : SamplePeriodPs(model, settings.RateRow);
    const uint32_t channels = model.channels >= 32 ? 0xFFFFFFFFu : (1u << model.channels) - 1;
    auto sample = [&](uint64_t k) { return Inputs(scene.Sample(k, period), settings) & channels; };
    const uint32_t startAddress = static_cast<uint32_t>(random() % memSamples) * 4;
    const uint64_t t0 = random() % (uint64_t{1} << 20); // where in the scene recording starts
    const uint64_t pre = settings.PreTriggerBytes / 4;
    const uint64_t post = settings.PostTriggerBytes / 4;
    auto addressOf = [&](uint64_t n) {
        return static_cast<uint32_t>((startAddress + 4 * (n - t0)) & mask);
    };

    TriggerMatcher trigger(settings, model.channels);
    uint64_t n = t0 + std::max<uint64_t>(pre, 1);
    const uint64_t armed = n;
    uint32_t previous = sample(n - 1);
    bool fired = false;
    for (const uint64_t limit = n + MaxSearchSamples; n < limit; ++n) {
        const uint32_t word = sample(n);
        if (trigger.Step(previous, word)) {
            fired = true;
            break;
        }
        previous = word;
    }
    if (!fired)
        return std::nullopt;

    const uint64_t triggerSample = n;
    const uint64_t last = triggerSample + post;
    const uint64_t first = last + 1 - t0 > memSamples ? last + 1 - memSamples : t0;
    for (uint64_t k = first; k <= last; ++k)
        Store(memory, addressOf(k), sample(k));

    // How far the reported end may stray: the host searches back from L
    // samples after it, over L + R samples, and takes the first pair that
    // satisfies the condition, so no later occurrence may fall inside.
    const int lookAhead = static_cast<int>(model.lookAhead);
    const int reachBack = static_cast<int>(std::min<uint32_t>(model.reachBack, 1u << 20));
    int nextMatch = lookAhead + MaxOffsetSamples + 2;
    if (!trigger.AllDontCare()) {
        for (int k = 1; k < nextMatch; ++k) {
            if (trigger.PairMatches(sample(triggerSample + k - 1), sample(triggerSample + k))) {
                nextMatch = k;
                break;
            }
        }
    }
    const int low = std::max(-lookAhead, -MaxOffsetSamples);
    const int high = std::min({reachBack - 1, MaxOffsetSamples, nextMatch - lookAhead - 1});
    const int offset = high < low ? high : RandomIn(random, low, high);

    Result result;
    result.TriggerAddress = addressOf(triggerSample);
    result.ArmAddress = addressOf(armed);
    result.EndAddress = addressOf(last);
    result.ReportedEnd = static_cast<uint32_t>(result.EndAddress + 4 * offset) & mask;
    return result;
}
