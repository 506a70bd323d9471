#include "files/CIniFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class IniFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_'); // parameterized tests
        path = testing::TempDir() + "/ini_" + name + ".ini";
        std::remove(path.c_str());
    }
    void TearDown() override { std::remove(path.c_str()); }

    void Put(const std::string &content) const
    {
        std::ofstream(path, std::ios::binary) << content;
    }
    std::string Get() const
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string path;
};

using IniRead = IniFixture;
using IniWrite = IniFixture;

TEST_F(IniRead, EveryLineBreakEndsALine)
{
    for (const std::string eol : {"\n", "\r\n", "\r"}) {
        Put("[A]" + eol + "k=v" + eol + eol + "[B]" + eol + "x= 1 " + eol + "last=2");
        CIniFile ini(path);
        EXPECT_EQ(ini.ReadString("A", "k", "d"), "v") << eol.size();
        EXPECT_EQ(ini.ReadString("B", "x", "d"), "1") << eol.size();
        EXPECT_EQ(ini.ReadString("B", "last", "d"), "2") << eol.size();
        EXPECT_EQ(ini.ReadSection("B"), (std::vector<std::string>{"x", "last"})) << eol.size();
    }
    // LF then CR are two breaks: the empty line between them is no key.
    Put("[A]\n\rk=v\n\r");
    EXPECT_EQ(CIniFile(path).ReadString("A", "k", "d"), "v");
}

TEST_F(IniRead, FindsSectionsAndKeysWithoutRegardToCase)
{
    Put("; comment\n"
        "[Language]\n"
        "  File = localization_DE.lang  \n"
        "Quoted=\"  spaced  \"\n"
        "Single='x'\n"
        "Half=\"open\n"
        "Empty=\n"
        "NoEquals\n"
        "[history]\n"
        "LastFile=/home/a b/c.pjf\n"
        "[Language]\n"
        "File=second.lang\n"
        "Other=only-in-second\n");
    CIniFile ini(path);
    EXPECT_TRUE(ini.FileExists());
    EXPECT_EQ(ini.ReadString("language", "FILE", "d"), "localization_DE.lang");
    EXPECT_EQ(ini.ReadString("LANGUAGE", "quoted", "d"), "  spaced  ");
    EXPECT_EQ(ini.ReadString("Language", "Single", "d"), "x");
    EXPECT_EQ(ini.ReadString("Language", "Half", "d"), "\"open");
    EXPECT_EQ(ini.ReadString("Language", "Empty", "d"), "");
    EXPECT_EQ(ini.ReadString("Language", "NoEquals", "d"), "d");
    EXPECT_EQ(ini.ReadString("History", "LastFile", "d"), "/home/a b/c.pjf");
    // The first section of a name is the one that counts.
    EXPECT_EQ(ini.ReadString("Language", "Other", "d"), "d");
    EXPECT_EQ(ini.ReadString("Missing", "File", "dflt"), "dflt");
    EXPECT_TRUE(ini.SectionExists("HISTORY"));
    EXPECT_FALSE(ini.SectionExists("Model"));
    EXPECT_TRUE(ini.ValueExists("language", "empty"));
    EXPECT_EQ(ini.ReadSection("Language"),
              (std::vector<std::string>{"File", "Quoted", "Single", "Half", "Empty"}));
}

TEST_F(IniRead, MissingFileReadsAsEmpty)
{
    CIniFile ini(path);
    EXPECT_FALSE(ini.FileExists());
    EXPECT_EQ(ini.ReadString("Model", "Host", "1"), "1");
    EXPECT_EQ(ini.ReadInteger("Model", "Host", 7), 7);
    EXPECT_FALSE(ini.SectionExists("Model"));
}

TEST_F(IniRead, Integers)
{
    Put("[N]\na=42\nb=-17\nc= 0x1F \nd=$ff\ne=12abc\nf=\ng=99999999999\nh=+5\ni=0xFFFFFFFF\n");
    CIniFile ini(path);
    const std::pair<const char *, int32_t> cases[] = {
        {"a", 42}, {"b", -17}, {"c", 31}, {"d", 255}, {"e", -1},
        {"f", -1}, {"g", -1}, {"h", 5},   {"i", -1 /* all bits set */}, {"zz", -1}};
    for (const auto &[key, expected] : cases)
        EXPECT_EQ(ini.ReadInteger("n", key, -1), expected) << key;
    EXPECT_EQ(ini.ReadInteger("n", "a", -1), 42);
}

