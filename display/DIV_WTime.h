#pragma once

// The time base of the waveform view: time per division and
// per pixel of the zoom row, the sample period of the capture row, the ratio
// of samples to pixel columns and the spans of the record and of the window
// around the trigger column. This is the Qt-free core of DIV_WTime; the
// waveform window classes derive from it and add the widgets.
//
// Inputs are plain members the owner keeps current (panel width, trigger
// percentages, record depth) plus the model tables of WSystem and the
// settings record (ClockSource; SetRateFromTimeDiv and PulseCount write it).
// Both are referenced, not owned, and must outlive this object.

#include "display/WTime.h"

#include <cstdint>
#include <string>

class CFile;
class WSystem;

class DIV_WTime
{
public:
    static constexpr int DivisionPixels = 50;       // one division is 50 pixels
    static constexpr int TriggerColumnOffset = 20;  // pixel columns 0..20 lie off-screen left
    static constexpr int ExternalClockValueRow = 0; // the external clock period takes the
    static constexpr int ExternalClockUnitRow = 7;  // value of row 0 with the unit of row 7
    static constexpr uint32_t MaxPulseSamples = 65535;
    static constexpr int DefaultDepthIndex = 2; // the view starts on depth index 2
    static constexpr uint16_t DefaultTriggerPosition = 5;

    // Time base defaults of the waveform view: time/div and rate rows 0, trigger
    // position 5 (50 % / 50 %), depth of depth index 2 of the current model;
    // then one UpdateTimeBase, so that every value is consistent from the start.
    DIV_WTime(const WSystem &system, CFile &settings);

    // In this order: TimePerPixel and TimePerDiv from row TimeDivIndex,
    // SamplePeriod from row RateIndex (or the external-clock entry when the
    // settings record's ClockSource is 1), the spans, the ratios. Row indices
    // outside 0..24 read the nearest row.
    void UpdateTimeBase();

    // At the start of every run: TimeDivIndex = RateIndex = row, and the
    // settings record's TimeDivRow and RateRow = row. The row is clamped to
    // 0..24 (an unselected combo box gives -1). The time base itself is
    // updated by the next UpdateTimeBase.
    void SetRateFromTimeDiv(int row);

    // Converts the pulse-width trigger setting of the settings record
    // (PulseWhole in group PulseUnit, PulseFraction in the group below; a
    // PulseUnit outside 1..4 is taken as the nearest of them) into whole
    // sample periods of row RateIndex (the external-clock period with
    // ClockSource 1). Above 65535 periods: PulseSamples = -1 and
    // PulseWidthRepresentable = 0. Otherwise PulseWidthRepresentable = 1 and
    // PulseSamples = the count, or 1 when it is 0 (counts 32768..65535 are
    // stored with their 16-bit pattern, as the block carries them). Returns
    // the exact count (0 means the pulse is shorter than one period).
    uint64_t PulseCount();

    // ClockCountText (TimeText.h) at the current SamplePeriod.
    std::string ClockCountText(const WTime &t) const;

    // The sample period of row RateIndex, or the external-clock entry, as
    // UpdateTimeBase loads it (without changing any member).
    WTime RatePeriod() const;

    // --- Inputs -----------------------------------------------------------
    const WSystem &System;
    CFile &Settings;
    int32_t PanelWidth = 1024; // W: width of the waveform panel in pixels (negative counts 0)
    uint16_t PreTriggerPercent = DefaultTriggerPosition * 10;
    uint16_t PostTriggerPercent = 100 - DefaultTriggerPosition * 10;
    uint32_t DepthSamples = 0; // samples in the record

    // --- Time base --------------------------------------------------------
    int16_t TimeDivIndex = 0; // zoom row 0..24
    int16_t RateIndex = 0;    // row current at capture start; selects the period

    WTime TimePerDiv;
    uint16_t TimePerDivValue = 0;
    uint16_t TimePerDivUnit = 0;
    WTime TimePerPixel;
    uint16_t TimePerPixelValue = 0;
    uint16_t TimePerPixelUnit = 0;
    WTime SamplePeriod;
    uint16_t SamplePeriodValue = 0;
    uint16_t SamplePeriodUnit = 0;

    uint32_t PixelsPerSample = 0; // whole pixels per sample when a sample lasts >= 1 pixel
    uint32_t SamplesPerPixel = 0; // whole samples per pixel when a pixel lasts longer
    float FractionPerPixel = 0;   // fraction of samples per pixel: 0, 0.25 or 0.5

    WTime PreSpan;             // record before the trigger sample
    WTime PostSpan;            // record after it
    int16_t TriggerColumn = 0; // floor(Pre% * W / 100) + 20
    int16_t RightColumns = 0;  // W - floor(Pre% * W / 100)
    WTime LeftSpan;            // TimePerPixel * TriggerColumn
    WTime RightSpan;           // TimePerPixel * RightColumns
    WTime MarkerLeftSpan;      // TimePerPixel * floor(Pre% * W / 100)
    WTime MarkerRightSpan;     // TimePerPixel * RightColumns

    uint8_t PulseWidthRepresentable = 0; // set by PulseCount

private:
    void LoadPeriod(uint16_t &value, uint16_t &unit) const;
    void ComputeSpans();
    void ComputeRatios();
};
