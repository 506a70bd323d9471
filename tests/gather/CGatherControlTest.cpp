// Gathermoor's commands and captures end to end over the emulated analyzer:
// a parameter file is written, its modification time moves, the watch tick
// captures, and the data file is checked against the emulated memory.
#include "gather/CGatherControl.h"
#include "gather/CGatherCapture.h"

#include "../analyzer/AnalyzerTestFolder.h"
#include "device/AnalyzerFirmware.h"
#include "device/CEzUsb.h"
#include "device/EmulatedDriver.h"
#include "device/EmulatorConfig.h"
#include "device/ModelTable.h"
#include "gather/GatherDataFile.h"
#include "gather/ParameterFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> Contents(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string RiseOnChannel0 = std::string(31, 'X') + "R";

class GatherCapture : public testing::Test
{
protected:
    void Make(const std::string &config)
    {
        CGatherControl::Hooks hooks;
        hooks.Message = [this](const std::string &m) {
            messages.push_back(m);
            // A message box runs the event loop: the timers go on.
            if (tickDuringMessages)
                control->WatchTick();
        };
        hooks.ShowWindow = [this] { ++shown; };
        hooks.WatchTimer = [this](bool on) { watchTimer = on; };
        hooks.PollTimer = [this](bool on) { pollTimer = on; };
        control = std::make_unique<CGatherControl>(folder.File("System.txt"), hooks);
        auto driver = std::make_unique<EmulatedDriver>(*EmulatorConfig::Parse(config));
        emulated = driver.get();
        control->CreateLink(std::move(driver));
        control->Capture().Pauses = false;
    }
    AnalyzerFirmware &Firmware() { return emulated->Firmware(0); }

    void WriteParameters(const std::string &property, const char *restart = "No")
    {
        std::ofstream(param) << "[Setting]\nAutoRestart=" << restart
                             << "\n[Files]\nDataPath=" << data << "\n[Property]\n"
                             << property;
        Touch();
    }
    // A new modification time, whatever the file system's resolution.
    void Touch()
    {
        age += std::chrono::seconds(1);
        std::filesystem::last_write_time(param, age);
    }
    // Watch ticks and polls until the capture has ended.
    void Capture()
    {
        control->WatchTick();
        for (int i = 0; i < 1000 && control->Capturing(); ++i)
            control->PollTick();
    }
    void StartWatching(const std::string &property, const char *restart = "No")
    {
        WriteParameters(property, restart);
        control->LoadParameterFile(param);
        ASSERT_TRUE(control->Execute());
    }

    AnalyzerTestFolder folder;
    const std::string param = folder.File("param.txt");
    const std::string data = folder.File("capture.bin");
    std::filesystem::file_time_type age = std::filesystem::file_time_type::clock::now();
    std::unique_ptr<CGatherControl> control;
    EmulatedDriver *emulated = nullptr;
    std::vector<std::string> messages;
    int shown = 0;
    bool watchTimer = false;
    bool pollTimer = false;
    bool tickDuringMessages = false;
};

