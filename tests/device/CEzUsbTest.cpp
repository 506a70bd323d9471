#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/EmulatedDriver.h"
#include "device/WSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

// A command channel over emulated instruments, with the settings record and
// the system tables of the model the first analyzer has.
struct Channel
{
    explicit Channel(const char *text, int recordModel = -1)
    {
        const auto config = EmulatorConfig::Parse(text);
        EXPECT_TRUE(config) << text;
        const int model = recordModel >= 0 ? recordModel : config->ModelOf(0);
        system.SelectModel(model);
        record.ModelCode = static_cast<uint8_t>(model);
        record.ResetSettings();
        auto emulator = std::make_unique<EmulatedDriver>(*config);
        driver = emulator.get();
        usb = std::make_unique<CEzUsb>(record, system, nullptr, std::move(emulator));
    }
    AnalyzerFirmware &Analyzer(int i = 0) { return driver->Firmware(driver->Config().Foreign + i); }
    std::vector<uint16_t> CommandValues(int i = 0)
    {
        std::vector<uint16_t> values;
        for (const auto &c : Analyzer(i).Commands())
            values.push_back(c.Value);
        return values;
    }

    WSystem system;
    CFile record;
    EmulatedDriver *driver = nullptr;
    std::unique_ptr<CEzUsb> usb;
};

TEST(CEzUsbConnect, OpensTheAnalyzerSecondOfThreeAndClosesTheOthers)
{
    Channel ch("foreign=1,count=2");
    ASSERT_TRUE(ch.usb->Connected);
    EXPECT_EQ(ch.usb->Device().OpenIndex(), 1);
    EXPECT_EQ(ch.usb->Device().ProductID, 0x1010);
    EXPECT_EQ(ch.driver->OpenHandles(), 1);
    EXPECT_EQ(ch.usb->DeviceNames, (std::vector<std::string>{"Device0", "Device1", "Device2"}));
    // The greeting went to the analyzer that was kept, none to the next one.
    ASSERT_EQ(ch.CommandValues(0), std::vector<uint16_t>{0x00});
    EXPECT_TRUE(ch.CommandValues(1).empty());
}

TEST(CEzUsbConnect, NoAnalyzerAmongTheDevicesLeavesItDisconnected)
{
    Channel ch("foreign=2,count=0");
    EXPECT_FALSE(ch.usb->Connected);
    EXPECT_FALSE(ch.usb->Device().IsOpen());
    EXPECT_EQ(ch.usb->DeviceNames.size(), 2u);
}

TEST(CEzUsbConnect, AnAnalyzerThisUserMayNotOpenIsToldFromNoAnalyzer)
{
    const struct
    {
        const char *config;
        bool connected;
        bool denied;
    } cases[] = {
        {"model=5,noaccess", false, true},
        {"foreign=1,count=1,noaccess", false, true},
        {"foreign=1,count=0,noaccess", false, false}, // another device of the vendor only
        {"count=0", false, false},
        {"model=5", true, false},
    };
    for (const auto &c : cases) {
        Channel ch(c.config);
        EXPECT_EQ(ch.usb->Connected, c.connected) << c.config;
        EXPECT_EQ(ch.usb->AccessDenied, c.denied) << c.config;
        EXPECT_EQ(ch.driver->OpenHandles(), c.connected ? 1 : 0) << c.config;
    }
}

TEST(CEzUsbConnect, NotConnectedCommandsGive0x36AndTransfersFail)
{
    Channel ch("count=0");
    ASSERT_FALSE(ch.usb->Connected);
    EXPECT_TRUE(ch.usb->DeviceNames.empty());
    EXPECT_EQ(ch.usb->SendCommand(CEzUsb::StartCapture), CEzUsb::StatusNoDevice);
    std::vector<uint8_t> buffer(16);
    EXPECT_FALSE(ch.usb->BulkRead(buffer, 100));
    EXPECT_FALSE(ch.usb->BulkWrite(buffer, 100));
    EXPECT_EQ(ch.usb->IdentifyDevice(ch.record), 0);
}

struct StatusCase
{
    uint8_t Device;
    uint8_t Reported;
};

