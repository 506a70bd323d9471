#pragma once

#include "display/WTime.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Values typed on the command line: whole numbers in a range, times with a
// unit, channel numbers, names out of a list. Every parser gives nothing
// for a text it does not take whole.
namespace CliValues {

std::optional<int64_t> Integer(std::string_view text, int64_t low, int64_t high);
// "0.5", "-1.3": tenths, rounded; nothing beyond one decimal place.
std::optional<int> Tenths(std::string_view text);
// "1.5ms", "-2us", "700s", "40 ns", "0": a signed time to the picosecond;
// units ps, ns, us, ms, s (any case; "Sec" and the tables' "nS" style too).
std::optional<WTime> Time(std::string_view text);
// The magnitude of a time in picoseconds.
uint64_t Picoseconds(const WTime &t);
WTime FromPicoseconds(uint64_t ps, bool negative = false);
// "3" or "CH3" (any case), below `channels`.
std::optional<int> Channel(std::string_view text, int channels);
// As Channel, or the name of a channel: `names[c]` is channel c's name; a
// name given exactly first, else one that differs only in case and is the
// only such one.
std::optional<int> Channel(std::string_view text, std::span<const std::string> names);
// Case-insensitive comparison, spaces around the text ignored.
bool Same(std::string_view a, std::string_view b);
// `text` is one of the names `first`, `second`, ... given in order; gives
// its position.
std::optional<int> Choice(std::string_view text, std::initializer_list<std::string_view> names);
std::optional<int> Choice(std::string_view text, std::span<const std::string_view> names);

} // namespace CliValues
