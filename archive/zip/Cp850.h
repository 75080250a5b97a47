// Entry names in the OEM code page of Western European Windows (CP850).
#pragma once

#include <string>

namespace zip {

// UTF-8 to CP850; characters CP850 lacks become '_'. *exact is false then.
std::string Utf8ToCp850(const std::string& utf8, bool* exact);

// CP850 to UTF-8 (every byte has a character).
std::string Cp850ToUtf8(const std::string& oem);

// Whether the text is plain ASCII.
bool IsAscii(const std::string& text);

}  // namespace zip