class CommandStatus : public testing::TestWithParam<StatusCase>
{
};

TEST_P(CommandStatus, IsNormalisedToTheKnownBytes)
{
    const std::string text = "answer=0x70:" + std::to_string(GetParam().Device);
    Channel ch(text.c_str());
    EXPECT_EQ(ch.usb->SendCommand(CEzUsb::StartCapture), GetParam().Reported);
}

INSTANTIATE_TEST_SUITE_P(Bytes, CommandStatus,
                         testing::Values(StatusCase{0x10, 0x10}, StatusCase{0x35, 0x35},
                                         StatusCase{0xE0, 0xE0}, StatusCase{0xF1, 0xF1},
                                         StatusCase{0xF2, 0xF2}, StatusCase{0x20, 0xE0},
                                         StatusCase{0x00, 0xE0}, StatusCase{0x36, 0xE0},
                                         StatusCase{0xFF, 0xE0}));

TEST(CEzUsbCommand, FailedTransferGivesZero)
{
    Channel ch("unplug=0x70");
    EXPECT_EQ(ch.usb->SendCommand(CEzUsb::StartCapture), CEzUsb::StatusFailed);
}

TEST(CEzUsbCommand, BusyDeviceAnswersE0UntilItIsReady)
{
    Channel ch("busy=2"); // the hello of Connect takes the first
    EXPECT_EQ(ch.usb->SendCommand(CEzUsb::CheckReady), CEzUsb::StatusBusy);
    EXPECT_EQ(ch.usb->SendCommand(CEzUsb::CheckReady), CEzUsb::StatusAccepted);
}

struct ThresholdCase
{
    uint16_t Level;
    uint16_t Port;
    uint16_t Word;
};

class ThresholdWord : public testing::TestWithParam<ThresholdCase>
{
};

TEST_P(ThresholdWord, IsFiveTimesTheLevelPlus772WithThePortBits)
{
    EXPECT_EQ(CEzUsb::ThresholdWord(GetParam().Level, GetParam().Port), GetParam().Word);
}

INSTANTIATE_TEST_SUITE_P(Levels, ThresholdWord,
                         testing::Values(ThresholdCase{255, 0x1000, 0x17FF},
                                         ThresholdCase{270, 0x1000, 0x1000 | 2122},
                                         ThresholdCase{270, 0x5000, 0x5000 | 2122},
                                         ThresholdCase{0, 0x5000, 0x5000 | 772},
                                         ThresholdCase{65535, 0x1000, 0x1000 | 767}));

class CompactModels : public testing::TestWithParam<int>
{
};

TEST_P(CompactModels, WriteBlockSendsBothThresholdsThenTheCommand)
{
    const std::string text = "model=" + std::to_string(GetParam());
    Channel ch(text.c_str());
    ch.record.PortLevel[0] = 255;
    ch.record.PortLevel[1] = 270;
    const size_t before = ch.Analyzer().Commands().size();
    EXPECT_EQ(ch.usb->SendCommand(CEzUsb::WriteBlock), CEzUsb::StatusAccepted);
    const auto &log = ch.Analyzer().Commands();
    ASSERT_EQ(log.size(), before + 3);
    EXPECT_EQ(log[before].Value, 0xA0);
    EXPECT_EQ(log[before].Index, 0x17FF);
    EXPECT_EQ(log[before + 1].Value, 0xA0);
    EXPECT_EQ(log[before + 1].Index, 0x5000 | 2122);
    EXPECT_EQ(log[before + 2].Value, 0x88);
    EXPECT_EQ(log[before + 2].Index, 0x5000 | 2122) << "the last threshold word rides along";
    EXPECT_EQ(ch.Analyzer().Threshold(0), 0x17FF);
    EXPECT_EQ(ch.Analyzer().Threshold(1), 0x5000 | 2122);
    // Other commands send no thresholds but keep the last word.
    EXPECT_EQ(ch.usb->SendCommand(CEzUsb::StartCapture), CEzUsb::StatusAccepted);
    ASSERT_EQ(log.size(), before + 4);
    EXPECT_EQ(log.back().Index, 0x5000 | 2122);
}

