#pragma once

#include "cli/CliArguments.h"

#include <array>

// The options of "capture" and its help text.
namespace CaptureOptions {

inline constexpr std::array<CliArguments::Option, 19> List{{
    {"output", 'o', "FILE", "the project file to write (required)"},
    {"model", 'm', "CODE",
     "the model expected: 1..10, or 0 / demo for the Demo (default: the\n"
     "                              model the analyzer names)"},
    {"device", 'd', "INDEX", "the analyzer at this index of `devices` (default: the first)"},
    {"time-div", 0, "TEXT", "time per division: 10nS .. 1Sec (default 100nS)"},
    {"rate", 0, "RATE",
     "sample period (4ns, 1us) or rate (250MHz, 2.5KHz): the first\n"
     "                              time/div row with that period"},
    {"depth", 0, "DEPTH", "memory depth: Auto, 512, 1k, ... 1M as the model offers (Auto)"},
    {"position", 0, "PERCENT", "share of the memory before the trigger: 10 .. 90 (50)"},
    {"delay", 0, "TIME", "trigger delay, e.g. 2.5us or -1ms (0)"},
    {"trigger-type", 0, "TYPE",
     "1 pattern 1, 2 patterns 1 and 2, 3 patterns 1 to 3, 4 pattern 1\n"
     "                              OR the OR pattern, 5 pulse width\n"
     "                              (default: from the patterns given)"},
    {"pattern1", 0, "PATTERN",
     "trigger pattern 1: CH0=R,CH1=H (L, H, F, R, X) or one letter per\n"
     "                              channel, the highest channel first"},
    {"pattern2", 0, "PATTERN", "trigger pattern 2"},
    {"pattern3", 0, "PATTERN", "trigger pattern 3"},
    {"or-pattern", 0, "PATTERN", "the OR pattern"},
    {"pulse", 0, "CH,LEVEL,CMP,WIDTH", "pulse-width trigger, e.g. 4,high,>,1.5ms"},
    {"counter", 0, "N", "times the trigger condition must occur: 1 .. 255 (1)"},
    {"continuous", 0, {}, "continuous trigger on"},
    {"threshold", 0, "[PORT=]VOLTS", "logic threshold of every port or of port 1..4 (1.5)"},
    {"timeout", 0, "SECONDS", "give up after this long: 0.1 .. 1000 (10)"},
    {"quiet", 'q', {}, "no progress line"},
}};

inline constexpr const char *Usage = "tracemoor-cli capture -o FILE.pjf [options]";
inline constexpr const char *Text =
    "Makes one capture as Single Run does in the analyzer program (settings block,\n"
    "StartCapture, ReadBlock until done, ReadSamples, trigger search) and writes it as\n"
    "a project file the analyzer program opens. A terminal gets a progress line.\n"
    "Exit codes: 0 written, 1 bad options, 2 no analyzer, another model, a busy or\n"
    "silent analyzer, a file that cannot be written, 3 no trigger (nothing written).";

} // namespace CaptureOptions
