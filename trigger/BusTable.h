#pragma once

// The working state of the bus definitions editor (the "Adv Bus" page): one
// row per entry of the signal list, each with its mode ("User" numbers the
// marked channels in the order they were marked, "Auto" takes them from the
// highest channel down), its name and its marks, one per channel. Qt-free:
// BusFrame shows Row() through two grids and turns clicks into the calls
// below. The settings record is read by Load and written only by Commit, so
// a dialog that is cancelled changes nothing.
//
// Cost: at most 32 rows of 32 marks; nothing here touches the samples.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CFile;

class BusTable
{
public:
    static constexpr int NameLength = 8;
    static constexpr int BusSizeLimit = 16;
    static constexpr int MaxChannels = 32;

    enum class Mode : uint8_t { None, User, Auto }; // None: a row not yet defined

    struct Row
    {
        Mode RowMode = Mode::None;
        std::string Name;
        // Per channel: 0 unmarked; in "User" the bit number 1..16, in "Auto" 1.
        std::array<uint8_t, MaxChannels> Marks{};
        int Bits() const;
        bool IsEmpty() const { return RowMode == Mode::None; }
    };

    // Words of the row texts (language texts of the page).
    struct Texts
    {
        std::string User = "User";
        std::string Auto = "Auto";
        std::string None = "None";
    };

    explicit BusTable(int channelCount);
    BusTable(int channelCount, Texts words);

    int ChannelCount() const { return channels; }
    // The "empty" value of the signal list: twice the channel count.
    int EmptyEntry() const { return 2 * channels; }
    int RowCount() const { return static_cast<int>(rows.size()); }
    const Row &RowAt(int row) const { return rows[static_cast<size_t>(row)]; }

    // The rows of the signal list, in list order, all in "User" mode. A
    // channel row marks its channel; a bus row numbers its members 1.. in
    // member order. Members the model lacks, repeated members and members
    // past the 16th are left out; the numbers stay 1..k without gaps.
    void Load(const CFile &settings);

    // "Add": a new "User" row named "None" + the number of rows before it,
    // unless the list already holds channel-count rows (false then). The
    // first, still empty row is taken instead of appending.
    bool Add();
    // "Delete": the row goes; the last remaining row is emptied instead.
    void Delete(int row);
    // "Erase": the row loses its marks.
    void Erase(int row);
    // A click in "Mode": marks go, the mode toggles ("User" <-> "Auto"); an
    // empty row becomes "User".
    void ToggleMode(int row);
    // The name, cut to NameLength characters.
    void SetName(int row, const std::string &name);
    // A click on a channel's cell of the row being edited. "Auto": an
    // unmarked cell becomes marked unless 16 are; a marked one unmarked.
    // "User": an unmarked cell takes the next number unless 16 are marked; a
    // numbered one goes and the larger numbers move down by one.
    void ToggleCell(int row, int channel);

    // The texts of the grids.
    std::string ModeText(int row) const;
    std::string BitsText(int row) const; // empty for an empty row
    std::string CellText(int row, int channel) const;
    // The status bar: "MSB = CH" and the channel of the leftmost cell that
    // holds "1" or "V" (empty when nothing is marked), and the member
    // channels in bit order joined by " , ".
    std::string MsbText(int row) const;
    std::string MembersText(int row) const;
    // The member channels of a row, most significant first.
    std::vector<int> Members(int row) const;

    // OK: the signal list and the entries from the rows. Rows without marks
    // are dropped; one mark makes a channel row, more make the next bus.
    void Commit(CFile &settings) const;

private:
    bool Valid(int row) const { return row >= 0 && row < RowCount(); }

    int channels;
    Texts texts;
    std::vector<Row> rows;
};
