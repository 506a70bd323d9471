// The waveform layers of a few known captures compared with stored pictures
// (tests/display/data/images/<name>.png): zoomed in, compressed with activity
// and a bus, bus ramps on a white background, the ruler, and cursor lines.
//
// The layers are drawn with integer arithmetic and a built-in font, so the
// same code gives the same pixels everywhere; the tolerance (at most
// MaxDifferingPixels pixels off by more than ChannelDelta) absorbs a stray
// pixel but never a missing digit or a moved edge column (both are at least
// eight pixels at these row heights).
//
// On a mismatch <name>.new.png and <name>.diff.png (differing pixels in
// magenta over the dimmed stored picture) go to TRACEMOOR_IMAGE_OUTPUT, or to
// the working folder. TRACEMOOR_ACCEPT_IMAGES=1 writes the stored pictures
// instead (scripts/accept-images.sh).

#include "display/CWaveformDrawing.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/WCursor.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace {

constexpr int ChannelDelta = 8;
constexpr int MaxDifferingPixels = 4;
constexpr uint32_t Start = 0x2000; // ring address of sample 0
constexpr int RowHeight = 24;

struct Difference
{
    bool SameSize = false;
    int Pixels = 0; // pixels off by more than ChannelDelta in some channel
    QImage Picture; // the stored picture dimmed, differing pixels in magenta
};

Difference Compare(const QImage &stored, const QImage &drawn)
{
    Difference d;
    d.SameSize = stored.size() == drawn.size();
    if (!d.SameSize)
        return d;
    const QImage a = stored.convertToFormat(QImage::Format_RGB32);
    const QImage b = drawn.convertToFormat(QImage::Format_RGB32);
    d.Picture = QImage(a.size(), QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y) {
        const auto *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(d.Picture.scanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const bool off = std::abs(qRed(pa[x]) - qRed(pb[x])) > ChannelDelta ||
                             std::abs(qGreen(pa[x]) - qGreen(pb[x])) > ChannelDelta ||
                             std::abs(qBlue(pa[x]) - qBlue(pb[x])) > ChannelDelta;
            d.Pixels += off;
            out[x] = off ? qRgb(255, 0, 255)
                         : qRgb(qRed(pa[x]) / 4, qGreen(pa[x]) / 4, qBlue(pa[x]) / 4);
        }
    }
    return d;
}

// The first `rows` rows of a layer, copied out of the bitmap's own pixels.
QImage Top(TBitmap &b, int rows)
{
    const QImage wrapped(reinterpret_cast<uchar *>(b.Bits().data()), b.Width(), b.Height(),
                         b.BytesPerLine(), QImage::Format_RGB32);
    return wrapped.copy(0, 0, b.Width(), rows);
}

void ExpectStoredPicture(const QString &name, const QImage &drawn)
{
    const QString stored = QStringLiteral(TRACEMOOR_TEST_DATA "/images/") + name + ".png";
    if (qEnvironmentVariable("TRACEMOOR_ACCEPT_IMAGES") == "1") {
        QDir().mkpath(QStringLiteral(TRACEMOOR_TEST_DATA "/images"));
        ASSERT_TRUE(drawn.save(stored, "PNG", 0)) << stored.toStdString();
        std::printf("accepted %s\n", qPrintable(stored));
        return;
    }
    const QImage expected(stored);
    const Difference d = Compare(expected, drawn);
    if (d.SameSize && d.Pixels <= MaxDifferingPixels)
        return;

    const QString env = qEnvironmentVariable("TRACEMOOR_IMAGE_OUTPUT");
    const QDir out(env.isEmpty() ? QDir::currentPath() : env);
    out.mkpath(".");
    const QString fresh = out.absoluteFilePath(name + ".new.png");
    drawn.save(fresh, "PNG");
    QString report = QStringLiteral("drawn picture: %1\n").arg(fresh);
    if (expected.isNull()) {
        report += QStringLiteral("no stored picture %1 (TRACEMOOR_ACCEPT_IMAGES=1 writes it)")
                      .arg(stored);
    } else if (!d.SameSize) {
        report += QStringLiteral("stored %1 is %2 x %3, drawn %4 x %5")
                      .arg(stored)
                      .arg(expected.width())
                      .arg(expected.height())
                      .arg(drawn.width())
                      .arg(drawn.height());
    } else {
        const QString diff = out.absoluteFilePath(name + ".diff.png");
        d.Picture.save(diff, "PNG");
        report += QStringLiteral("%1 pixels differ from %2 (at most %3 may); differences: %4")
                      .arg(d.Pixels)
                      .arg(stored)
                      .arg(MaxDifferingPixels)
                      .arg(diff);
    }
    ADD_FAILURE() << report.toStdString();
}

