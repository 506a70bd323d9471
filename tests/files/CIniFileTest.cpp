#include "files/CIniFile.h"

#include <gtest/gtest.h>

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
        path = testing::TempDir() + "/ini_" +
               testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
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
