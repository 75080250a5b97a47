// UTF-8, the text of every path and name below the windows, to and from
// code points and wide text. Bytes that are not UTF-8 are never lost: each
// stands for U+DC80 + byte (a lone low surrogate that well-formed text never
// holds), and turns back into the same byte.
#pragma once

#include <cstdint>
#include <string>

namespace platform {
namespace utf8 {

// The code points of text; a byte that does not start or continue a
// well-formed sequence (overlong forms, surrogates and values past U+10FFFF
// included) becomes U+DC80 + byte.
std::u32string Decode(const std::string& text);

// Appends code point cp as UTF-8; U+DC80..U+DCFF append their raw byte.
void Append(std::string* out, std::uint32_t cp);

// UTF-8 to wide text (UTF-16 where wchar_t has 16 bits), and back. Wide
// text that holds a lone surrogate or a value past U+10FFFF gives U+FFFD
// for it.
std::wstring ToWide(const std::string& text);
std::string FromWide(const std::wstring& wide);

// Whether the bytes are well-formed UTF-8.
bool IsValid(const std::string& text);

}  // namespace utf8
}  // namespace platform
