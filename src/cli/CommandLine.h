#pragma once
// The command-line front end, callable in-process so tests can run it.

#include <ostream>
#include <string>
#include <vector>

// Runs `tabulon` with Args (without the program name). Returns the exit
// status: 0 success, 1 failure (message on Err), 2 usage error.
int RunCommandLine(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);
