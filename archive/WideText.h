// Conversions between the wrapper's wide texts and the UTF-8 texts of the
// engine (on Linux the 8-bit system code page is UTF-8; on Windows wchar_t
// holds UTF-16).
#pragma once

#include <string>

namespace archive {

std::string Utf8FromWide(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& text);

}  // namespace archive
