#include "display/CWaveformDrawing.h"

#include "device/WSystem.h"
#include "display/CursorMarkers.h"
#include "display/WCursor.h"

#include <algorithm>
#include <array>

CWaveformDrawing::CWaveformDrawing(const WSystem &system, CFile &settings, CCaptureRecord &record)
    : CWaveformCore(system, settings, record)
    , WaveformLayer(LayerWidth, DefaultLayerHeight)
    , DisplayLayer(LayerWidth, DefaultLayerHeight)
    , RulerImage(RulerWidth, RulerHeight, RulerBackground)
{
    texts.reserve(64);
}

bool CWaveformDrawing::DrawLayers(std::span<const ListRow> rows, WCursor *cursors)
{
    // The ruler reads the time base, so it is brought up to date first.
    UpdateTimeBase();
    DrawRuler();
    if (!AutoStore)
        ClearLayer(WaveformLayer);
    // The display layer is not cleared: ComposeDisplay copies every pixel of
    // the waveform layer over it, so the clearing would never show.
    DrawGrid();
    bool drawn = false;
    if (CaptureValid()) {
        PlaceWindow();
        BuildColumns();
        for (size_t i = 0; i < rows.size(); ++i) {
            const ListRow &r = rows[i];
            if (r.Height <= 0 || (i > 0 && r.Top == 0))
                break;
            DrawRow(r.Top, r.Height, r.Row);
        }
        drawn = true;
    }
    ComposeDisplay(cursors);
    return drawn;
}

void CWaveformDrawing::ClearLayer(TBitmap &layer) const
{
    layer.Fill(BackgroundColour);
}

int CWaveformDrawing::TriggerMarkColumn() const
{
    return static_cast<int>(int64_t{PreTriggerPercent} * std::max(PanelWidth, 0) / 100);
}

void CWaveformDrawing::DrawGrid()
{
    TCanvas &c = WaveformLayer.Canvas();
    c.Pen = TPen{ForegroundColour, TPenStyle::Solid, 1};
    const int w = std::clamp(PanelWidth, 0, LayerWidth);
    const int h = std::clamp(PanelHeight, 0, WaveformLayer.Height());
    const int t = TriggerMarkColumn();

    const std::array<TPoint, 4> triangle{TPoint{t - 6, 1}, TPoint{t, 7}, TPoint{t + 6, 1},
                                         TPoint{t - 6, 1}};
    c.Polyline(triangle);
    // The last point of a polyline is not set; here it is the first one again.
    c.SetPixel(t - 6, 1, ForegroundColour);
    if (GridStyle == 0)
        return;

    // The grid is drawn again before every row, so its ticks and marks are
    // stored straight into the layer, clipped as the canvas clips, instead of
    // a canvas call per pixel or per 5-pixel line. All of them have the
    // foreground colour, so their order does not matter. The last line is
    // drawn once more through the canvas, which leaves the pen position and
    // its dash pattern where the line-by-line drawing left them.
    const int width = WaveformLayer.Width();
    const int height = WaveformLayer.Height();
    uint32_t *const bits = WaveformLayer.Bits().data();
    const uint32_t pixel = TBitmap::PixelOf(ForegroundColour);
    auto put = [&](int x, int y) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            bits[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                pixel;
    };
    bool lined = false;
    TPoint lineFrom;
    TPoint lineTo;

    const int middle = h / 2;
    // A tick is the line from (x, middle + 2) to (x, middle - 3), that end
    // point excluded.
    auto tick = [&](int x) {
        for (int y = middle - 2; y <= middle + 2; ++y)
            put(x, y);
        lined = true;
        lineFrom = TPoint{x, middle + 2};
        lineTo = TPoint{x, middle - 3};
    };
    for (int n = w / 2; n > 0; n -= 10)
        tick(n);
    for (int n = w / 2 + 10; n < w; n += 10)
        tick(n);

    if (GridStyle != 1) {
        // A dot (style 2), or the line from (x - 2, y) to (x + 2, y) without
        // that end point.
        auto gridMark = [&](int x, int y) {
            if (GridStyle == 2) {
                put(x, y);
                return;
            }
            for (int dx = -2; dx <= 1; ++dx)
                put(x + dx, y);
            lined = true;
            lineFrom = TPoint{x - 2, y};
            lineTo = TPoint{x + 2, y};
        };
        auto divisionLine = [&](int x) {
            for (int dy = 0; middle - dy >= 0 || middle + dy < h; dy += 10) {
                gridMark(x, middle - dy);
                gridMark(x, middle + dy);
            }
        };
        // Division lines every 50 pixels, from the trigger column outwards.
        for (int x = t; x >= 0; x -= DivisionPixels)
            divisionLine(x);
        for (int x = t + DivisionPixels; x < w; x += DivisionPixels)
            divisionLine(x);
    }
    if (lined) {
        c.MoveTo(lineFrom.X, lineFrom.Y);
        c.LineTo(lineTo.X, lineTo.Y);
    }
}

