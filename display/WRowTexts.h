#pragma once

// Where the waveform rows get their texts: the level ("0"/"1") of long
// level runs on channel rows and the value of long value runs on bus rows,
// read from the per-column arrays of Graphics_Waveform, and the walk of a
// shape row into the runs that Plotrune draws. Pure functions: the window's
// DrawRow writes the texts at the positions given here (y is the row's), and
// calls Plotrune for every run.
//
// Cost: one pass over the 1024 columns of a row; the texts go into the
// caller's vector, which keeps its capacity from redraw to redraw.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class WRowTexts
{
public:
    static constexpr int Columns = 1024;

    struct Spot
    {
        int32_t X = 0; // left edge of the text
        std::string Text;
        friend bool operator==(const Spot &, const Spot &) = default;
    };

    // Level texts of a channel row. Runs continue while the level repeats
    // and the column is not an edge (9). A run of more than 12 columns gets
    // its level at x = run start + length / 2 (run start x = column - 23, the
    // first run's FirstColumn - 20). At the first column without data (255)
    // the open run is written if it has at least 9 columns and the walk ends;
    // a run still open at column 1023 is written whatever its length. Nothing
    // when firstColumn >= 1024. Running marks (edge columns of the compressed
    // view) are never written.
    static void LevelTexts(std::span<const uint8_t, Columns> levels,
                           std::span<const uint8_t, Columns> shapes, int firstColumn,
                           std::vector<Spot> &out);

    // Value texts of a bus row of `width` bits in `base` (0 hexadecimal,
    // 1 decimal, 2 binary). Runs of equal values from FirstColumn to column
    // 1022 (run start x = column - 21, the first run's FirstColumn - 20); f
    // characters and a minimum run m per base and width (hexadecimal f =
    // (w - 1) / 4 + 3, m = 8f + 2; decimal f = 1..5 by width, m = 8f + 10;
    // binary f = w, m = 8f + 10). A run longer than m is labelled at x = run
    // start + length / 2 - 4f with ValueText(..., true). At the first column
    // without data the open run is labelled (ValueText(..., false)) if it has at
    // least 9 columns, and the walk ends; a run still open after column 1022
    // is labelled the same way if it is longer than m.
    static void BusTexts(std::span<const int32_t, Columns> values,
                         std::span<const uint8_t, Columns> shapes, int firstColumn, int width,
                         int base, std::vector<Spot> &out);

    // The text of a bus value. Hexadecimal: "0x" and at least (f - 2) upper-
    // case digits when labelled, else at least two digits and no prefix;
    // decimal: the value; binary: the last `width` characters of its
    // 32-character binary text.
    static std::string ValueText(uint32_t value, int width, int base, bool labelled);
    // f and m of a bus of this width and base.
    static int TextChars(int width, int base);
    static int MinimumRun(int width, int base);

    // The runs of a shape row as the rows are drawn: from column 1, runs of
    // equal codes other than 9, every 9 a run of its own; fn(x, length, code)
    // with x = column - 21, for every run whose code is not 255.
    template <typename Fn>
    static void ForEachShapeRun(std::span<const uint8_t, Columns> shapes, Fn &&fn)
    {
        int start = 1;
        while (start < Columns) {
            const uint8_t code = shapes[static_cast<size_t>(start)];
            int end = start + 1;
            if (code != 9)
                while (end < Columns && shapes[static_cast<size_t>(end)] == code)
                    ++end;
            if (code != 255)
                fn(start - 21, end - start, static_cast<int>(code));
            start = end;
        }
    }
};
