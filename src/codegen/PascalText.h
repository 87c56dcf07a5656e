#pragma once
// Text of generated Pascal source.

#include <string>
#include <string_view>

// A complete Pascal string expression for Text: printable runs between
// apostrophes (apostrophes doubled), control characters as #nn outside the
// quotes, parts joined by " + ". An empty text gives ''.
std::string PascalString(std::string_view Text);
// Appends PascalString(Text) to Out.
void AppendPascalString(std::string& Out, std::string_view Text);

// The unit name for a unit file path: the file name after the last "/", "\"
// or ":", cut at its first full stop.
std::string UnitNameFromPath(std::string_view Path);
