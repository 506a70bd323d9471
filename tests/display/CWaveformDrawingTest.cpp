// The waveform layers without a window: grid styles and the trigger mark,
// Auto Store piling captures, and what a redraw leaves out when there is
// nothing to show.

#include "display/CWaveformDrawing.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t Start = 0x2000;
constexpr TColor White = 0xFFFFFF;

class Drawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        system.SelectModel(1);
        std::fill(system.SampleBuffer.begin(), system.SampleBuffer.end(), 0);
        record = std::make_unique<CCaptureRecord>(system, settings);
        view = std::make_unique<CWaveformDrawing>(system, settings, *record);
        settings.DisplayOrder.fill(64);
        settings.DisplayOrder[0] = 0;
        view->RefreshRowTable();
        record->DepthSamples = 1000;
        record->SetTriggerPosition(5);
        record->RecordStart = Start;
        record->CaptureValid = 1;
        view->UpdateTimeBase();
    }

    void FillChannel0(bool high)
    {
        for (uint32_t s = 0; s < 1000; ++s)
            system.SampleBuffer[Start + 4 * s] = high ? 1 : 0;
    }

    // Pixels of the row's colour in the layer's column x.
    int RowPixels(int x) const
    {
        int n = 0;
        for (int y = 0; y < 60; ++y)
            n += view->WaveformLayer.Pixel(x, y) == view->Rows[0].Colour;
        return n;
    }

    WSystem system;
    CFile settings;
    std::unique_ptr<CCaptureRecord> record;
    std::unique_ptr<CWaveformDrawing> view;
    const std::vector<CWaveformDrawing::ListRow> rows{{0, 0, 40}};
};

struct GridCase
{
    int style;
    int x;
    int y;
    bool set;
};

TEST_F(Drawing, GridStylesAndTriggerMark)
{
    // Panel 1000 x 768 with the trigger at 50 %: mark tip (500, 7), middle 384.
    view->PanelWidth = 1000;
    const GridCase cases[] = {
        {0, 500, 7, true},   {0, 494, 1, true},    {0, 506, 1, true},    {0, 500, 386, false},
        {1, 500, 7, true},   {1, 500, 386, true},  {1, 500, 382, true},  {1, 500, 381, false},
        {1, 510, 386, true}, {1, 505, 386, false}, {1, 550, 374, false}, {2, 550, 374, true},
        {2, 450, 394, true}, {2, 549, 374, false}, {2, 550, 375, false}, {3, 548, 374, true},
        {3, 551, 374, true}, {3, 552, 374, false}, {3, 547, 374, false}, {3, 0, 384, true},
    };
    for (const GridCase &c : cases) {
        view->GridStyle = static_cast<uint16_t>(c.style);
        view->ClearLayer(view->WaveformLayer);
        view->DrawGrid();
        EXPECT_EQ(view->WaveformLayer.Pixel(c.x, c.y) == White, c.set)
            << "style " << c.style << " at (" << c.x << ", " << c.y << ")";
    }
}

// The grid drawn line by line and pixel by pixel on a plain canvas: ticks
// every 10 pixels from the middle of the width, division marks every 50
// pixels from the trigger column and every 10 pixels from the middle height.
void ReferenceGrid(TBitmap &b, int style, int w, int h, int t)
{
    TCanvas &c = b.Canvas();
    c.Pen = TPen{White, TPenStyle::Solid, 1};
    const TPoint triangle[] = {{t - 6, 1}, {t, 7}, {t + 6, 1}, {t - 6, 1}};
    c.Polyline(triangle);
    c.SetPixel(t - 6, 1, White);
    if (style == 0)
        return;
    const int middle = h / 2;
    for (int n = w / 2; n > 0; n -= 10) {
        c.MoveTo(n, middle + 2);
        c.LineTo(n, middle - 3);
    }
    for (int n = w / 2 + 10; n < w; n += 10) {
        c.MoveTo(n, middle + 2);
        c.LineTo(n, middle - 3);
    }
    if (style == 1)
        return;
    auto line = [&](int x) {
        for (int dy = 0; middle - dy >= 0 || middle + dy < h; dy += 10) {
            for (int y : {middle - dy, middle + dy}) {
                if (style == 2) {
                    c.SetPixel(x, y, White);
                } else {
                    c.MoveTo(x - 2, y);
                    c.LineTo(x + 2, y);
                }
            }
        }
    };
    for (int x = t; x >= 0; x -= 50)
        line(x);
    for (int x = t + 50; x < w; x += 50)
        line(x);
}

