// sigrok session files: rates as sigrok writes them, a trace written and read
// back (names, rate, every sample, an import when it is long), a session at a
// rate no analyzer has, and archives that must be refused with a reason.

#include "files/SigrokSession.h"

#include "device/CFile.h"
#include "device/WSystem.h"

#include <zip.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Rate
{
    uint64_t hertz;
    const char *text;
};

class SessionRate : public testing::TestWithParam<Rate>
{
};

TEST_P(SessionRate, IsWrittenAndReadAsSigrokSpellsIt)
{
    EXPECT_EQ(SigrokSession::RateText(GetParam().hertz), GetParam().text);
    EXPECT_EQ(SigrokSession::RateOf(GetParam().text), GetParam().hertz);
}

INSTANTIATE_TEST_SUITE_P(Cases, SessionRate,
                         testing::Values(Rate{1000000, "1 MHz"}, Rate{24000000, "24 MHz"},
                                         Rate{2500000, "2500 kHz"}, Rate{250, "250 Hz"},
                                         Rate{1000000000, "1 GHz"}, Rate{20000, "20 kHz"}));

TEST(SessionRate, TakesDecimalsAndRefusesOtherTexts)
{
    EXPECT_EQ(SigrokSession::RateOf("1.5 MHz"), 1500000u);
    EXPECT_EQ(SigrokSession::RateOf("500"), 500u);
    EXPECT_EQ(SigrokSession::RateOf("fast"), 0u);
    EXPECT_EQ(SigrokSession::RateOf("3 THz"), 0u);
    EXPECT_EQ(SigrokSession::RateOf(""), 0u);
}

uint32_t Word(const VcdReader::Result &r, size_t n)
{
    uint32_t w = 0;
    std::memcpy(&w, r.Contents.samples.data() + 4 * n, 4);
    return w;
}

CFile RecordOf(const VcdReader::Result &r)
{
    CFile f;
    f.ModelCode = r.Contents.modelCode;
    f.BlockBuffer = r.Contents.block;
    EXPECT_TRUE(f.ParseBlock());
    return f;
}

SampleTrace Trace(size_t samples, uint64_t periodPs)
{
    SampleTrace t;
    t.PeriodPs = periodPs;
    t.Signals.push_back({"SCL", {0}});
    t.Signals.push_back({"SDA", {1}});
    t.Signals.push_back({"nib", {5, 4, 3, 2}});
    for (size_t i = 0; i < samples; ++i)
        t.Words.push_back(static_cast<uint32_t>((i / 10) & 1) |
                          static_cast<uint32_t>((i / 37) % 2) << 1 |
                          static_cast<uint32_t>((i / 100) % 16) << 2);
    return t;
}

TEST(SigrokSession, ATraceComesBackWithItsNamesRateAndSamples)
{
    const SampleTrace t = Trace(5000, 20000); // 50 MHz: a rate of every model
    const std::vector<uint8_t> archive = SigrokSession::Archive(t);
    ASSERT_FALSE(archive.empty());
    const VcdReader::Result r = SigrokSession::Parse(archive);
    ASSERT_EQ(r.Error, "");
    EXPECT_EQ(r.PeriodPs, 20000u);
    EXPECT_EQ(r.Samples, 5000u);
    EXPECT_EQ(r.SpacingNote, "");
    const CFile f = RecordOf(r);
    EXPECT_EQ(CFile::NameText(f.ChannelEntry[0]), "SCL");
    EXPECT_EQ(CFile::NameText(f.ChannelEntry[1]), "SDA");
    EXPECT_EQ(CFile::NameText(f.ChannelEntry[2]), "nib0");
    EXPECT_EQ(CFile::NameText(f.ChannelEntry[5]), "nib3");
    for (size_t n = 0; n < t.Words.size(); ++n)
        ASSERT_EQ(Word(r, n), t.Words[n]) << n;
}

TEST(SigrokSession, ALongSessionIsKeptWholeAsAnImport)
{
    const SampleTrace t = Trace(3000000, 40000); // more than any model's depth
    const VcdReader::Result r = SigrokSession::Parse(SigrokSession::Archive(t));
    ASSERT_EQ(r.Error, "");
    EXPECT_EQ(r.Samples, 3000000u);
    EXPECT_EQ(r.Contents.importSamples, 3000000u);
    EXPECT_EQ(r.Contents.samples.size(), size_t{16} << 20);
    EXPECT_TRUE(r.Notes.empty());
    EXPECT_EQ(Word(r, 2999999), t.Words.back());
}

