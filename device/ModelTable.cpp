#include "device/ModelTable.h"

namespace ModelTable {

namespace {
constexpr std::array<std::string_view, 6> NoVersions{};
constexpr std::array<std::string_view, 6> Version10{"Version:1.0"};
}  // namespace

// clang-format off
const std::array<ModelRow, ModelCount> Models{{
    {0, "Demo", "Demo", "", "", NoVersions,
     32, 4, 0x200000, RateClass::Mhz250, DepthClass::Models01, 10, 0x1FFFFF, 0},
    {1, "Logic Analyzer 200MHz/4ns", "Tracemoor 200MHz/4ns",
     "Moudel :Logic Analyzer 200MHz/4ns", "Model  :Logic Analyzer 200MHz/4ns",
     {"Version:1.3", "Version:1.4", "Version:1.5", "Version:1.6", "Version:1.7", "Version:1.8"},
     32, 4, 0x200000, RateClass::Mhz250, DepthClass::Models01, 10, 30, 0},
    {2, "Logic Analyzer 200MHz/2ns", "Tracemoor 200MHz/2ns",
     "Model  :Logic Analyzer 200MHz/2ns", "",
     {"Version:1.0", "Version:1.1", "Version:1.2"},
     32, 4, 0x400000, RateClass::Mhz500, DepthClass::Model2, 30, 80, 1},
    {3, "PC-Based LA 100MHz/10ns(16CH)", "PC-Based LA 100MHz/10ns(16CH)",
     "Model  :QX-A16", "", Version10,
     16, 1, 0x80000, RateClass::Mhz100, DepthClass::Models349, 10, 30, 2},
    {4, "PC-Based LA 100MHz/10ns(32CH)", "PC-Based LA 100MHz/10ns(32CH)",
     "Model  :QX-A32", "", Version10,
     32, 2, 0x80000, RateClass::Mhz100, DepthClass::Models349, 10, 30, 2},
    {5, "PC-Based LA 100MHz/4ns(16CH)", "PC-Based LA 100MHz/4ns(16CH)",
     "Model  :QX-B16", "", Version10,
     16, 1, 0x200000, RateClass::Mhz250, DepthClass::Models5610, 30, 80, 3},
    {6, "PC-Based LA 100MHz/4ns(32CH)", "PC-Based LA 100MHz/4ns(32CH)",
     "Model  :QX-B32", "", Version10,
     32, 2, 0x200000, RateClass::Mhz250, DepthClass::Models5610, 30, 80, 3},
    {7, "PC-Based LA 200MHz/2ns(16CH)", "PC-Based LA 200MHz/2ns(16CH)",
     "Model  :QX-C16", "", Version10,
     16, 1, 0x400000, RateClass::Mhz500, DepthClass::Models78, 30, 80, 4},
    {8, "PC-Based LA 200MHz/2ns(32CH)", "PC-Based LA 200MHz/2ns(32CH)",
     "Model  :QX-C32", "", Version10,
     32, 2, 0x400000, RateClass::Mhz500, DepthClass::Models78, 30, 80, 4},
    {9, "PC-Based LA 100MHz/10ns(16CH)A", "PC-Based LA 100MHz/10ns(16CH)A", "", "", NoVersions,
     16, 1, 0x80000, RateClass::Mhz100, DepthClass::Models349, 10, 30, 2},
    {10, "PC-Based LA 100MHz/4ns(32CH)A", "PC-Based LA 100MHz/4ns(32CH)A", "", "", NoVersions,
     32, 2, 0x200000, RateClass::Mhz250, DepthClass::Models5610, 150, 400, 3},
}};

// Rows 5..24 have one sample period for every model; rows 0..4 differ by rate class.
#define SAME(v, u, f) {{{v, u}, {v, u}, {v, u}}}, {{f, f, f}}
const std::array<TimeDivRow, TimeDivRowCount> Rows{{
    {"10nS",  {10, Ns},   {200, Ps}, {{{4, Ns}, {2, Ns}, {10, Ns}}}, {{"(250MHz)", "(500MHz)", "(100MHz)"}}, 1, {11, 12, 8, 10, 11}},
    {"25nS",  {25, Ns},   {500, Ps}, {{{4, Ns}, {2, Ns}, {10, Ns}}}, {{"(250MHz)", "(500MHz)", "(100MHz)"}}, 1, {11, 12, 8, 10, 11}},
    {"50nS",  {50, Ns},   {1, Ns},   {{{4, Ns}, {2, Ns}, {10, Ns}}}, {{"(250MHz)", "(500MHz)", "(100MHz)"}}, 1, {11, 12, 8, 10, 11}},
    {"100nS", {100, Ns},  {2, Ns},   {{{4, Ns}, {4, Ns}, {10, Ns}}}, {{"(250MHz)", "(250MHz)", "(100MHz)"}}, 1, {11, 12, 8, 10, 11}},
    {"250nS", {250, Ns},  {5, Ns},   SAME(10, Ns, "(100MHz)"), 2,   {11, 12, 8, 10, 11}},
    {"500nS", {500, Ns},  {10, Ns},  SAME(20, Ns, "(50MHz)"),  5,   {11, 11, 8, 10, 11}},
    {"1uS",   {1, Us},    {20, Ns},  SAME(40, Ns, "(25MHz)"),  10,  {11, 11, 8, 10, 11}},
    {"2.5uS", {2500, Ns}, {50, Ns},  SAME(100, Ns, "(10MHz)"), 26,  {11, 11, 8, 10, 11}},
    {"5uS",   {5, Us},    {100, Ns}, SAME(200, Ns, "(5MHz)"),  50,  {10, 10, 8, 10, 10}},
    {"10uS",  {10, Us},   {200, Ns}, SAME(400, Ns, "(2.5MHz)"), 104, {9, 9, 8, 9, 9}},
    {"25uS",  {25, Us},   {500, Ns}, SAME(1, Us, "(1MHz)"),    262, {8, 8, 8, 8, 8}},
    {"50uS",  {50, Us},   {1, Us},   SAME(2, Us, "(500KHz)"),  600, {7, 7, 7, 7, 7}},
    {"100uS", {100, Us},  {2, Us},   SAME(4, Us, "(250KHz)"),  600, {6, 6, 6, 6, 6}},
    {"250uS", {250, Us},  {5, Us},   SAME(10, Us, "(100KHz)"), 600, {5, 5, 5, 5, 5}},
    {"500uS", {500, Us},  {10, Us},  SAME(20, Us, "(50KHz)"),  600, {4, 4, 4, 4, 4}},
    {"1mS",   {1, Ms},    {20, Us},  SAME(40, Us, "(25KHz)"),  600, {3, 3, 3, 3, 3}},
    {"2.5mS", {2500, Us}, {50, Us},  SAME(100, Us, "(10KHz)"), 600, {2, 2, 2, 2, 2}},
    {"5mS",   {5, Ms},    {100, Us}, SAME(200, Us, "(5KHz)"),  600, {1, 1, 1, 1, 1}},
    {"10mS",  {10, Ms},   {200, Us}, SAME(400, Us, "(2.5KHz)"), 600, {1, 1, 0, 0, 0}},
    {"25mS",  {25, Ms},   {500, Us}, SAME(1, Ms, "(1KHz)"),    600, {1, 1, 0, 0, 0}},
    {"50mS",  {50, Ms},   {1, Ms},   SAME(2, Ms, "(500Hz)"),   600, {0, 0, 0, 0, 0}},
    {"100mS", {100, Ms},  {2, Ms},   SAME(4, Ms, "(250Hz)"),   600, {0, 0, 0, 0, 0}},
    {"250mS", {250, Ms},  {5, Ms},   SAME(10, Ms, "(100Hz)"),  600, {0, 0, 0, 0, 0}},
    {"500mS", {500, Ms},  {10, Ms},  SAME(20, Ms, "(50Hz)"),   600, {0, 0, 0, 0, 0}},
    {"1Sec",  {1, Sec},   {20, Ms},  SAME(40, Ms, "(25Hz)"),   600, {0, 0, 0, 0, 0}},
}};
#undef SAME

namespace {
constexpr DepthList DepthsModels01{12,
    {"Auto", "512", "1k", "2k", "4k", "8k", "16k", "32k", "64k", "128k", "256k", "512k"},
    {300, 500, 1000, 2000, 4000, 8000, 16000, 32000, 64000, 128000, 256000, 512000},
    {1360, 2208, 4256, 8352, 16544, 32928, 65696, 131232, 262304, 524448, 1048736, 2097312}};
constexpr DepthList DepthsModel2{13,
    {"Auto", "512", "1k", "2k", "4k", "8k", "16k", "32k", "64k", "128k", "256k", "512k", "1M"},
    {300, 500, 1000, 2000, 4000, 8000, 16000, 32000, 64000, 128000, 256000, 512000, 1000000},
    {1360, 2208, 4256, 8352, 16544, 32928, 65696, 131232, 262304, 524448, 1048736, 2097312,
     4194464}};
constexpr DepthList DepthsModels349{9,
    {"Auto", "1k", "2k", "4k", "8k", "16k", "32k", "64k", "128k"},
    {500, 1000, 2000, 4000, 8000, 16000, 32000, 64000, 128000},
    {2208, 4256, 8352, 16544, 32928, 65696, 131232, 262304, 524448}};
constexpr DepthList DepthsModels5610{11,
    {"Auto", "1k", "2k", "4k", "8k", "16k", "32k", "64k", "128k", "256k", "512k"},
    {500, 1000, 2000, 4000, 8000, 16000, 32000, 64000, 128000, 256000, 512000},
    {2208, 4256, 8352, 16544, 32928, 65696, 131232, 262304, 524448, 1048736, 2097312}};
constexpr DepthList DepthsModels78{12,
    {"Auto", "1k", "2k", "4k", "8k", "16k", "32k", "64k", "128k", "256k", "512k", " 1M "},
    {500, 1000, 2000, 4000, 8000, 16000, 32000, 64000, 128000, 256000, 512000, 1024000},
    {2208, 4256, 8352, 16544, 32928, 65696, 131232, 262304, 524448, 1048736, 2097312, 4194304}};
}  // namespace
// clang-format on

const std::array<std::string_view, DividerCount> DividerTexts{
    "1ck", "5ck", "25ck", "50ck", "100ck", "250ck",
    "500ck", "1000ck", "2500ck", "5000ck", "10000ck", "25000ck"};
const std::array<int32_t, DividerCount> DividerRows{3, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const std::array<std::string_view, 2> LevelTexts{"High", "Low"};
const std::array<std::string_view, 3> CompareTexts{"<", "=", ">"};
const std::array<std::string_view, 5> UnitTexts{"pS", "nS", "uS", "mS", "Sec"};

const ModelRow &Model(int code)
{
    if (code < 0 || code >= ModelCount)
        return Models[0];
    return Models[static_cast<size_t>(code)];
}

const TimeDivRow &Row(int row)
{
    if (row < 0)
        row = 0;
    if (row >= TimeDivRowCount)
        row = TimeDivRowCount - 1;
    return Rows[static_cast<size_t>(row)];
}

const DepthList &Depths(DepthClass depth)
{
    switch (depth) {
    case DepthClass::Models01: return DepthsModels01;
    case DepthClass::Model2: return DepthsModel2;
    case DepthClass::Models349: return DepthsModels349;
    case DepthClass::Models5610: return DepthsModels5610;
    case DepthClass::Models78: return DepthsModels78;
    }
    return DepthsModels01;
}

}  // namespace ModelTable
