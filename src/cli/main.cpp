#include "CommandLine.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> Args(argv + 1, argv + argc);
    return RunCommandLine(Args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}
