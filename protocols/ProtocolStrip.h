#pragma once

#include "plot/Plotrune.h"
#include "plot/TBitmap.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QScrollBar;
class TPaintBox;

// The signal strip of a protocol page: a 1024-pixel bitmap drawn by Plotrune
// from strips of shape codes (one per sample) and a horizontal scroll bar
// over the samples. Only the entries in view are widened to Plotrune's 32-bit
// codes, at most 1,026 per strip and redraw.
class ProtocolStrip : public QWidget
{
public:
    static constexpr int Columns = 1024;

    struct Trace
    {
        const std::vector<uint8_t> *Codes; // the page's; may change between redraws
        int Y;
        TColor Color;
    };

    ProtocolStrip(QWidget *parent, const char *name, int height);
    ~ProtocolStrip() override;

    void SetTraces(std::vector<Trace> traces);
    void SetRange(int maximum, int pageStep);
    int Position() const;
    void SetPosition(int position);
    // Fills the bitmap black and draws every trace from the scroll position.
    void Redraw();
    const TBitmap &Bitmap() const { return bitmap; }
    QScrollBar *ScrollBar() const { return scrollBar; }

private:
    TBitmap bitmap;
    Plotrune plotrune;
    TPaintBox *paintBox;
    QScrollBar *scrollBar;
    std::vector<Trace> traces;
    std::vector<int32_t> wide;
};
