// Entry names: UTF-8 inside the engine; in the archive the OEM code page
// (the system's on Windows, CP850 elsewhere) plus, for names that are not
// plain ASCII, the Info-ZIP Unicode path extra field with the UTF-8 name.
#pragma once

#include <cstdint>
#include <string>

namespace zip {

// UTF-8 <-> code points. DecodeUtf8 returns false on malformed input.
bool DecodeUtf8(const std::string& utf8, std::u32string* out);
std::string EncodeUtf8(const std::u32string& text);

// The OEM bytes for a UTF-8 name; characters without a code become '_'.
std::string OemFromUtf8(const std::string& utf8);
// The UTF-8 text of OEM bytes.
std::string Utf8FromOem(const std::string& oem);

bool IsPlainAscii(const std::string& text);

// The Unicode path extra field (tag, size, version 1, CRC of rawName, name).
std::string BuildUnicodePathField(const std::string& rawName, const std::string& utf8);

// The name a reader should use for an entry: the Unicode path field when its
// CRC matches the raw name, the raw name itself under the UTF-8 flag, the
// OEM decoding otherwise.
std::string DecodeEntryName(const std::string& rawName, const std::string& extra,
                            std::uint16_t flags);

}  // namespace zip
