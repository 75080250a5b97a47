// Text conversions of the archive engine. Inside the engine every name and
// path is UTF-8; entry names are written in the OEM code page (CP850 where
// the system has no OEM code page of its own) beside a UTF-8 copy.
#pragma once

#include <cstdint>
#include <string>

namespace zip {

// UTF-8 to wide text. Bytes that are not valid UTF-8 become U+DC80..U+DCFF,
// so that WideToUtf8 gives the same bytes back.
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

// The OEM form of a UTF-8 name; characters the code page lacks become '_'.
std::string Utf8ToOem(const std::string& utf8);
std::string OemToUtf8(const std::string& oem);

// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(const std::string& text);

// Whether every byte is 7-bit ASCII.
bool IsAscii(const std::string& text);

// Windows-style wildcard match ('*', '?'), ignoring case. "*.*" and "*"
// match every name, with or without a dot.
bool MaskMatches(const std::string& mask, const std::string& name);

// Whether an entry name may be extracted below a folder: relative, no drive,
// no "..", no empty name. Both '/' and '\' count as separators.
bool IsSafeEntryName(const std::string& name);

}  // namespace zip
