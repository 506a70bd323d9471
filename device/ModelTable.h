#pragma once

// The fixed per-model and per-row data of the analyzer family, as constant
// tables read by index. WSystem exposes them for the current model.

#include <array>
#include <cstdint>
#include <string_view>

namespace ModelTable {

inline constexpr int ModelCount = 11;
inline constexpr int TimeDivRowCount = 25;
inline constexpr int DividerCount = 12;
inline constexpr int MaxDepthCount = 13;

// Time units of the tables: 0 ps, 1 ns, 2 us, 3 ms, 4 s.
enum Unit : int { Ps = 0, Ns = 1, Us = 2, Ms = 3, Sec = 4 };

// Which sample-period column of the time/div table a model uses.
enum class RateClass : uint8_t { Mhz250, Mhz500, Mhz100 };

// Which memory-depth list a model offers.
enum class DepthClass : uint8_t { Models01, Model2, Models349, Models5610, Models78 };

struct ModelRow
{
    uint8_t code;
    std::string_view name;       // window title part
    std::string_view listName;   // entry of the model-selection list
    std::string_view identity;   // third string of the identity block; empty for 0, 9, 10
    std::string_view identityAlt;  // second accepted spelling (model 1 only)
    std::array<std::string_view, 6> versions;  // accepted first strings; empty entries unused
    uint16_t channels;
    uint16_t levelGroups;
    uint32_t memorySize;   // bytes of sample memory
    RateClass rate;
    DepthClass depth;
    uint32_t lookAhead;    // trigger search window, samples after the reported trigger
    uint32_t reachBack;    // further samples walked back
    uint8_t autoDepthColumn;  // column of the auto depth table
};

struct TimeValueEntry
{
    int32_t value;
    int32_t unit;
};

struct TimeDivRow
{
    std::string_view text;
    TimeValueEntry timeDiv;
    TimeValueEntry timePixel;
    std::array<TimeValueEntry, 3> period;        // by RateClass
    std::array<std::string_view, 3> frequency;   // by RateClass
    int32_t maxDelaySeconds;
    std::array<int32_t, 5> autoDepth;            // by auto depth column
};

struct DepthList
{
    uint32_t count;
    std::array<std::string_view, MaxDepthCount> texts;
    std::array<int32_t, MaxDepthCount> samples;
    std::array<int32_t, MaxDepthCount> bytes;
};

const ModelRow &Model(int code);  // unknown codes give the row of code 0
const TimeDivRow &Row(int row);   // row clamped to 0..24
const DepthList &Depths(DepthClass depth);

extern const std::array<ModelRow, ModelCount> Models;
extern const std::array<TimeDivRow, TimeDivRowCount> Rows;
extern const std::array<std::string_view, DividerCount> DividerTexts;
extern const std::array<int32_t, DividerCount> DividerRows;
extern const std::array<std::string_view, 2> LevelTexts;
extern const std::array<std::string_view, 3> CompareTexts;
extern const std::array<std::string_view, 5> UnitTexts;

}  // namespace ModelTable