TEST_F(GatherCapture, WritesTheDataFileOfTheEmulatedCaptureByteForByte)
{
    Make("model=3,scene=counter,polls=3");
    StartWatching("SampleRate=10MHZ\nRamSize=8KB\nMainDelay=30%\nDelayTime=0US\nVolt1=1.5V\n"
                  "TriggerMode=Pattern1\nTriggerPattern1=" +
                  RiseOnChannel0 + "\n");
    control->WatchTick();
    EXPECT_TRUE(control->Capturing());
    EXPECT_TRUE(pollTimer);
    EXPECT_FALSE(std::filesystem::exists(data)) << "nothing before the capture is done";
    for (int i = 0; i < 1000 && control->Capturing(); ++i)
        control->PollTick();
    ASSERT_EQ(control->DataFilesWritten(), 1);
    EXPECT_FALSE(pollTimer);

    const std::vector<uint8_t> bytes = Contents(data);
    const auto memory = Firmware().Memory();
    ASSERT_EQ(memory.size(), 0x80000u);
    ASSERT_EQ(bytes.size(), GatherDataFile::HeaderBytes + 0x80000u);
    // Pattern rows other than the first are missing: error 64, not counted.
    EXPECT_EQ(bytes[0], 64);
    const std::string time(bytes.begin() + 1, bytes.begin() + 24);
    EXPECT_EQ(time.size(), 23u);
    EXPECT_EQ(time.substr(4, 1) + time.substr(7, 1) + time.substr(10, 1) + time.substr(13, 1) +
                  time.substr(16, 1) + time.substr(19, 1),
              "///::.");
    const uint32_t trigger = uint32_t{bytes[24]} << 24 | uint32_t{bytes[25]} << 16 |
                             uint32_t{bytes[26]} << 8 | bytes[27];
    ASSERT_TRUE(Firmware().LastCapture().has_value());
    EXPECT_EQ(trigger, Firmware().LastCapture()->TriggerAddress);
    EXPECT_NE(Firmware().LastCapture()->ReportedEnd, Firmware().LastCapture()->EndAddress)
        << "the emulated analyzer reports its end only roughly: the search must refine it";
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), bytes.begin() + 28));
    // The analyzer got the parameters through the settings block.
    EXPECT_EQ(Firmware().Record().RateRow, 7); // 10MHZ, the fifth rate
    EXPECT_EQ(Firmware().Record().PortLevel[0], 142);
    EXPECT_EQ(control->System().MemorySize, 0x80000u);
    EXPECT_FALSE(control->Watching()) << "Auto Restart off";
    EXPECT_TRUE(messages.empty());
}

TEST_F(GatherCapture, ReadsSamplesOnlyAfterTheBlockSaysDone)
{
    Make("model=1,scene=counter,polls=4");
    StartWatching("DelayTime=0US\nVolt1=0\n");
    Capture();
    ASSERT_EQ(control->DataFilesWritten(), 1);
    int blocksRead = 0;
    bool samplesBeforeDone = false;
    for (const auto &c : Firmware().Commands()) {
        blocksRead += c.Value == CEzUsb::ReadBlock;
        samplesBeforeDone = samplesBeforeDone || (c.Value == CEzUsb::ReadSamples && blocksRead < 5);
    }
    EXPECT_EQ(blocksRead, 5);
    EXPECT_FALSE(samplesBeforeDone);
    EXPECT_EQ(Contents(data).size(), GatherDataFile::HeaderBytes + 0x200000u);
}

TEST_F(GatherCapture, ABusyAnalyzerIsAskedAgain)
{
    Make("model=3,scene=counter,busy=3");
    StartWatching("DelayTime=0US\nVolt1=0\n");
    Capture();
    EXPECT_EQ(control->DataFilesWritten(), 1);
}

TEST_F(GatherCapture, AnUnchangedFileTimeStartsNothing)
{
    Make("model=1,scene=counter");
    StartWatching("DelayTime=0US\nVolt1=0\n", "Yes");
    Capture();
    ASSERT_EQ(control->DataFilesWritten(), 1);
    EXPECT_TRUE(control->Watching()) << "Auto Restart on";
    EXPECT_TRUE(watchTimer);
    const int started = Firmware().CapturesStarted();
    Capture();
    EXPECT_EQ(Firmware().CapturesStarted(), started);
    Touch();
    Capture();
    EXPECT_EQ(control->DataFilesWritten(), 2);
}

TEST_F(GatherCapture, ForceTriggerRewritesTheTriggerKeysAndCaptures)
{
    Make("model=1,scene=counter");
    StartWatching("DelayTime=0US\nVolt1=0\nTriggerMode=PulseWidth\nTriggerPattern1=" +
                  std::string(32, 'H') + "\n");
    control->ForceTrigger();
    const ParameterFile file(param);
    EXPECT_EQ(file.Read("Property", "TriggerMode"), "Pattern1");
    for (const char *key :
         {"TriggerPattern1", "TriggerPattern2", "TriggerPattern3", "TriggerPatternOR"})
        EXPECT_EQ(file.Read("Property", key), CGatherControl::AllDontCare) << key;
    Touch();
    Capture();
    ASSERT_EQ(control->DataFilesWritten(), 1);
    EXPECT_EQ(Contents(data)[0], 0) << "the parse replaced the 240 of Force Trigger";
    EXPECT_EQ(Firmware().Record().TriggerType, 1);
    for (const auto &row : Firmware().Record().TriggerCondition)
        EXPECT_EQ(row, control->Record().TriggerCondition[0]);
    EXPECT_EQ(control->Record().TriggerCondition[0][0], CFile::CondX);
}

