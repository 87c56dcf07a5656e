#pragma once
// The command-line front end, callable in-process so tests can run it.

#include <ostream>
#include <string>
#include <vector>

// Runs `tabulon` with Args (without the program name). Returns the exit
// status: 0 success, 1 failure (message on Err), 2 usage error. Reading
// progress goes to Err when it is a terminal (or with --progress).
int RunCommandLine(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err,
                   bool ErrIsTerminal = false);
