#include "device/EmulatorConfig.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EmulatorConfig, ReadsDevicesSceneAndContent)
{
    const auto c = EmulatorConfig::Parse(
        "model=5,count=2,foreign=1,scene=uart,text=Hi,baud=115200,seed=9,polls=0,olddriver,"
        "noaccess");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->ModelOf(0), 5);
    EXPECT_EQ(c->ModelOf(1), 5);
    EXPECT_EQ(c->Count, 2);
    EXPECT_EQ(c->Foreign, 1);
    EXPECT_EQ(c->Scene.Scene, SceneOptions::Kind::Uart);
    EXPECT_EQ(c->Scene.Data, (std::vector<uint8_t>{'H', 'i'}));
    EXPECT_EQ(c->Scene.Baud, 115200u);
    EXPECT_EQ(c->Seed, 9u);
    EXPECT_EQ(c->Polls, 0);
    EXPECT_TRUE(c->OldDriver);
    EXPECT_TRUE(c->NoAccess);
}

TEST(EmulatorConfig, ReadsUartFormatsAndBusFaults)
{
    const auto uart = EmulatorConfig::Parse("uart,uart=7e2,parityerror=2,framingerror");
    ASSERT_TRUE(uart);
    EXPECT_EQ(uart->Scene.UartDataBits, 7);
    EXPECT_EQ(uart->Scene.UartParity, 2);
    EXPECT_EQ(uart->Scene.UartStopBits, 2);
    EXPECT_EQ(uart->Scene.ParityErrorAt, 2);
    EXPECT_EQ(uart->Scene.FramingErrorAt, -1) << "without a number: every byte";

    const auto can = EmulatorConfig::Parse("can,rtr,dlc=0,crcerror=1,noack=3");
    ASSERT_TRUE(can);
    EXPECT_TRUE(can->Scene.Remote);
    EXPECT_EQ(can->Scene.Dlc, 0);
    EXPECT_EQ(can->Scene.CrcErrorAt, 1);
    EXPECT_EQ(can->Scene.NoAckAt, 3);

    for (const auto &[item, skew] : {std::pair{"skew=-3", -3}, {"skew=+1", 1}, {"skew=20", 20}}) {
        const auto skewed = EmulatorConfig::Parse(std::string("uart,") + item);
        ASSERT_TRUE(skewed) << item;
        EXPECT_EQ(skewed->Scene.SkewPercent, skew) << item;
    }

    for (const char *bad : {"uart=9N1", "uart=8X1", "uart=8N3", "noack=0", "dlc=16", "rtr=1",
                            "skew=21", "skew=-21", "skew=", "skew=1.5", "skew=--1"})
        EXPECT_FALSE(EmulatorConfig::Parse(bad)) << bad;
}

TEST(EmulatorConfig, ShortFormsAndModelLists)
{
    const auto bare = EmulatorConfig::Parse("9,i2c");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->ModelOf(0), 9);
    EXPECT_EQ(bare->Scene.Scene, SceneOptions::Kind::I2c);

    const auto list = EmulatorConfig::Parse("model=1/9/10,data=0xA55A01");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Count, 3);
    EXPECT_EQ(list->ModelOf(1), 9);
    EXPECT_EQ(list->ModelOf(7), 10) << "the last model repeats";
    EXPECT_EQ(list->Scene.Data, (std::vector<uint8_t>{0xA5, 0x5A, 0x01}));
}

TEST(EmulatorConfig, ReadsTheI2cAndSpiSceneItems)
{
    const auto c = EmulatorConfig::Parse("i2c,abits=10,nack,restart,bits=9");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Scene.I2cAddressBits, 10u);
    EXPECT_TRUE(c->Scene.I2cNack);
    EXPECT_TRUE(c->Scene.I2cRestart);
    EXPECT_EQ(c->Scene.SpiWordBits, 9u);
    const auto plain = EmulatorConfig::Parse("i2c");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Scene.I2cAddressBits, 7u);
    EXPECT_FALSE(plain->Scene.I2cNack || plain->Scene.I2cRestart);
    EXPECT_EQ(plain->Scene.SpiWordBits, 8u);
}

struct FaultCase
{
    const char *Text;
    EmulatorFault::Kind What;
    int Command;
    int Count;
    int At;
    uint8_t Status;
    int Bytes = -1;
};

class Faults : public testing::TestWithParam<FaultCase>
{
};

TEST_P(Faults, AreParsedWithCommandCountAndPosition)
{
    const auto c = EmulatorConfig::Parse(GetParam().Text);
    ASSERT_TRUE(c) << GetParam().Text;
    ASSERT_EQ(c->Faults.size(), 1u);
    const EmulatorFault &f = c->Faults[0];
    EXPECT_EQ(f.What, GetParam().What);
    EXPECT_EQ(f.Command, GetParam().Command);
    EXPECT_EQ(f.Count, GetParam().Count);
    EXPECT_EQ(f.At, GetParam().At);
    EXPECT_EQ(f.Bytes, GetParam().Bytes);
    if (GetParam().What == EmulatorFault::Kind::Answer) {
        EXPECT_EQ(f.Status, GetParam().Status);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Faults,
    testing::Values(
        FaultCase{"busy=3", EmulatorFault::Kind::Busy, -1, 3, 1, 0},
        FaultCase{"linkfail=0x70", EmulatorFault::Kind::LinkFail, 0x70, -1, 1, 0},
        FaultCase{"linkfail=StartCapture*2", EmulatorFault::Kind::LinkFail, 0x70, 2, 1, 0},
        FaultCase{"answer=0x16:0x20", EmulatorFault::Kind::Answer, 0x16, -1, 1, 0x20},
        FaultCase{"answer=readblock:32*4", EmulatorFault::Kind::Answer, 0x81, 4, 1, 0x20},
        FaultCase{"timeout=ReadSamples*1", EmulatorFault::Kind::Timeout, 0x82, 1, 1, 0},
        FaultCase{"short=0x82", EmulatorFault::Kind::Short, 0x82, -1, 1, 0},
        FaultCase{"short=Identify:44*2", EmulatorFault::Kind::Short, 0x80, 2, 1, 0, 44},
        FaultCase{"short=ReadBlock:0", EmulatorFault::Kind::Short, 0x81, -1, 1, 0, 0},
        FaultCase{"lateabort=Hello*1", EmulatorFault::Kind::LateAbort, 0x00, 1, 1, 0},
        FaultCase{"stall=CheckReady*2", EmulatorFault::Kind::Stall, 0x16, 2, 1, 0},
        FaultCase{"corrupt=2", EmulatorFault::Kind::Corrupt, 0x81, 2, 1, 0},
        FaultCase{"unplug=WriteSamples@3", EmulatorFault::Kind::Unplug, 0x89, -1, 3, 0}));

class Rejected : public testing::TestWithParam<const char *>
{
};

TEST_P(Rejected, WithTheItemNamed)
{
    std::string error;
    EXPECT_FALSE(EmulatorConfig::Parse(GetParam(), &error));
    EXPECT_NE(error.find("TRACEMOOR_DEVICE"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Texts, Rejected,
                         testing::Values("model=0", "model=11", "model=1/x", "12", "count=99",
                                         "scene=jtag", "data=ABC", "data=zz", "baud=1",
                                         "answer=0x70", "answer=0x70:0x100", "unplug=Fly",
                                         "timeout=0x82*0", "colour=red", "olddriver=1",
                                         "short=0x80:", "short=0x80:x", "lateabort=0x81:4",
                                         "noaccess=1", "abits=8", "nack=1", "bits=0", "bits=29"));

} // namespace
