// Auto Scale on the emulated analyzer: after the AutoScale command the block
// it returns carries the time/div and rate rows it chose for its scene, and a
// capture at that row shows the scene's traffic on the screen around the
// trigger, on every scene.

#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/EmulatedDriver.h"
#include "device/ModelTable.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <memory>
#include <string>

namespace {

// The rows Auto Scale may choose: no faster row than `fastestRow` puts
// three changes of the fastest channel (its shortest interval between
// changes) into a division; the traffic is bursty, so the average over a
// screen may want a row or two more, but not more than `slowestRow`.
struct Scene
{
    const char *device; // TRACEMOOR_DEVICE items
    int fastestRow;
    int slowestRow;
};

class AutoScaleScenes : public testing::TestWithParam<Scene>
{
protected:
    void SetUp() override
    {
        const auto config = EmulatorConfig::Parse(GetParam().device);
        ASSERT_TRUE(config);
        model = config->ModelOf(0);
        system.SelectModel(model);
        record.ModelCode = static_cast<uint8_t>(model);
        record.ResetSettings();
        usb = std::make_unique<CEzUsb>(record, system, nullptr,
                                       std::make_unique<EmulatedDriver>(*config));
    }

    bool SendSettings()
    {
        record.BuildBlock();
        return usb->SendCommand(CEzUsb::WriteBlock) == CEzUsb::StatusAccepted &&
               usb->BulkWrite(record.Block(), 100);
    }

    bool ReadBlock()
    {
        return usb->SendCommand(CEzUsb::ReadBlock) == CEzUsb::StatusAccepted &&
               usb->BulkRead(record.Block(), 500) && record.ParseBlock();
    }

    bool Capture()
    {
        if (usb->SendCommand(CEzUsb::StartCapture) != CEzUsb::StatusAccepted)
            return false;
        for (int poll = 0; poll < 50; ++poll)
            if (ReadBlock() && record.CaptureDone == 1)
                return usb->SendCommand(CEzUsb::ReadSamples) == CEzUsb::StatusAccepted &&
                       usb->BulkRead(system.SampleBuffer, 1000);
        return false;
    }

    uint32_t Word(uint32_t address) const
    {
        uint32_t w = 0;
        for (uint32_t i = 0; i < 4; ++i)
            w |= uint32_t{system.SampleBuffer[(address + i) & system.AddressMask]} << (8 * i);
        return w;
    }

    int model = 0;
    WSystem system;
    CFile record;
    std::unique_ptr<CEzUsb> usb;
};

TEST_P(AutoScaleScenes, ChosenRowShowsTheTrafficOnTheScreen)
{
    ASSERT_EQ(record.TimeDivRow, 3); // 100nS, where every scene but the counter looks flat
    ASSERT_TRUE(SendSettings());
    ASSERT_EQ(usb->SendCommand(CEzUsb::AutoScale), CEzUsb::StatusAccepted);
    ASSERT_TRUE(ReadBlock());
    const int row = record.TimeDivRow;
    EXPECT_EQ(record.RateRow, row);
    EXPECT_GE(row, GetParam().fastestRow) << ModelTable::Row(row).text;
    EXPECT_LE(row, GetParam().slowestRow) << ModelTable::Row(row).text;

    // A capture of 4k samples with the trigger in the middle at the chosen row.
    record.MemoryDepthIndex = 3;
    system.ComputeSplit(record.MemoryDepthIndex, record.RateRow);
    record.PreTriggerBytes = static_cast<uint32_t>(system.SplitTable[1][5]) + 4 * 250;
    record.PostTriggerBytes = static_cast<uint32_t>(system.SplitTable[0][5]);
    ASSERT_TRUE(SendSettings());
    ASSERT_TRUE(Capture());

    // The screen: 20 divisions of 50 pixels around the trigger sample.
    const ModelTable::TimeDivRow &r = ModelTable::Row(row);
    const auto &p = r.period[static_cast<size_t>(ModelTable::Model(model).rate)];
    const double periodPs = p.value * std::pow(1000.0, p.unit);
    const double divisionPs = r.timeDiv.value * std::pow(1000.0, r.timeDiv.unit);
    const auto half = static_cast<uint32_t>(10 * divisionPs / periodPs);
    const uint32_t trigger = (record.ReportedEndAddress - record.PostTriggerBytes);
    std::array<int, 32> changes{};
    uint32_t previous = Word(trigger - 4 * half);
    for (uint32_t k = 1; k < 2 * half; ++k) {
        const uint32_t w = Word(trigger - 4 * half + 4 * k);
        for (uint32_t moved = w ^ previous; moved != 0; moved &= moved - 1)
            ++changes[static_cast<size_t>(std::countr_zero(moved))];
        previous = w;
    }
    // At least one change per division on average on the fastest channel.
    EXPECT_GE(*std::max_element(changes.begin(), changes.end()), 20)
        << "at " << r.text << " (row " << row << ")";
}

INSTANTIATE_TEST_SUITE_P(
    EveryScene, AutoScaleScenes,
    testing::Values(
        // CH0 of the counter changes every 8 samples of 4 ns: 100nS.
        Scene{"model=1,scene=counter", 3, 3},
        // Every 50 ns: 250nS.
        Scene{"model=5,scene=counter,tick=50", 4, 4},
        // 100 kHz clocks change every 5 us: 25uS at least.
        Scene{"model=5,scene=i2c", 10, 11}, Scene{"model=5,scene=spi", 10, 11},
        // 9600 baud: bits of 104 us, 500uS at least; 115200 baud: 50uS.
        Scene{"model=5,scene=uart", 14, 16}, Scene{"model=5,scene=uart,baud=115200", 11, 13},
        Scene{"model=2,scene=uart", 14, 16},
        // 125 kbit/s: bits of 8 us.
        Scene{"model=3,scene=can", 10, 13},
        // The CPU bus strobes its cycles at 1 MHz or so.
        Scene{"model=7,scene=cpu", 8, 13}));

} // namespace
