#include "files/DeviceTransfer.h"

#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/EmulatedDriver.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

namespace {

using Outcome = DeviceTransfer::Outcome;

// The program's record and samples (model `hostModel`, recognisable
// settings and samples) and a command channel over one emulated analyzer.
struct Bench
{
    Bench(const char *device, int hostModel)
    {
        const auto config = EmulatorConfig::Parse(device);
        EXPECT_TRUE(config) << device;
        system.SelectModel(hostModel);
        record.ModelCode = static_cast<uint8_t>(hostModel);
        record.ResetSettings();
        record.TimeDivRow = 9;
        record.RateRow = 9;
        record.TriggerCondition[0][2] = CFile::CondFall;
        std::iota(system.SampleBuffer.begin(), system.SampleBuffer.end(), uint8_t{7});
        auto emulator = std::make_unique<EmulatedDriver>(*config);
        driver = emulator.get();
        usb = std::make_unique<CEzUsb>(record, system, nullptr, std::move(emulator));
        record.BuildBlock();
        blockBefore = record.BlockBuffer;
        samplesBefore = system.SampleBuffer;
    }
    AnalyzerFirmware &Analyzer() { return driver->Firmware(driver->Config().Foreign); }
    size_t Requests(uint16_t code)
    {
        const auto &all = Analyzer().Commands();
        return static_cast<size_t>(
            std::count_if(all.begin(), all.end(), [&](const auto &c) { return c.Value == code; }));
    }
    DeviceTransfer::Result Import() { return DeviceTransfer(*usb, nullptr).Import(record, system); }
    DeviceTransfer::Result Export() { return DeviceTransfer(*usb, nullptr).Export(record, system); }
    // The program's record, model and samples are as before the command.
    void ExpectUnchanged(int model)
    {
        EXPECT_EQ(system.ModelCode, model);
        EXPECT_EQ(record.ModelCode, model);
        EXPECT_EQ(record.TimeDivRow, 9);
        EXPECT_EQ(record.TriggerCondition[0][2], CFile::CondFall);
        EXPECT_TRUE(system.SampleBuffer == samplesBefore);
    }

    WSystem system;
    CFile record;
    EmulatedDriver *driver = nullptr;
    std::unique_ptr<CEzUsb> usb;
    std::array<uint8_t, CFile::BlockSize> blockBefore{};
    std::vector<uint8_t> samplesBefore;
};

TEST(DeviceTransfer, ExportThenImportCarriesSettingsAndSamples)
{
    Bench b("model=2", 2);
    const DeviceTransfer::Result exported = b.Export();
    EXPECT_EQ(exported.outcome, Outcome::Exported);
    EXPECT_EQ(exported.attempts, 1);
    const auto memory = b.Analyzer().Memory();
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), b.samplesBefore.begin()));

    // A program on model 1 takes the analyzer's model, settings and samples.
    b.system.SelectModel(1);
    b.record.ModelCode = 1;
    b.record.ResetSettings();
    const DeviceTransfer::Result imported = b.Import();
    EXPECT_EQ(imported.outcome, Outcome::Imported);
    EXPECT_TRUE(imported.modelChanged);
    EXPECT_EQ(b.system.ModelCode, 2);
    EXPECT_EQ(b.record.ModelCode, 2);
    EXPECT_EQ(b.record.TimeDivRow, 9);
    EXPECT_EQ(b.record.TriggerCondition[0][2], CFile::CondFall);
    EXPECT_TRUE(b.system.SampleBuffer == b.samplesBefore);
}

TEST(DeviceTransfer, ModelsThreeToEightAreRefusedWithoutATransfer)
{
    for (const char *device : {"model=3", "model=8"}) {
        Bench b(device, 1);
        EXPECT_EQ(b.Import().outcome, Outcome::NotSupported) << device;
        EXPECT_EQ(b.Export().outcome, Outcome::NotSupported) << device;
        EXPECT_EQ(b.Requests(CEzUsb::ReadBlock) + b.Requests(CEzUsb::WriteBlock), 0u) << device;
        b.ExpectUnchanged(1);
    }
}

