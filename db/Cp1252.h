// The key's 8-bit texts. The product on Windows writes the database, the
// earlier product's description files and their names in Windows-1252; the
// tool works in UTF-8 (native paths) and in Unicode (the windows). This is
// the one table between them.
#pragma once

#include <string>
#include <string_view>

namespace cp1252 {

// The Windows-1252 bytes as UTF-8. Never fails: the five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for
// the code point of the same value, as Windows itself maps them.
std::string ToUtf8(std::string_view bytes);

// UTF-8 as Windows-1252 bytes. False, leaving *bytes alone, when the text is
// not UTF-8 or holds a character that Windows-1252 cannot hold.
bool FromUtf8(std::string_view utf8, std::string* bytes);

// Decodes UTF-8 into code points. False when the text is not UTF-8
// (overlong forms, surrogates and values past U+10FFFF included).
bool DecodeUtf8(std::string_view utf8, std::u32string* codePoints);

}  // namespace cp1252
