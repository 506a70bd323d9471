#pragma once

// tracemoor-cli started as a process in a folder, with the emulated
// analyzers of TRACEMOOR_DEVICE; its exit code and both outputs kept.

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace CliRun {

struct Outcome
{
    int code = -1;
    std::string out, err;
};

inline std::string Quote(const std::string &s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string Slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the program in `folder` with TRACEMOOR_DEVICE = `device`.
inline Outcome Cli(const std::string &folder, const std::string &device,
                   const std::vector<std::string> &args)
{
    std::string command = "cd " + Quote(folder) + " && TRACEMOOR_DEVICE=" + Quote(device) + " " +
                          Quote(TRACEMOOR_CLI_PROGRAM);
    for (const std::string &a : args)
        command += " " + Quote(a);
    command += " >cli.out 2>cli.err </dev/null";
    const int status = std::system(command.c_str());
    Outcome o;
    o.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.out = Slurp(folder + "/cli.out");
    o.err = Slurp(folder + "/cli.err");
    return o;
}

} // namespace CliRun