// Every failing import leaves the program's record and capture whole.
struct ImportFault
{
    const char *name;
    const char *device;
    Outcome outcome;
    int attempts;
    bool portReset;
};

class DeviceImportFault : public testing::TestWithParam<ImportFault>
{
};

TEST_P(DeviceImportFault, KeepsRecordAndCapture)
{
    const ImportFault &f = GetParam();
    Bench b(f.device, 1);
    const DeviceTransfer::Result r = b.Import();
    EXPECT_EQ(r.outcome, f.outcome);
    EXPECT_EQ(r.attempts, f.attempts);
    EXPECT_EQ(r.portReset, f.portReset);
    if (f.outcome == Outcome::Imported)
        return;
    b.ExpectUnchanged(1);
    EXPECT_TRUE(b.record.BlockBuffer == b.blockBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DeviceImportFault,
    testing::Values(
        ImportFault{"Busy", "model=2,answer=CheckReady:0xE0", Outcome::StatusRefused, 0, false},
        ImportFault{"CheckNotLinking", "model=2,linkfail=CheckReady", Outcome::StatusRefused, 0,
                    false},
        ImportFault{"BlockBusy", "model=2,answer=ReadBlock:0xE0", Outcome::Busy, 0, false},
        ImportFault{"BlockNotLinking", "model=2,linkfail=ReadBlock", Outcome::NotLinking, 0, false},
        ImportFault{"BlockRefused", "model=2,stall=ReadBlock", Outcome::BlockRefused, 0, false},
        ImportFault{"BlockTimeout", "model=2,timeout=ReadBlock", Outcome::NoData, 0, true},
        ImportFault{"BlockDamaged", "model=2,corrupt", Outcome::NoData, 0, true},
        ImportFault{"SamplesShortTwice", "model=2,short=ReadSamples*2", Outcome::Imported, 3,
                    false},
        ImportFault{"SamplesTimeoutOnce", "model=2,timeout=ReadSamples*1", Outcome::Imported, 2,
                    false},
        ImportFault{"SamplesNeverAccepted", "model=2,answer=ReadSamples:0xE0", Outcome::NoData, 500,
                    true},
        ImportFault{"UnplugMidTransfer", "model=2,unplug=ReadSamples", Outcome::NoData, 500, true}),
    [](const testing::TestParamInfo<ImportFault> &row) { return row.param.name; });

TEST(DeviceTransfer, ExportEndsAfterFiveHundredRefusedSampleRequests)
{
    Bench b("model=1,answer=WriteSamples:0xE0", 1);
    const DeviceTransfer::Result r = b.Export();
    EXPECT_EQ(r.outcome, Outcome::NotExported);
    EXPECT_EQ(r.attempts, 500);
    EXPECT_EQ(b.Requests(CEzUsb::WriteSamples), 500u);
    EXPECT_TRUE(r.portReset);
    b.ExpectUnchanged(1);
}

TEST(DeviceTransfer, ExportRefusals)
{
    const std::pair<const char *, Outcome> cases[] = {
        {"model=2", Outcome::WrongModel},
        {"model=1,answer=WriteBlock:0xE0", Outcome::Busy},
        {"model=1,linkfail=WriteBlock", Outcome::NotLinking},
        {"model=1,timeout=WriteBlock", Outcome::NotExported},
    };
    for (const auto &[device, outcome] : cases) {
        Bench b(device, 1);
        EXPECT_EQ(b.Export().outcome, outcome) << device;
        EXPECT_EQ(b.Requests(CEzUsb::WriteSamples), 0u) << device;
        b.ExpectUnchanged(1);
    }
}

TEST(DeviceTransfer, WithoutAnAnalyzerNothingIsRead)
{
    Bench b("count=0", 1);
    // The block request finds no device (0x36): a refused request.
    EXPECT_EQ(b.Import().outcome, Outcome::BlockRefused);
    EXPECT_EQ(b.Export().outcome, Outcome::NotExported);
    b.ExpectUnchanged(1);
}

} // namespace
