// tracemoor-cli run as a user runs it: a process with arguments and the
// emulated analyzers of TRACEMOOR_DEVICE, judged by its output, its files
// and its exit code.

#include "cli/CliSession.h"
#include "files/ProjectFile.h"
#include "tests/cli/CliRun.h"
#include "tests/files/VcdReaderForTest.h"
#include "tests/lang/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

using CliRun::Cli;
using CliRun::Outcome;
using CliRun::Slurp;

int Lines(const std::string &text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// One capture of the I2C scene ("Hi" to 0x50 and back) shared by the tests
// that read a project file.
class CliFile : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        shared = new TempFolder;
        const Outcome o = Cli(shared->Path(), "model=5,scene=i2c,text=Hi,addr=0x50",
                              {"capture", "-o", "i2c.pjf", "--time-div", "1uS"});
        ASSERT_EQ(o.code, 0) << o.err;
    }
    static void TearDownTestSuite()
    {
        delete shared;
        shared = nullptr;
    }
    static std::string Capture() { return shared->Path() + "/i2c.pjf"; }

    TempFolder here;
    static TempFolder *shared;
};
TempFolder *CliFile::shared = nullptr;

// --- Capture, then decode, as a lab script would --------------------------

struct Traffic
{
    const char *name;
    const char *device;
    std::vector<std::string> capture; // after "capture -o f.pjf"
    std::vector<std::string> decode;  // after "decode", before the file
    std::vector<std::string> rows;    // lines the CSV must hold
};

class CaptureAndDecode : public testing::TestWithParam<Traffic>
{
};

TEST_P(CaptureAndDecode, GivesThePagesRowsOfTheSceneSent)
{
    const Traffic &t = GetParam();
    TempFolder folder;
    std::vector<std::string> capture{"capture", "-o", "f.pjf"};
    capture.insert(capture.end(), t.capture.begin(), t.capture.end());
    const Outcome c = Cli(folder.Path(), t.device, capture);
    ASSERT_EQ(c.code, 0) << c.err;
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(c.err, ""); // no terminal: no progress line

    std::vector<std::string> decode{"decode"};
    decode.insert(decode.end(), t.decode.begin(), t.decode.end());
    decode.push_back("f.pjf");
    const Outcome d = Cli(folder.Path(), t.device, decode);
    ASSERT_EQ(d.code, 0) << d.err;
    for (const std::string &row : t.rows)
        EXPECT_NE(d.out.find("\r\n" + row + "\r\n"), std::string::npos) << row << "\n" << d.out;

    // -o writes the same text to a file and nothing to standard output.
    decode.insert(decode.end() - 1, {"-o", "rows.csv"});
    const Outcome f = Cli(folder.Path(), t.device, decode);
    EXPECT_EQ(f.code, 0);
    EXPECT_EQ(f.out, "");
    EXPECT_EQ(Slurp(folder.Path() + "/rows.csv"), d.out);
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, CaptureAndDecode,
    testing::Values(Traffic{"I2C",
                            "model=5,scene=i2c,text=Hi,addr=0x50",
                            {"--time-div", "1uS"},
                            {"i2c"},
                            {"0,SP,50(h),280.040uS ,,W,2,48(h) 69(h) ",
                             "1,SP,50(h),280.040uS ,105uS ,R,2,48(h) 69(h) "}},
                    Traffic{"SPI",
                            "model=5,scene=spi,text=Hi",
                            {"--time-div", "1uS"},
                            {"spi"},
                            {"MOSI,2,0bit,2,48(h) 69(h) ,160uS ,270uS ,120uS ",
                             "MISO,2,0bit,2,69(h) 48(h) ,160uS ,270uS ,120uS "}},
                    Traffic{"UART",
                            "model=5,scene=uart,text=Hi,baud=115200",
                            {"--rate", "25MHz", "--pattern1", "CH4=F"},
                            {"uart", "--channel", "CH4", "--baud", "115200", "--text", "hex"},
                            {"1,0x48,None,Packet OK,13uS", "2,0x69,None,Packet OK,108.480uS"}},
                    // Rates of no list: any whole number of baud or bit/s.
                    Traffic{"UARTAtACustomRate",
                            "model=5,scene=uart,text=Hi,baud=921600",
                            {"--rate", "25MHz", "--pattern1", "CH4=F"},
                            {"uart", "--channel", "4", "--baud", "921,600", "--text", "hex"},
                            {"2,0x48,None,Packet OK,105.960uS", "3,0x69,None,Packet OK,117.880uS"}},
                    Traffic{"CANAtACustomRate",
                            "model=8,scene=can,data=4869,bitrate=33333",
                            {"--time-div", "10uS", "--pattern1", "CH5=F"},
                            {"can", "--channel", "5", "--rate", "33333"},
                            {"123,,0,0,2,\"48 , 69 , \",1FFC,01,OK"}},
                    Traffic{"CAN",
                            "model=8,scene=can,data=4869,bitrate=125000",
                            {"--time-div", "2.5uS", "--pattern1", "CH5=F"},
                            {"can", "--channel", "5", "--rate", "125,000"},
                            {"123,,0,0,2,\"48 , 69 , \",1FFC,01,OK"}}),
    [](const auto &p) { return std::string(p.param.name); });