TEST(PictureComparison, CountsOnlyPixelsBeyondTheChannelDelta)
{
    QImage stored(40, 10, QImage::Format_RGB32);
    stored.fill(qRgb(0, 0, 0));
    QImage drawn = stored;
    drawn.setPixel(1, 1, qRgb(ChannelDelta, 0, ChannelDelta)); // within the delta
    for (int x = 0; x < 5; ++x)
        drawn.setPixel(10 + x, 5, qRgb(0, ChannelDelta + 1, 0));
    const Difference d = Compare(stored, drawn);
    EXPECT_TRUE(d.SameSize);
    EXPECT_EQ(d.Pixels, 5);
    EXPECT_EQ(d.Picture.pixel(12, 5), qRgb(255, 0, 255));
    EXPECT_EQ(d.Picture.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_FALSE(Compare(stored, stored.copy(0, 0, 40, 9)).SameSize);
}

class WaveformImages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        system.SelectModel(1); // 32 channels, 4 ns per sample at rate row 0
        std::fill(system.SampleBuffer.begin(), system.SampleBuffer.end(), 0);
        record = std::make_unique<CCaptureRecord>(system, settings);
        view = std::make_unique<CWaveformDrawing>(system, settings, *record);
        record->SetTriggerPosition(5); // trigger sample in the middle of the record
        record->RecordStart = Start;
        record->CaptureValid = 1;
    }

    // A record of `depth` samples, sample n being word(n).
    void Capture(uint32_t depth, const std::function<uint32_t(uint32_t)> &word)
    {
        record->DepthSamples = depth;
        for (uint32_t n = 0; n < depth; ++n) {
            const uint32_t w = word(n);
            std::memcpy(system.SampleBuffer.data() + record->SampleAddress(n), &w, 4);
        }
    }

    // Bus b (row 32 + b): members most significant first, display base.
    void Bus(int b, std::initializer_list<uint16_t> members)
    {
        SignalEntry &e = settings.BusEntry[static_cast<size_t>(b)];
        e.BitCount = static_cast<uint16_t>(members.size());
        std::copy(members.begin(), members.end(), e.Members.begin());
    }

    // The signal list, every row RowHeight pixels high. Buses first (Bus).
    void List(std::initializer_list<uint8_t> order)
    {
        settings.DisplayOrder.fill(64);
        std::copy(order.begin(), order.end(), settings.DisplayOrder.begin());
        view->RefreshRowTable();
        rows.clear();
        for (uint8_t r : order)
            rows.push_back({r, static_cast<int>(rows.size()) * RowHeight, RowHeight});
    }

    void Zoom(int timeDivRow)
    {
        view->TimeDivIndex = static_cast<int16_t>(timeDivRow);
        view->RateIndex = 0;
    }

    WSystem system;
    CFile settings;
    std::unique_ptr<CCaptureRecord> record;
    std::unique_ptr<CWaveformDrawing> view;
    std::vector<CWaveformDrawing::ListRow> rows;
    WCursor cursors; // the trigger cursor alone unless a test adds some
};

TEST_F(WaveformImages, ZoomedInCounterWithLevelTexts)
{
    // 20 pixels per sample: about 51 samples around the trigger sample 500;
    // at sample 512 channels 2..7 fall together (240 pixels right of the
    // trigger column).
    Capture(1000, [](uint32_t n) { return n; });
    List({0, 1, 2, 3, 4, 5, 6, 7});
    Zoom(0);
    view->GridStyle = 2;
    ASSERT_TRUE(view->DrawLayers(rows, &cursors));
    ASSERT_EQ(view->PixelsPerSample, 20u);
    ExpectStoredPicture("zoomed_counter", Top(view->DisplayLayer, 8 * RowHeight + 8));
}

