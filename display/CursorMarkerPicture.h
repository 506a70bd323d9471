#pragma once

// The pictures of a cursor's two markers, drawn on TBitmap: the ruler marker
// (17 x 21: a box with the cursor's letter over a down-pointing arrow whose
// tip lies 7 pixels right of the left edge, so that it points at the cursor
// line) and the list marker (20 x 20: a box with the letter and a
// right-pointing arrow). Boxes are filled with the cursor's colour and
// outlined in black; the letter is black. Every pixel outside the shape has
// TransparentColour, which the window turns into the transparent part of
// the marker.

#include "plot/TBitmap.h"
#include "plot/TGraphicsTypes.h"

class CursorMarkerPicture
{
public:
    // No marker colour and no outline uses it.
    static constexpr TColor TransparentColour = 0x030201;
    static constexpr TColor OutlineColour = 0x000000;

    static TBitmap RulerMarker(char name, TColor colour);
    static TBitmap ListMarker(char name, TColor colour);
};