// --- What a capture writes ----------------------------------------------------

TEST(CliCapture, WritesTheOptionsIntoAProjectFileTheAnalyzerProgramReads)
{
    TempFolder folder;
    const Outcome c = Cli(folder.Path(), "model=6,scene=counter",
                          {"capture", "-o", "c.pjf", "--time-div", "10uS", "--depth", "64k",
                           "--position", "20", "--pattern1", "CH0=R,CH1=H", "--counter", "2",
                           "--threshold", "2.5", "--threshold", "2=-1.3", "--delay", "2us"});
    ASSERT_EQ(c.code, 0) << c.err;
    ProjectFile::Contents contents;
    ASSERT_EQ(ProjectFile::Read(folder.Path() + "/c.pjf", contents), ProjectFile::Error::None);
    EXPECT_EQ(contents.modelCode, 6);

    const Outcome info = Cli(folder.Path(), "", {"info", "c.pjf"});
    ASSERT_EQ(info.code, 0) << info.err;
    for (const char *line :
         {"Model:            6 PC-Based LA 100MHz/4ns(32CH)\n", "Time/div:         10uS\n",
          "Depth:            64k, 64000 samples\n", "Trigger position: 20% / 80%\n",
          "Pattern 1:        XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXHR (CH31 .. CH0)\n",
          "Trigger counter:  2\n", "Delay:            2.000us\n",
          "Thresholds:       port 1 2.5 V, port 2 -1.3 V\n", ", confirmed\n"})
        EXPECT_NE(info.out.find(line), std::string::npos) << line << info.out;
}

class EveryModel : public testing::TestWithParam<int>
{
};

// The block models and the two run-parameter-image models alike.
TEST_P(EveryModel, CapturesAWholeMemory)
{
    const int model = GetParam();
    TempFolder folder;
    const std::string device = "model=" + std::to_string(model) + ",polls=2";
    const Outcome c =
        Cli(folder.Path(), device,
            {"capture", "-o", "m.pjf", "--model", std::to_string(model), "--pattern1", "CH0=R"});
    ASSERT_EQ(c.code, 0) << c.err;
    ProjectFile::Contents contents;
    ASSERT_EQ(ProjectFile::Read(folder.Path() + "/m.pjf", contents), ProjectFile::Error::None);
    EXPECT_EQ(contents.samples.size(), ModelTable::Model(model).memorySize);
}

INSTANTIATE_TEST_SUITE_P(Models, EveryModel, testing::Values(2, 3, 9, 10));

TEST(CliCapture, TheDemoModelNeedsNoAnalyzer)
{
    TempFolder folder;
    const Outcome c = Cli(folder.Path(), "demo", {"capture", "--model", "demo", "-o", "d.pjf"});
    ASSERT_EQ(c.code, 0) << c.err;
    const Outcome info = Cli(folder.Path(), "demo", {"info", "d.pjf"});
    EXPECT_NE(info.out.find("Model:            0 Demo\n"), std::string::npos) << info.out;
}