void CWaveformDrawing::DrawRuler()
{
    RulerImage.Fill(RulerBackground);
    TCanvas &c = RulerImage.Canvas();
    c.Pen = TPen{RulerPen, TPenStyle::Dash, 1};
    c.Brush.Style = TBrushStyle::Clear;
    c.Font.Size = FontSize;
    c.Font.Color = RulerPen;

    RulerMarks marks;
    RulerMarksOf(marks);
    for (int i = 0; i < marks.LabelCount; ++i) {
        const RulerLabel &l = marks.Labels[static_cast<size_t>(i)];
        c.TextOut(RulerLabelLeft(l), 20, l.Text);
    }
    for (int i = 0; i < marks.TickCount; ++i) {
        const RulerTick &t = marks.Ticks[static_cast<size_t>(i)];
        c.MoveTo(t.X, t.Major ? 35 : 40);
        c.LineTo(t.X, 45);
    }
}

int CWaveformDrawing::RulerLabelLeft(const RulerLabel &label) const
{
    const int width = RulerImage.Canvas().TextWidth(label.Text);
    const int right = std::min(PanelWidth, static_cast<int>(RulerWidth)) - width;
    return std::max(0, std::min(label.X, right));
}

void CWaveformDrawing::DrawRow(int top, int height, int row)
{
    DrawGrid();
    if (row < 0 || static_cast<size_t>(row) >= Rows.size())
        return;
    const RowEntry &entry = Rows[static_cast<size_t>(row)];
    TCanvas &c = WaveformLayer.Canvas();
    c.Font.Size = FontSize;
    c.Font.Color = entry.Colour;
    c.Brush.Style = TBrushStyle::Clear;
    c.Pen = TPen{entry.Colour, TPenStyle::Solid, 1};
    const int h = (height - 6) / 2;
    const int y = top + h - VerticalOffset;
    const int channels = System.ChannelCount;
    const int first = Placement.FirstColumn;

    auto drawRuns = [&](ShapeSpan shapes) {
        WRowTexts::ForEachShapeRun(shapes, [&](int x, int length, int code) {
            Graph.DrawGraphInformation(&WaveformLayer, x, y + 6, length, h, code);
        });
    };
    auto writeTexts = [&] {
        for (const WRowTexts::Spot &s : texts)
            c.TextOut(s.X, y, s.Text);
    };

    texts.clear();
    if (row < channels) {
        if (row >= MaxRows)
            return;
        if (entry.ValueTextFlag == 1) {
            WRowTexts::LevelTexts(ChannelLevels(row), ChannelShapes(row), first, texts);
            writeTexts();
        }
        drawRuns(ChannelShapes(row));
        return;
    }
    const int bus = row - channels;
    if (entry.Visible == 0 || bus >= MaxRows)
        return;
    WRowTexts::BusTexts(BusValues(bus), BusShapes(bus), first, entry.BusWidth, entry.DisplayBase,
                        texts);
    writeTexts();
    drawRuns(BusShapes(bus));
}

void CWaveformDrawing::ComposeDisplay(WCursor *cursors)
{
    DisplayLayer = WaveformLayer;
    if (!cursors)
        return;
    TCanvas &c = DisplayLayer.Canvas();
    for (const CursorMarkers::Line &line : CursorMarkers::Layout(*cursors, ViewPosition, *this)) {
        c.Pen = TPen{line.Colour, static_cast<TPenStyle>(line.Style), 1};
        c.MoveTo(line.X, 0);
        c.LineTo(line.X, PanelHeight);
    }
}