TEST_F(GatherCapture, BreakEndsARunningCaptureAndSaysSo)
{
    Make("model=1,scene=counter,polls=1000");
    StartWatching("DelayTime=0US\nVolt1=0\n");
    control->WatchTick();
    ASSERT_TRUE(control->Capturing());
    Touch();
    tickDuringMessages = true;
    control->Break();
    EXPECT_EQ(Firmware().CapturesStarted(), 1) << "no capture while the message is shown";
    EXPECT_FALSE(control->Capturing());
    EXPECT_FALSE(control->Watching());
    EXPECT_EQ(control->Parser().LastErrorCode, CFileSystem::ErrorStopped);
    EXPECT_EQ(messages, std::vector<std::string>{"Data Acquisition is terminated."});
    EXPECT_EQ(Firmware().Commands().back().Value, CEzUsb::StopCapture);
    EXPECT_FALSE(std::filesystem::exists(data));
}

struct FaultCase
{
    const char *name;
    const char *config;
    const char *message; // the last message, empty for none
    bool showsWindow;
};

class GatherFaults : public GatherCapture, public testing::WithParamInterface<FaultCase>
{
};

TEST_P(GatherFaults, WriteNoDataFileAndKeepThePreviousOne)
{
    const FaultCase &c = GetParam();
    Make(c.config);
    const std::vector<uint8_t> previous{1, 2, 3};
    std::ofstream(data, std::ios::binary).write(reinterpret_cast<const char *>(previous.data()), 3);
    StartWatching("DelayTime=0US\nVolt1=0\n", "Yes");
    Capture();
    EXPECT_EQ(control->DataFilesWritten(), 0);
    EXPECT_EQ(Contents(data), previous);
    EXPECT_EQ(messages.empty() ? std::string() : messages.back(), c.message);
    EXPECT_EQ(shown, c.showsWindow ? 1 : 0);
    // Without a device the watch stops; otherwise Auto Restart goes on.
    EXPECT_EQ(control->Watching(), !c.showsWindow);
    EXPECT_FALSE(control->Capturing());
}

const char *const NoDevice = "Device is not connected.Please connect the device with PC.";

INSTANTIATE_TEST_SUITE_P(
    Cases, GatherFaults,
    testing::Values(
        FaultCase{"DeviceMissing", "foreign=1,count=0", NoDevice, true},
        FaultCase{"LinkFailOnCheckReady", "linkfail=CheckReady", "Linking fail.", false},
        FaultCase{"LinkFailOnStartCapture", "linkfail=StartCapture", "Linking fail.", false},
        FaultCase{"BlockTimeOut", "timeout=ReadBlock", "", false},
        FaultCase{"SamplesTimeOut", "timeout=ReadSamples", "", false},
        FaultCase{"ShortSampleRead", "short=ReadSamples", "", false},
        FaultCase{"UnplugDuringSampleRead", "unplug=ReadSamples", NoDevice, true}),
    [](const auto &row) { return std::string(row.param.name); });

// Every analyzer model with a settings block gets its own memory size and
// channel count from its identity text.
class GatherModels : public GatherCapture, public testing::WithParamInterface<int>
{
};

TEST_P(GatherModels, CaptureTheWholeMemoryOfTheirModel)
{
    const int model = GetParam();
    Make("model=" + std::to_string(model) + ",scene=counter");
    StartWatching("DelayTime=0US\nVolt1=0\nTriggerPattern1=" + RiseOnChannel0 + "\n");
    Capture();
    ASSERT_EQ(control->DataFilesWritten(), 1);
    const std::vector<uint8_t> bytes = Contents(data);
    const auto memory = Firmware().Memory();
    ASSERT_EQ(bytes.size(), GatherDataFile::HeaderBytes + memory.size());
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), bytes.begin() + 28));
    EXPECT_EQ(control->Record().ModelCode, model);
    EXPECT_EQ(control->System().ChannelCount, ModelTable::Model(model).channels);
}

