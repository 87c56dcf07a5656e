#pragma once
// The one exception class for the system's own failures. Its message is the
// exact text the user sees (message box, stderr).

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& Message) : std::runtime_error(Message) {}
};

// printf-style formatting for messages ("%d", "%s", "%.2X").
std::string StrFmt(const char* Fmt, ...) __attribute__((format(printf, 1, 2)));