TEST_F(Drawing, GridIsTheOneDrawnLineByLine)
{
    struct Case
    {
        int style;
        int width; // panel
        int height;
        uint16_t pre; // trigger column share, percent
    };
    const Case cases[] = {
        {2, 1024, 768, 50}, {3, 1024, 768, 50}, {1, 1000, 700, 30}, {2, 333, 101, 90},
        {3, 1200, 900, 10}, {3, 57, 3, 100},    {2, 1, 1, 50},      {3, 0, 0, 0},
        {0, 1024, 768, 50}, {2, -5, 768, 50},
    };
    for (const Case &k : cases) {
        view->GridStyle = static_cast<uint16_t>(k.style);
        view->PanelWidth = k.width;
        view->PanelHeight = k.height;
        view->PreTriggerPercent = k.pre;
        view->ClearLayer(view->WaveformLayer);
        TBitmap expected(view->WaveformLayer.Width(), view->WaveformLayer.Height());
        // The pen starts elsewhere, and a dashed line drawn on from where the
        // grid leaves the pen shows that position and the dash pattern.
        view->WaveformLayer.Canvas().MoveTo(900, 600);
        expected.Canvas().MoveTo(900, 600);
        view->DrawGrid();
        const int w = std::clamp(k.width, 0, 1024);
        ReferenceGrid(expected, k.style, w, std::min(k.height, 768),
                      k.pre * std::max(k.width, 0) / 100);
        for (TCanvas *c : {&view->WaveformLayer.Canvas(), &expected.Canvas()}) {
            c->Pen = TPen{0x00FF00, TPenStyle::Dash, 1};
            c->LineTo(700, 760);
        }
        EXPECT_TRUE(view->WaveformLayer == expected)
            << "style " << k.style << ", panel " << k.width << " x " << k.height;
    }
}

TEST_F(Drawing, AutoStoreKeepsTheEarlierCapture)
{
    // A row cell of height 40 at the top: a high level is the line y = 6, a
    // low one the lines y = 39 and 40.
    view->TimeDivIndex = 0;
    view->RateIndex = 0;
    view->GridStyle = 0;
    const int x = 600;

    FillChannel0(true);
    view->DrawLayers(rows, nullptr);
    const int high = RowPixels(x);
    FillChannel0(false);
    view->DrawLayers(rows, nullptr);
    const int low = RowPixels(x);
    EXPECT_GT(high, 0);
    EXPECT_GT(low, 0);

    FillChannel0(true);
    view->DrawLayers(rows, nullptr);
    view->AutoStore = true;
    FillChannel0(false);
    view->DrawLayers(rows, nullptr);
    EXPECT_EQ(RowPixels(x), high + low);
}

TEST_F(Drawing, NothingButGridWithoutACaptureOrOutsideTheRecord)
{
    FillChannel0(true);
    view->GridStyle = 2;
    CWaveformDrawing empty(system, settings, *record);
    empty.GridStyle = 2;
    record->CaptureValid = 0;
    empty.DrawLayers({}, nullptr);

    EXPECT_FALSE(view->DrawLayers(rows, nullptr));
    EXPECT_TRUE(view->WaveformLayer == empty.WaveformLayer);

    record->CaptureValid = 1;
    view->SetViewPosition(Normalise(WTime::Of(0, 0, 0, 1, 0, 1))); // 1 ms after a 2 us record
    EXPECT_TRUE(view->DrawLayers(rows, nullptr));
    EXPECT_EQ(view->Placement.FirstColumn, CWaveformDrawing::ColumnCount);
    EXPECT_TRUE(view->WaveformLayer == empty.WaveformLayer);
    EXPECT_TRUE(view->DisplayLayer == view->WaveformLayer);
}

} // namespace