TEST_P(CompactModels, RefusedThresholdSendsNoCommand)
{
    const std::string text = "model=" + std::to_string(GetParam()) + ",answer=0xA0:0x35*1";
    Channel ch(text.c_str());
    EXPECT_EQ(ch.usb->SendCommand(CEzUsb::WriteBlock), CEzUsb::StatusBusy);
    for (const auto &c : ch.Analyzer().Commands())
        EXPECT_NE(c.Value, 0x88);
}

INSTANTIATE_TEST_SUITE_P(Models, CompactModels, testing::Values(9, 10));

TEST(CEzUsbCommand, OtherModelsSendWriteBlockAloneWithIndexZero)
{
    Channel ch("model=4");
    ch.record.PortLevel[0] = 255;
    const size_t before = ch.Analyzer().Commands().size();
    EXPECT_EQ(ch.usb->SendCommand(CEzUsb::WriteBlock), CEzUsb::StatusAccepted);
    const auto &log = ch.Analyzer().Commands();
    ASSERT_EQ(log.size(), before + 1);
    EXPECT_EQ(log.back().Value, 0x88);
    EXPECT_EQ(log.back().Index, 0);
}

TEST(CEzUsbBulk, ReadsTheWholeSampleMemory)
{
    Channel ch("model=2");
    ch.Analyzer().Memory()[0x3FFFFF] = 0xA5;
    ASSERT_EQ(ch.usb->SendCommand(CEzUsb::ReadSamples), CEzUsb::StatusAccepted);
    ASSERT_TRUE(ch.usb->BulkRead(ch.system.SampleBuffer, 1000));
    EXPECT_EQ(ch.system.SampleBuffer.size(), 0x400000u);
    EXPECT_EQ(ch.system.SampleBuffer[0x3FFFFF], 0xA5);
}

TEST(CEzUsbBulk, TimeOutIsCancelledAndTheNextCommandWorks)
{
    Channel ch("timeout=0x82*1");
    ASSERT_EQ(ch.usb->SendCommand(CEzUsb::ReadSamples), CEzUsb::StatusAccepted);
    EXPECT_FALSE(ch.usb->BulkRead(ch.system.SampleBuffer, 1000));
    EXPECT_FALSE(ch.usb->Device().BulkInEndPt->TransferPending());
    ch.usb->Device().ResetDevicePort();
    ASSERT_EQ(ch.usb->SendCommand(CEzUsb::ReadSamples), CEzUsb::StatusAccepted);
    EXPECT_TRUE(ch.usb->BulkRead(ch.system.SampleBuffer, 1000));
}