// --- Devices ----------------------------------------------------------------

TEST(CliDevices, ListsEveryDeviceWithTheModelItsIdentityNames)
{
    TempFolder folder;
    const Outcome o = Cli(folder.Path(), "model=1/9/10,foreign=1", {"devices"});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(Lines(o.out), 4) << o.out;
    EXPECT_NE(o.out.find("Device0 04b4:"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find(" not an analyzer\n"), std::string::npos);
    EXPECT_NE(o.out.find("Device1 04b4:1010 model 1 \"Logic Analyzer 200MHz/4ns\", identity "
                         "\"Version:1."),
              std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("Device2 04b4:1010 model 9 "), std::string::npos);
    EXPECT_NE(o.out.find("Device3 04b4:1010 model 10 "), std::string::npos);

    // capture --device takes the index the list shows.
    const Outcome c =
        Cli(folder.Path(), "model=1/9/10,foreign=1", {"capture", "-d", "2", "-o", "nine.pjf"});
    ASSERT_EQ(c.code, 0) << c.err;
    const Outcome info = Cli(folder.Path(), "", {"info", "nine.pjf"});
    EXPECT_NE(info.out.find("Model:            9 "), std::string::npos) << info.out;
}

// --- Export -------------------------------------------------------------------

TEST_F(CliFile, ExportsAValueChangeDumpOfEverySample)
{
    const Outcome e = Cli(here.Path(), "", {"export", Capture(), "-o", "a.vcd"});
    ASSERT_EQ(e.code, 0) << e.err;
    const VcdReaderForTest vcd = VcdReaderForTest::Parse(Slurp(here.Path() + "/a.vcd"));
    ASSERT_EQ(vcd.Error, "");
    EXPECT_EQ(vcd.TimescalePs, 10000u); // 40 ns a sample: 4 units of 10 ns
    ASSERT_EQ(vcd.Vars.size(), 16u);    // the capture listed every channel

    CliSession session;
    ASSERT_EQ(session.Load(Capture()), "");
    const CaptureWindow window = session.Window();
    EXPECT_EQ(vcd.LastTime, uint64_t{window.Count} * 4);
    const auto values = vcd.Samples(window.Count, 4);
    std::vector<const std::vector<uint64_t> *> channel;
    for (int c = 0; c < 16; ++c)
        channel.push_back(&values.at((c < 10 ? "CH0" : "CH") + std::to_string(c)));
    int wrong = 0;
    window.ForEachWord([&](uint32_t n, uint32_t word) {
        for (int c = 0; c < 16; ++c)
            wrong += (*channel[static_cast<size_t>(c)])[n] != ((word >> c) & 1u);
    });
    EXPECT_EQ(wrong, 0);
    // SCL and SDA change; the 14 idle channels appear only in the first dump.
    EXPECT_GT(vcd.Changes.size(), 100u);
    for (const auto &c : vcd.Changes) {
        if (c.Id != vcd.Vars[0].Id && c.Id != vcd.Vars[1].Id) {
            EXPECT_EQ(c.Time, 0u) << c.Id;
        }
    }
}

TEST_F(CliFile, ReadsAValueChangeDumpWhereverItReadsAProject)
{
    ASSERT_EQ(Cli(here.Path(), "", {"export", Capture(), "-o", "a.vcd"}).code, 0);
    const Outcome info = Cli(here.Path(), "", {"info", "a.vcd"});
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_EQ(info.err, "");
    for (const char *line : {"Trigger position: 0% / 100%\n", "Trigger sample:   0 of 512000",
                             "Trigger:          placed at the first sample"})
        EXPECT_NE(info.out.find(line), std::string::npos) << line << info.out;

    // Changes off the grid of the finest period are told on standard error.
    std::ofstream(here.Path() + "/odd.vcd") << "$timescale 1 ns $end $var wire 1 ! a $end "
                                               "$enddefinitions $end #0 0! #33 1! #66 0!\n";
    const Outcome odd = Cli(here.Path(), "", {"export", "odd.vcd", "-o", "odd.csv"});
    EXPECT_EQ(odd.code, 0);
    EXPECT_EQ(odd.err, "tracemoor-cli: odd.vcd: The changes are 33 ns apart, which is no multiple "
                       "of a sample period: sampled every 2 ns, each change at the next "
                       "sample.\n");
}

TEST_F(CliFile, ExportsCsvRowsFromTheTriggerTime)
{
    const Outcome e = Cli(here.Path(), "", {"export", Capture(), "-o", "a.csv", "--changes"});
    ASSERT_EQ(e.code, 0) << e.err;
    const std::string csv = Slurp(here.Path() + "/a.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "Sample,Time (s),CH00,CH01,CH02,CH03,CH04,CH05,CH06,CH07,CH08,CH09,CH10,CH11,"
              "CH12,CH13,CH14,CH15");
    // 512k samples, half before the trigger, 40 ns each.
    EXPECT_EQ(csv.substr(csv.find("\r\n") + 2, 11), "0,-0.01024,");
}

// --- Exit codes and the one line on standard error --------------------------------

struct Failure
{
    const char *name;
    const char *device;
    std::vector<std::string> args;
    int code;
    const char *message; // part of the error line
};

class CliFailure : public CliFile, public testing::WithParamInterface<Failure>
{
};

TEST_P(CliFailure, EndsWithItsCodeAndOneLine)
{
    const Failure &f = GetParam();
    // Bad files to refuse, and the shared capture as "capture.pjf".
    std::ofstream(here.Path() + "/short.pjf", std::ios::binary) << std::string(10, '\5');
    std::ofstream(here.Path() + "/zeros.pjf", std::ios::binary)
        << '\5' << std::string(ProjectFile::FileSize(5) - 1, '\0');
    std::vector<std::string> args = f.args;
    for (std::string &a : args)
        if (a == "capture.pjf")
            a = Capture();
    const Outcome o = Cli(here.Path(), f.device, args);
    EXPECT_EQ(o.code, f.code) << o.err;
    EXPECT_EQ(Lines(o.err), 1) << o.err;
    EXPECT_EQ(o.err.rfind("tracemoor-cli: ", 0), 0u) << o.err;
    EXPECT_NE(o.err.find(f.message), std::string::npos) << o.err;
    EXPECT_FALSE(std::ifstream(here.Path() + "/x.pjf")) << "a failed capture wrote its file";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliFailure,
    testing::Values(
        Failure{"NoCommand", "model=5", {}, 1, "a command is needed"},
        Failure{"UnknownCommand", "model=5", {"frobnicate"}, 1, "unknown command frobnicate"},
        Failure{"UnknownOption",
                "model=5",
                {"capture", "-o", "x.pjf", "--bogus"},
                1,
                "unknown option --bogus"},
        Failure{"OptionWithoutValue", "model=5", {"capture", "-o"}, 1, "needs a value"},
        Failure{"NoOutput", "model=5", {"capture"}, 1, "-o FILE.pjf"},
        Failure{"UnknownModel",
                "model=5",
                {"capture", "-o", "x.pjf", "--model", "42"},
                1,
                "no such model"},
        Failure{"DepthTheModelLacks",
                "model=3",
                {"capture", "-o", "x.pjf", "--depth", "256k"},
                1,
                "offers Auto, 1k, 2k"},
        Failure{"BadPattern",
                "model=5",
                {"capture", "-o", "x.pjf", "--pattern1", "CH0=Q"},
                1,
                "none of L, H, F, R, X"},
        Failure{"NoAnalyzer", "demo", {"capture", "-o", "x.pjf"}, 2, "no analyzer found"},
        Failure{
            "NotOpenToThisUser", "model=5,noaccess", {"capture", "-o", "x.pjf"}, 2, "udev rule"},
        Failure{"AnotherModel",
                "model=5",
                {"capture", "-o", "x.pjf", "--model", "3"},
                2,
                "the analyzer is model 5"},
        Failure{"Busy",
                "model=5,busy=1000000",
                {"capture", "-o", "x.pjf", "--timeout", "0.3"},
                2,
                "busy"},
        Failure{"LinkFailure",
                "model=5,linkfail=StartCapture",
                {"capture", "-o", "x.pjf"},
                2,
                "link failure"},
        Failure{"TransferTimeOut",
                "model=5,timeout=ReadBlock",
                // Long enough to reach the first ReadBlock on a loaded machine.
                {"capture", "-o", "x.pjf", "--timeout", "1.5"},
                2,
                "transfers failed"},
        Failure{"Removed",
                "model=5,unplug=ReadBlock",
                {"capture", "-o", "x.pjf"},
                2,
                "the analyzer is gone"},
        Failure{"DamagedBlocks",
                "model=5,corrupt",
                {"capture", "-o", "x.pjf", "--timeout", "1.5"},
                2,
                "failed their check"},
        Failure{"IdentityCutShort",
                "model=5,short=Identify:10",
                {"capture", "-o", "x.pjf"},
                2,
                "identity names no known model"},
        Failure{"NoTrigger",
                "model=5,scene=i2c",
                {"capture", "-o", "x.pjf", "--pattern1", "CH7=R", "--timeout", "0.5"},
                3,
                "no trigger"},
        Failure{"MissingFile", "", {"info", "missing.pjf"}, 2, "missing.pjf: "},
        Failure{"MissingDump", "", {"info", "missing.vcd"}, 2, "cannot be read"},
        Failure{"ShortFile", "", {"decode", "i2c", "short.pjf"}, 2, "short.pjf: "},
        Failure{"BadBlock", "", {"export", "zeros.pjf", "-o", "z.vcd"}, 2, "zeros.pjf: "},
        Failure{"NoAnalyzerListed", "demo", {"devices"}, 3, "no analyzer found"},
        Failure{"NoRowsDecoded",
                "",
                {"decode", "can", "--channel", "5", "capture.pjf"},
                3,
                "no rows decoded"},
        Failure{"ParityWithEightBits",
                "",
                {"decode", "uart", "--parity", "even", "capture.pjf"},
                1,
                "no room"},
        Failure{"ChannelTheModelLacks",
                "",
                {"decode", "i2c", "--scl", "16", "capture.pjf"},
                1,
                "0 .. 15"},
        Failure{"BaudRateBelowFifty",
                "",
                {"decode", "uart", "--baud", "49", "capture.pjf"},
                1,
                "--baud 49: a whole number from 50 to 10000000"},
        Failure{"BitRateAboveOneMillion",
                "",
                {"decode", "can", "--rate", "1000001", "capture.pjf"},
                1,
                "--rate 1000001: a whole number from 1000 to 1000000"},
        Failure{"ChannelNameTheCaptureLacks",
                "",
                {"decode", "uart", "--channel", "TXD", "capture.pjf"},
                1,
                "a name of its signals: CH00 (CH0), CH01 (CH1), "},
        Failure{"ExportWithoutFormat",
                "",
                {"export", "capture.pjf", "-o", "x.txt"},
                1,
                ".vcd, .csv or .sr"}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(CliHelp, EverySubcommandHasItsHelp)
{
    TempFolder folder;
    for (const std::vector<std::string> &args :
         std::vector<std::vector<std::string>>{{"--help"},
                                               {"devices", "--help"},
                                               {"capture", "--help"},
                                               {"info", "-h"},
                                               {"decode", "--help"},
                                               {"decode", "i2c", "--help"},
                                               {"decode", "spi", "--help"},
                                               {"decode", "uart", "--help"},
                                               {"decode", "can", "--help"},
                                               {"export", "--help"}}) {
        const Outcome o = Cli(folder.Path(), "demo", args);
        EXPECT_EQ(o.code, 0) << args[0];
        EXPECT_EQ(o.out.rfind("Usage: tracemoor-cli", 0), 0u) << o.out;
        EXPECT_EQ(o.err, "");
    }
}

} // namespace