TEST_F(IniRead, GarbageIsReadWithoutHarm)
{
    std::string junk = "\xEF\xBB\xBF[A]\r\nk=v\r\n";
    for (int i = 0; i < 4096; ++i)
        junk.push_back(static_cast<char>((i * 7919) & 0xFF));
    junk += "\n[B\n]\n=novalue\n[]\nx=1\n[C]\nkey=\0zero\n";
    junk.push_back('\0');
    junk += "\n[D]\nlast=line-without-break";
    Put(junk);
    CIniFile ini(path);
    EXPECT_EQ(ini.ReadString("A", "k", "d"), "v");
    EXPECT_EQ(ini.ReadString("D", "last", "d"), "line-without-break");
    EXPECT_EQ(ini.ReadString("", "x", "d"), "1");

    Put("no sections at all\nkey=value\n");
    CIniFile flat(path);
    EXPECT_EQ(flat.ReadString("", "key", "d"), "d");
    EXPECT_EQ(flat.ReadString("any", "key", "d"), "d");
}

TEST_F(IniRead, TenMegabytesInReasonableTime)
{
    std::string big;
    big.reserve(10 << 20);
    big += "[Top]\nfirst=1\n";
    for (int i = 0; big.size() < (10u << 20); ++i)
        big += "[S" + std::to_string(i % 1000) + "]\nkey" + std::to_string(i) + "=some value\n";
    big += "[Bottom]\nlast=2\n";
    Put(big);
    const auto start = std::chrono::steady_clock::now();
    CIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Bottom", "last", "d"), "2");
    EXPECT_EQ(ini.ReadString("top", "FIRST", "d"), "1");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST_F(IniWrite, ChangesOnlyTheOneLine)
{
    const std::string before = "; settings\r\n"
                               "[Language]\r\n"
                               "File = old.lang ; trailing\r\n"
                               "\r\n"
                               "[History]\r\n"
                               "LastFile=/a.pjf\r\n";
    Put(before);
    CIniFile ini(path);
    ASSERT_TRUE(ini.WriteString("language", "file", "new.lang"));
    EXPECT_EQ(Get(), "; settings\r\n"
                     "[Language]\r\n"
                     "file=new.lang\r\n"
                     "\r\n"
                     "[History]\r\n"
                     "LastFile=/a.pjf\r\n");
    EXPECT_EQ(ini.ReadString("Language", "File", "d"), "new.lang");
}

TEST_F(IniWrite, AddsKeysAndSections)
{
    Put("[Language]\nFile=a.lang\n\n\n[History]\nLastFile=x\n");
    CIniFile ini(path);
    ASSERT_TRUE(ini.WriteString("Language", "Extra", "1"));
    ASSERT_TRUE(ini.WriteString("Model", "Host", "5"));
    EXPECT_EQ(Get(), "[Language]\nFile=a.lang\nExtra=1\n\n\n[History]\nLastFile=x\n"
                     "[Model]\nHost=5\n");

    // A last line without a break, and a section header at the very end.
    Put("[History]\nLastFile=x");
    CIniFile tail(path);
    ASSERT_TRUE(tail.WriteString("History", "Other", "y"));
    EXPECT_EQ(Get(), "[History]\nLastFile=x\nOther=y\n");
    Put("[Model]");
    CIniFile header(path);
    ASSERT_TRUE(header.WriteInteger("Model", "Host", 1));
    EXPECT_EQ(Get(), "[Model]\nHost=1\n");
}

struct LineEndCase
{
    const char *before;
    const char *after; // the file after writing [Model] Host=3F
};

class IniLineEnds : public IniFixture, public testing::WithParamInterface<LineEndCase>
{
};

TEST_P(IniLineEnds, AWrittenKeyReadsBackAndTheFileKeepsItsLineBreak)
{
    Put(GetParam().before);
    CIniFile ini(path);
    ASSERT_TRUE(ini.WriteString("Model", "Host", "3F"));
    EXPECT_EQ(Get(), GetParam().after);
    CIniFile fresh(path);
    EXPECT_EQ(fresh.ReadString("model", "HOST", ""), "3F");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, IniLineEnds, testing::Values(
    LineEndCase{"[Model]\nFoo=1", "[Model]\nFoo=1\nHost=3F\n"},
    // The last line ends in a bare CR.
    LineEndCase{"[Model]\r\nFoo=1\r", "[Model]\r\nFoo=1\rHost=3F\r\n"},
    // Old Mac line ends throughout.
    LineEndCase{"[Model]\rFoo=1\rBar=2\r", "[Model]\rFoo=1\rBar=2\rHost=3F\r"},
    LineEndCase{"[Model]\rHost=1\rBar=2", "[Model]\rHost=3F\rBar=2"},
    LineEndCase{"[Model]\r\nHost = 1 \r\n[X]\r\n", "[Model]\r\nHost=3F\r\n[X]\r\n"},
    LineEndCase{"[A]\rx=1", "[A]\rx=1\r[Model]\rHost=3F\r"},
    LineEndCase{"[A]\r\nx=1\r\n", "[A]\r\nx=1\r\n[Model]\r\nHost=3F\r\n"},
    LineEndCase{"\xEF\xBB\xBF", "\xEF\xBB\xBF[Model]\nHost=3F\n"},
    LineEndCase{"", "[Model]\nHost=3F\n"}));
// clang-format on

TEST_F(IniWrite, ValuesReadBackExactlyAsWritten)
{
    // clang-format off
    const char *values[] = {"  spaced  ", "\"quoted\"", "'x'", "a\tb", "", "tail\t", "\"",
                            "\"half", "C:\\new\\x.pjf", "=v", "; not a comment",
                            "[not a section]", "caf\xC3\xA9"};
    // clang-format on
    for (const char *v : values) {
        CIniFile ini(path);
        ASSERT_TRUE(ini.WriteString("History", "LastFile", v)) << v;
        EXPECT_EQ(CIniFile(path).ReadString("History", "LastFile", "d"), v) << v;
        EXPECT_EQ(CIniFile(path).ReadSection("History"), std::vector<std::string>{"LastFile"});
    }
    // A plain value is written as it is.
    EXPECT_EQ(Get(), "[History]\nLastFile=caf\xC3\xA9\n");
}

TEST_F(IniWrite, RefusesWhatWouldNotStayOnOneLine)
{
    Put("[Model]\nHost=1\n");
    const struct
    {
        const char *section;
        const char *key;
        std::string value;
        const char *why; // part of the error text
    } cases[] = {
        {"History", "LastFile", "/tmp/a\n[Model]\nHost=7", "line break"},
        {"History", "LastFile", "/tmp/a\rHost=7", "line break"},
        {"History", "LastFile", "x\r\n", "line break"},
        {"History", "LastFile", std::string("nul\0byte", 8), "control character"},
        {"History", "LastFile", "bell\a", "control character"},
        {"History", "LastFile", "del\x7F", "control character"},
        {"History", "a=b", "1", "key name"},
        {"History", ";k", "1", "key name"},
        {"History", "[k", "1", "key name"},
        {"History", "  ", "1", "key name"},
        {"History", "k\n", "1", "key name"},
        {"Hist]ory", "k", "1", "section name"},
        {"Hist\nory", "k", "1", "section name"},
    };
    for (const auto &c : cases) {
        CIniFile ini(path);
        EXPECT_FALSE(ini.WriteString(c.section, c.key, c.value)) << c.key;
        EXPECT_NE(ini.LastError().find(c.why), std::string::npos) << ini.LastError();
        EXPECT_NE(ini.LastError().find(path), std::string::npos) << ini.LastError();
        EXPECT_EQ(Get(), "[Model]\nHost=1\n") << c.key;
        ASSERT_TRUE(ini.WriteString("Model", "Host", "2"));
        EXPECT_EQ(ini.LastError(), "");
        ASSERT_TRUE(ini.WriteString("Model", "Host", "1"));
    }
}

TEST_F(IniWrite, CreatesAMissingFile)
{
    CIniFile ini(path);
    ASSERT_TRUE(ini.WriteString("History", "LastFile", ""));
    ASSERT_TRUE(ini.WriteString("Model", "Host", "1"));
    EXPECT_EQ(Get(), "[History]\nLastFile=\n[Model]\nHost=1\n");
    CIniFile again(path);
    EXPECT_EQ(again.ReadString("Model", "Host", "0"), "1");
}

TEST_F(IniWrite, SeesChangesMadeByAnotherWriter)
{
    Put("[A]\nx=1\n");
    CIniFile first(path);
    CIniFile second(path);
    ASSERT_TRUE(first.WriteString("A", "y", "2"));
    ASSERT_TRUE(second.WriteString("A", "z", "3"));
    EXPECT_EQ(Get(), "[A]\nx=1\ny=2\nz=3\n");
}

TEST_F(IniWrite, AFailedWriteLeavesNoTraceAndReportsIt)
{
    const std::string dir = testing::TempDir() + "/no_such_folder_for_ini";
    CIniFile ini(dir + "/System.ini");
    EXPECT_FALSE(ini.WriteString("Model", "Host", "1"));
    EXPECT_FALSE(ini.FileExists());
    EXPECT_EQ(ini.LastError(), dir + "/System.ini could not be written.");

    // No temporary files are left beside a good write either.
    Put("[A]\nx=1\n");
    CIniFile good(path);
    ASSERT_TRUE(good.WriteString("A", "x", "2"));
    const std::string base = path.substr(path.rfind('/') + 1);
    DIR *d = opendir(testing::TempDir().c_str());
    ASSERT_NE(d, nullptr);
    int siblings = 0;
    while (dirent *e = readdir(d))
        if (std::string(e->d_name).rfind(base + ".", 0) == 0)
            ++siblings;
    closedir(d);
    EXPECT_EQ(siblings, 0);
}

}  // namespace