TEST(CEzUsbBulk, ShortReadCountsAsFailed)
{
    Channel ch("short=0x81*1");
    ASSERT_EQ(ch.usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    std::vector<uint8_t> block(CFile::BlockSize);
    EXPECT_FALSE(ch.usb->BulkRead(block, 100));
    ASSERT_EQ(ch.usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    EXPECT_TRUE(ch.usb->BulkRead(block, 100));
}

TEST(CEzUsbBulk, ReadCompletingAfterItsAbortNeverWritesIntoTheCallersBuffer)
{
    Channel ch("model=1,lateabort=ReadBlock*1");
    ASSERT_EQ(ch.usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    std::vector<uint8_t> block(CFile::BlockSize, 0);
    EXPECT_FALSE(ch.usb->BulkRead(block, 100));
    EXPECT_FALSE(ch.usb->Device().BulkInEndPt->TransferPending());
    // The host moves on; only now does the aborted read come back, with data.
    ASSERT_EQ(ch.usb->SendCommand(CEzUsb::ReadBlock), CEzUsb::StatusAccepted);
    EXPECT_EQ(std::count(block.begin(), block.end(), 0), static_cast<long>(block.size()));
    ASSERT_TRUE(ch.usb->BulkRead(ch.record.Block(), 100));
    EXPECT_TRUE(ch.record.ParseBlock());
}

TEST(CEzUsbBulk, ConnectsWhenTheDrainComesBackAfterItsBufferIsGone)
{
    // Connect's drain buffer is released when Connect returns; the drain
    // completes on the next request (AddressSanitizer watches the write).
    Channel ch("model=2,lateabort=Hello*1");
    ASSERT_TRUE(ch.usb->Connected);
    EXPECT_EQ(ch.usb->SendCommand(CEzUsb::CheckReady), CEzUsb::StatusAccepted);
    EXPECT_EQ(ch.usb->IdentifyDevice(ch.record), 2);
}

TEST(CEzUsbBulk, UnpluggingDuringTheSampleWriteLoopEndsItAfter500Attempts)
{
    Channel ch("model=1,unplug=WriteSamples");
    const auto start = std::chrono::steady_clock::now();
    int attempts = 0;
    bool written = false;
    while (attempts < 500 && !written) {
        ++attempts;
        written = ch.usb->SendCommand(CEzUsb::WriteSamples) == CEzUsb::StatusAccepted &&
                  ch.usb->BulkWrite(ch.system.SampleBuffer, 1000);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(attempts, 500);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(ch.usb->Device().Driver().CountDevices(), 0);
}

struct IdentityCase
{
    const char *Name;
    const char *Config;
    uint8_t Result;
    uint8_t RecordModel; // what the record holds afterwards
};

class Identify : public testing::TestWithParam<IdentityCase>
{
};

TEST_P(Identify, NamesTheModelOrSaysWhyNot)
{
    const auto &c = GetParam();
    Channel ch(c.Config, 1);
    ch.record.ModelCode = 77;
    EXPECT_EQ(ch.usb->IdentifyDevice(ch.record), c.Result);
    EXPECT_EQ(ch.record.ModelCode, c.RecordModel);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Identify,
    testing::Values(IdentityCase{"Model1", "model=1", 1, 1},
                    IdentityCase{"Model1OtherSpelling", "foreign=1,count=1,model=1", 1, 1},
                    IdentityCase{"Model2", "model=2", 2, 2},
                    IdentityCase{"Model5", "model=5", 5, 5},
                    IdentityCase{"Model8", "model=8", 8, 8},
                    IdentityCase{"Model9ByStatus", "model=9", 9, 9},
                    IdentityCase{"Model10ByStatus", "model=10", 10, 10},
                    IdentityCase{"Busy", "model=3,answer=Identify:0xE0", 0xE0, 77},
                    IdentityCase{"LinkFail", "model=3,linkfail=Identify", 0, 77},
                    IdentityCase{"FailedRead", "model=3,timeout=Identify", 0, 77},
                    // Model 5's three texts take 44 bytes with their zero bytes.
                    IdentityCase{"ShortBlockWithItsTexts", "model=5,short=Identify:44", 5, 5},
                    IdentityCase{"HalfABlock", "model=5,short=Identify", 5, 5},
                    IdentityCase{"LastTextUnended", "model=5,short=Identify:43", 0, 77},
                    IdentityCase{"CutInTheModelText", "model=5,short=Identify:36", 0, 77},
                    IdentityCase{"EmptyReply", "model=5,short=Identify:0", 0, 77}),
    [](const testing::TestParamInfo<IdentityCase> &param) { return param.param.Name; });

TEST(CEzUsbIdentify, UnknownStringsGiveModelZero)
{
    Channel ch("model=1");
    std::vector<uint8_t> block(1024, 0);
    const std::string strings("Version:1.8\0Build\0Model  :Logic Analyzer 400MHz", 46);
    std::copy(strings.begin(), strings.end(), block.begin());
    ch.Analyzer().SetIdentityBlock(block);
    EXPECT_EQ(ch.usb->IdentifyDevice(ch.record), 0);
    EXPECT_EQ(ch.record.ModelCode, 0);
}

TEST(CEzUsbIdentify, BothModel1SpellingsAreSent)
{
    Channel ch("model=1,count=2");
    EXPECT_NE(ch.Analyzer(0).IdentityBlock(), ch.Analyzer(1).IdentityBlock());
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(WSystem::ModelFromIdentity(ch.Analyzer(i).IdentityBlock()), 1);
}

} // namespace
