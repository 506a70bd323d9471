#include "device/EmulatedAutoScale.h"

#include "device/EmulatedCapture.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace {

uint64_t TimeDivPs(int row)
{
    static constexpr std::array<uint64_t, 5> PsPerUnit{1, 1000, 1000000, 1000000000,
                                                       1000000000000};
    const ModelTable::TimeValueEntry &d = ModelTable::Row(row).timeDiv;
    return static_cast<uint64_t>(std::max(d.value, 1)) *
           PsPerUnit[static_cast<size_t>(std::clamp(d.unit, 0, 4))];
}

} // namespace

double EmulatedAutoScale::FastestPerDivision(const SignalScene &scene,
                                             const ModelTable::ModelRow &model,
                                             const CaptureSettings &settings, int row)
{
    const uint64_t period = EmulatedCapture::SamplePeriodPs(model, row);
    const uint64_t screen = TimeDivPs(row) * ScreenDivisions;
    const uint64_t samples = std::max<uint64_t>(2, (screen + period - 1) / period);
    const uint32_t channels = model.channels >= 32 ? 0xFFFFFFFFu : (1u << model.channels) - 1;
    const uint64_t loop = scene.LoopPs();
    const int windows = loop == 0 ? 1 : Windows;

    std::array<uint64_t, 32> changes{};
    for (int w = 0; w < windows; ++w) {
        const uint64_t first = loop / static_cast<uint64_t>(windows) *
                               static_cast<uint64_t>(w) / period;
        auto input = [&](uint64_t n) {
            return EmulatedCapture::Inputs(scene.Sample(first + n, period), settings) & channels;
        };
        uint32_t previous = input(0);
        for (uint64_t n = 1; n < samples; ++n) {
            const uint32_t word = input(n);
            for (uint32_t moved = word ^ previous; moved != 0; moved &= moved - 1)
                ++changes[static_cast<size_t>(std::countr_zero(moved))];
            previous = word;
        }
    }
    const uint64_t most = *std::max_element(changes.begin(), changes.end());
    return static_cast<double>(most) / (static_cast<double>(windows) * ScreenDivisions);
}

int EmulatedAutoScale::ChooseRow(const SignalScene &scene, const ModelTable::ModelRow &model,
                                 const CaptureSettings &settings, int current)
{
    int best = -1;
    double bestDensity = 0;
    for (int row = 0; row < ModelTable::TimeDivRowCount; ++row) {
        const double density = FastestPerDivision(scene, model, settings, row);
        if (density >= TargetPerDivision)
            return row;
        if (density > bestDensity) {
            bestDensity = density;
            best = row;
        }
    }
    return best < 0 ? current : best;
}
