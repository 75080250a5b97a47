// The one order of the database window's lists.
#pragma once

#include <string>

namespace keydb {

// Compares two Windows-1252 texts: byte by byte after folding only a..z to
// upper case (no other letter, no locale), the first difference deciding,
// a text before any longer text it begins. Negative, zero or positive.
int CompareListTexts(const std::string& a, const std::string& b);

}  // namespace keydb
