#pragma once
// Text routines of the cell value emitter and the cell dump.

#include <string>

// A number as Pascal source: "." as decimal point, the shortest text that
// reads back as exactly the same double; integral values without fraction.
std::string FloatToPascal(double Value);
// Appends FloatToPascal(Value) to Out.
void AppendFloatToPascal(std::string& Out, double Value);

// Writes what std::to_chars(First, Last, Value) writes for a finite Value (the
// shortest round-trip text, plain or exponent form, whichever is shorter) and
// returns the end. Integral values take a faster path with the same result.
// Last - First must be at least 32.
char* ShortestDouble(char* First, char* Last, double Value);
