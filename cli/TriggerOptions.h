#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class CFile;
class CliArguments;
class WSystem;

// The trigger and level options of "capture" into the settings record, and
// the same settings as text for "info".
namespace TriggerOptions {

// A pattern row from "CH0=R,CH1=H" (unnamed channels X) or from one letter
// per channel of the model, the highest channel first as the trigger dialog
// shows it. Empty when it fits, otherwise why not.
std::string ParsePattern(std::string_view text, int channels, std::array<uint8_t, 32> &row);
// The row as one letter per channel, the highest channel first.
std::string PatternText(const std::array<uint8_t, 32> &row, int channels);
// "[PORT=]VOLTS" into PortLevel; empty when it fits.
std::string ApplyThreshold(std::string_view text, CFile &file);
// Volts of a threshold code on the record's model, e.g. "1.5".
std::string Volts(const CFile &file, uint16_t code);
// Trigger type, patterns and pulse width; empty when they fit.
std::string ApplyTrigger(const CliArguments &a, const WSystem &sys, CFile &file);
// "1.5ms": the pulse width of the record.
std::string PulseWidthText(const CFile &file);
// The model's depth texts, "Auto, 512, ... 512k".
std::string DepthList(const WSystem &sys);

} // namespace TriggerOptions
