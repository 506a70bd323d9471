#pragma once

#include <ostream>
#include <string_view>

// The exit codes a script can rely on, and the one line on standard error
// that goes with each failure.
namespace CliStatus {

constexpr int Ok = 0;
constexpr int Usage = 1;        // bad arguments or options that do not fit the capture
constexpr int FileOrDevice = 2; // a file that cannot be read or written, an analyzer fault
constexpr int Empty = 3;        // no trigger, no analyzer listed, no decoded row

inline int Fail(std::ostream &err, int code, std::string_view message)
{
    err << "tracemoor-cli: " << message << '\n';
    return code;
}

} // namespace CliStatus