TEST(SigrokSession, ARateNoAnalyzerHasIsResampledFiner)
{
    // 24 MHz (41.67 ns): sampled every 40 ns, each sample the session's
    // value at its time.
    SampleTrace t = Trace(2400, 1);
    std::vector<uint8_t> archive = SigrokSession::Archive(t);
    // Rewrite the rate the trace could not name.
    zip_error_t e;
    zip_source_t *src = zip_source_buffer_create(archive.data(), archive.size(), 0, &e);
    zip_source_keep(src);
    zip_t *z = zip_open_from_source(src, 0, &e);
    ASSERT_NE(z, nullptr);
    const std::string meta = "[device 1]\ncapturefile=logic-1\ntotal probes=8\n"
                             "samplerate=24 MHz\nprobe1=clk\nunitsize=1\n";
    zip_source_t *m = zip_source_buffer(z, meta.data(), meta.size(), 0);
    ASSERT_GE(zip_file_add(z, "metadata", m, ZIP_FL_OVERWRITE), 0);
    ASSERT_EQ(zip_close(z), 0);
    zip_stat_t st;
    ASSERT_EQ(zip_source_stat(src, &st), 0);
    ASSERT_EQ(zip_source_open(src), 0);
    archive.resize(static_cast<size_t>(st.size));
    ASSERT_EQ(zip_source_read(src, archive.data(), archive.size()),
              static_cast<zip_int64_t>(st.size));
    zip_source_close(src);
    zip_source_free(src);

    const VcdReader::Result r = SigrokSession::Parse(archive);
    ASSERT_EQ(r.Error, "");
    EXPECT_EQ(r.PeriodPs, 40000u);
    EXPECT_EQ(r.Samples, 2500u); // 100 us
    EXPECT_NE(r.SpacingNote.find("24 MHz"), std::string::npos) << r.SpacingNote;
    for (size_t n = 0; n < 2500; ++n)
        ASSERT_EQ(Word(r, n), t.Words[n * 40 * 24 / 1000] & 0xFF) << n;
    EXPECT_EQ(CFile::NameText(RecordOf(r).ChannelEntry[0]), "clk");
}

TEST(SigrokSession, RefusesWhatIsNoSessionWithItsReason)
{
    const std::string text = "no zip at all";
    const VcdReader::Result r = SigrokSession::Parse(
        std::span(reinterpret_cast<const uint8_t *>(text.data()), text.size()));
    EXPECT_NE(r.Error.find("no zip archive"), std::string::npos) << r.Error;
    EXPECT_TRUE(r.Contents.samples.empty());

    // A zip without metadata.
    zip_error_t e;
    zip_source_t *src = zip_source_buffer_create(nullptr, 0, 0, &e);
    zip_source_keep(src);
    zip_t *z = zip_open_from_source(src, ZIP_TRUNCATE, &e);
    ASSERT_NE(z, nullptr);
    zip_source_t *v = zip_source_buffer(z, "2", 1, 0);
    zip_file_add(z, "version", v, 0);
    ASSERT_EQ(zip_close(z), 0);
    zip_stat_t st;
    zip_source_stat(src, &st);
    std::vector<uint8_t> image(static_cast<size_t>(st.size));
    zip_source_open(src);
    zip_source_read(src, image.data(), image.size());
    zip_source_close(src);
    zip_source_free(src);
    EXPECT_NE(SigrokSession::Parse(image).Error.find("no metadata"), std::string::npos);
}

TEST(SigrokSession, KnowsItsNames)
{
    EXPECT_TRUE(SigrokSession::IsSessionName("a/b.sr"));
    EXPECT_TRUE(SigrokSession::IsSessionName("B.SR"));
    EXPECT_FALSE(SigrokSession::IsSessionName("b.vcd"));
    EXPECT_FALSE(SigrokSession::IsSessionName("r"));
}

} // namespace

namespace {

// A session sigrok-cli 0.7.2 wrote (its demo device, 8 probes, 1 MHz, 2000
// samples).
TEST(SigrokSession, ReadsAFileSigrokWrote)
{
    const VcdReader::Result r =
        SigrokSession::Read(std::string(TRACEMOOR_TEST_DATA) + "/sigrok-demo-1MHz.sr");
    ASSERT_EQ(r.Error, "");
    EXPECT_EQ(r.PeriodPs, 1000000u);
    EXPECT_EQ(r.Samples, 2000u);
    EXPECT_TRUE(r.Notes.empty());
    const CFile f = RecordOf(r);
    EXPECT_EQ(CFile::NameText(f.ChannelEntry[0]), "D0");
    EXPECT_EQ(CFile::NameText(f.ChannelEntry[7]), "D7");
    struct At
    {
        size_t n;
        uint32_t word;
    };
    for (const At &a :
         {At{0, 217}, At{1, 182}, At{4, 205}, At{8, 190}, At{1001, 247}, At{1999, 255}})
        EXPECT_EQ(Word(r, a.n), a.word) << a.n;
}

} // namespace
