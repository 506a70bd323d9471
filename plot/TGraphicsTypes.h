#pragma once

#include <cstdint>
#include <string>

// The plain records a TCanvas draws with. Colours are 32-bit values in the
// 0x00BBGGRR form (red in the low byte), as everywhere in the system.
using TColor = int32_t;

// The numbering is the one stored by the callers (a cursor's line style is
// 0 solid, 2 dotted), so a stored number converts directly.
enum class TPenStyle : uint8_t {
    Solid = 0,
    Dash = 1,       // 18 on, 6 off
    Dot = 2,        // 3 on, 3 off
    DashDot = 3,    // 9 on, 6 off, 3 on, 6 off
    DashDotDot = 4, // 9 on, 3 off, 3 on, 3 off, 3 on, 3 off
    Clear = 5,      // draws nothing
    InsideFrame = 6 // drawn as Solid
};

enum class TBrushStyle : uint8_t { Solid = 0, Clear = 1 };

struct TPen
{
    TColor Color = 0;
    TPenStyle Style = TPenStyle::Solid;
    int Width = 1; // values below 1 draw as 1

    bool operator==(const TPen &) const = default;
};

struct TBrush
{
    TColor Color = 0xFFFFFF;
    TBrushStyle Style = TBrushStyle::Solid;

    bool operator==(const TBrush &) const = default;
};

// Text is drawn with the library's one built-in fixed font; Name is kept
// for the caller (the windows may draw text through the toolkit with it),
// Size picks the scale (TCanvas::FontScale), Bold thickens the strokes.
struct TFont
{
    std::string Name = "Plotrune Fixed";
    int Size = 8;
    TColor Color = 0;
    bool Bold = false;

    bool operator==(const TFont &) const = default;
};

struct TPoint
{
    int X = 0;
    int Y = 0;

    bool operator==(const TPoint &) const = default;
};

// Left and Top are inside, Right and Bottom just outside the rectangle.
struct TRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect &) const = default;
};