TEST_F(WaveformImages, CompressedActivityAndHexadecimalBus)
{
    // Five samples a column: channel 0 changes within every column (a solid
    // activity band), channel 3 within five columns of eight, channel 5 every
    // 6.4 columns, channel 7 every 25.6; the bus (channels 15..8) takes the
    // next value every 51.2 columns.
    Capture(8000, [](uint32_t n) { return n; });
    Bus(0, {15, 14, 13, 12, 11, 10, 9, 8});
    List({0, 3, 5, 7, 32});
    view->SetDisplayBase(32, Graphics_Waveform::Hexadecimal);
    Zoom(6);
    view->GridStyle = 2;
    ASSERT_TRUE(view->DrawLayers(rows, &cursors));
    ASSERT_EQ(view->SamplesPerPixel, 5u);
    ExpectStoredPicture("compressed_bus", Top(view->DisplayLayer, 5 * RowHeight + 8));
}

TEST_F(WaveformImages, BusRampsAndBinaryTextsOnWhite)
{
    // 4 pixels per sample, every value held 25 samples (100 columns). Bus 0
    // (channels 3..0) walks through all-ones and zero runs between others;
    // bus 1 (channels 7..4) counts in binary.
    static constexpr uint32_t Walk[] = {0x0, 0xF, 0x5, 0xF, 0x0, 0xA, 0x0, 0xF};
    Capture(1000, [](uint32_t n) { return Walk[n / 25 % 8] | (n / 25 % 16) << 4; });
    Bus(0, {3, 2, 1, 0});
    Bus(1, {7, 6, 5, 4});
    List({0, 3, 32, 33});
    view->SetDisplayBase(33, Graphics_Waveform::Binary);
    Zoom(2);
    view->GridStyle = 3;
    view->BackgroundColour = 0xFFFFFF;
    view->ForegroundColour = 0x000000;
    ASSERT_TRUE(view->DrawLayers(rows, &cursors));
    ASSERT_EQ(view->PixelsPerSample, 4u);
    ExpectStoredPicture("bus_ramps_white", Top(view->DisplayLayer, 4 * RowHeight + 8));
}

TEST_F(WaveformImages, RulerAtALaterViewPositionOverTheGridTicks)
{
    // 50 ns per pixel, the view 1.5 us after the trigger sample: the ruler,
    // and under it the band of the layer's middle with the style-1 ticks.
    Capture(1000, [](uint32_t n) { return n; });
    List({});
    Zoom(7);
    view->GridStyle = 1;
    view->SetViewPosition(WTime::Of(0, 500, 1));
    view->DrawLayers(rows, nullptr);
    const int middle = view->PanelHeight / 2;
    QImage picture(CWaveformDrawing::RulerWidth, CWaveformDrawing::RulerHeight + 16,
                   QImage::Format_RGB32);
    QPainter p(&picture);
    p.drawImage(0, 0, Top(view->RulerImage, CWaveformDrawing::RulerHeight));
    p.drawImage(0, CWaveformDrawing::RulerHeight,
                Top(view->WaveformLayer, middle + 8).copy(0, middle - 8, picture.width(), 16));
    p.end();
    ExpectStoredPicture("ruler_view_position", picture);
}

TEST_F(WaveformImages, UserCursorLinesDottedAndSelectedSolid)
{
    // 10 ns per pixel: cursor A 1 us before the trigger column (dotted, no
    // longer selected), cursor B 2 us after it (selected, solid, drawn last),
    // the trigger cursor's red line between them.
    Capture(8000, [](uint32_t n) { return n; });
    List({2, 7});
    Zoom(5);
    view->GridStyle = 0;
    ASSERT_NE(cursors.AddCursor(WTime::Of(0, 0, 1, 0, 0, 0)).Added, nullptr);
    ASSERT_NE(cursors.AddCursor(WTime::Of(0, 0, 2)).Added, nullptr);
    ASSERT_TRUE(view->DrawLayers(rows, &cursors));
    ExpectStoredPicture("user_cursors", Top(view->DisplayLayer, 2 * RowHeight + 16));
}

} // namespace
