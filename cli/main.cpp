#include "cli/CliProgram.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return CliProgram::Run(args, std::cout, std::cerr);
    } catch (const std::exception &e) {
        std::cerr << "tracemoor-cli: " << e.what() << '\n';
        return 2;
    }
}