INSTANTIATE_TEST_SUITE_P(Analyzers, GatherModels, testing::Values(2, 4, 5, 8));

// The identity block's model text names the model. "Moudel :" is the other
// spelling of model 1's line (the analyzer program's model table accepts
// both): such an analyzer is a model 1 and is set up as one, not as code 0,
// the Demo, which has no instrument.
TEST(GatherModelText, NamesTheModel)
{
    const std::pair<const char *, int> cases[] = {
        {"Moudel :Logic Analyzer 200MHz/4ns", 1},
        {"Model  :Logic Analyzer 200MHz/4ns", 1},
        {"Model  :Logic Analyzer 200MHz/2ns", 2},
        {"Model  :QX-A16", 3},
        {"Model  :QX-A32", 4},
        {"Model  :QX-B16", 5},
        {"Model  :QX-B32", 6},
        {"Model  :QX-C16", 7},
        {"Model  :QX-C32", 8},
        {"QX-A16E", 9},
        {"Moudel  :Logic Analyzer 200MHz/4ns", 0}, // the comparison is exact
        {"Model :QX-A16", 0},
        {"model  :QX-A16", 0},
        {"Model  :QX-A16 ", 0},
        {"", 0},
    };
    for (const auto &[text, model] : cases)
        EXPECT_EQ(CGatherCapture::ModelOfText(text), model) << '"' << text << '"';
}

TEST_F(GatherCapture, WithoutADataPathNothingIsWrittenAndItSaysSo)
{
    Make("model=3,scene=counter");
    std::ofstream(param) << "[Setting]\nAutoRestart=No\n[Property]\nDelayTime=0US\n";
    Touch();
    control->LoadParameterFile(param);
    EXPECT_EQ(control->DataPath(), "");
    ASSERT_TRUE(control->Execute());
    Capture();
    EXPECT_EQ(control->DataFilesWritten(), 0);
    EXPECT_FALSE(std::filesystem::exists("Empty"));
    EXPECT_EQ(messages,
              std::vector<std::string>{"The data file could not be written: no Data Output is "
                                       "chosen."});
}

TEST_F(GatherCapture, LoadingAParameterFileRemembersItAndMendsAutoRestart)
{
    Make("model=1");
    control->Startup();
    ASSERT_TRUE(std::filesystem::exists(folder.File("System.txt")));
    WriteParameters("SampleRate=1MHZ\nRamSize=4KB\nDelayTime=5MS\n", "perhaps");
    control->LoadParameterFile(param);
    EXPECT_FALSE(control->AutoRestart());
    EXPECT_EQ(ParameterFile(param).Read("Setting", "AutoRestart"), "NO");
    EXPECT_EQ(control->DataPath(), data);
    EXPECT_EQ(control->SampleRateText() + control->RamSizeText() + control->DelayTimeText(),
              "1MHZ4KB5MS");
    control->SetAutoRestart(true);
    EXPECT_EQ(ParameterFile(param).Read("Setting", "AutoRestart"), "Yes");
    control->SetDataPath(folder.File("other.bin"));
    EXPECT_EQ(ParameterFile(param).Read("Files", "DataPath"), folder.File("other.bin"));
    control->SetDataPath(data);
    EXPECT_TRUE(control->Watching());

    // The next start loads the same file.
    CGatherControl again(folder.File("System.txt"), {});
    again.Startup();
    EXPECT_EQ(again.ParameterPath(), param);
    EXPECT_TRUE(again.AutoRestart());

    std::filesystem::remove(param);
    std::vector<std::string> said;
    CGatherControl::Hooks hooks;
    hooks.Message = [&said](const std::string &m) { said.push_back(m); };
    CGatherControl missing(folder.File("System.txt"), hooks);
    missing.LoadParameterFile(param);
    EXPECT_FALSE(missing.Execute());
    EXPECT_EQ(said, std::vector<std::string>{"File is not exist "});
}

} // namespace
