#pragma once
// Text routines of the cell value emitter and the cell dump.

#include <string>

// A number as Pascal source: "." as decimal point, the shortest text that
// reads back as exactly the same double; integral values without fraction.
std::string FloatToPascal(double Value);
