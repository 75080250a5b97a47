#include "archive/zip/Cp850.h"

#include <cstdint>

namespace zip {
namespace {

// Unicode code points of CP850's bytes 0x80..0xFF.
const std::uint16_t kHigh[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8,
    0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2,
    0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1,
    0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD,
    0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2,
    0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534,
    0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560,
    0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4,
    0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD,
    0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, 0x00B0,
    0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0};

void AppendUtf8(std::string* out, std::uint32_t code) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | (code >> 6));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += static_cast<char>(0xE0 | (code >> 12));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (code >> 18));
    *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Next code point of a UTF-8 text; invalid bytes read as U+FFFD.
std::uint32_t NextCodePoint(const std::string& s, size_t* i) {
  const unsigned char c = static_cast<unsigned char>(s[*i]);
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  if (c >= 0x80 && extra == 0) {
    ++*i;
    return 0xFFFD;
  }
  std::uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
  ++*i;
  for (int k = 0; k < extra; ++k, ++*i) {
    if (*i >= s.size() || (static_cast<unsigned char>(s[*i]) & 0xC0) != 0x80) return 0xFFFD;
    code = (code << 6) | (static_cast<unsigned char>(s[*i]) & 0x3F);
  }
  return code;
}

}  // namespace

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

std::string Utf8ToCp850(const std::string& utf8, bool* exact) {
  std::string out;
  bool all = true;
  for (size_t i = 0; i < utf8.size();) {
    const std::uint32_t code = NextCodePoint(utf8, &i);
    if (code < 0x80) {
      out += static_cast<char>(code);
      continue;
    }
    int found = -1;
    for (int k = 0; k < 128; ++k) {
      if (kHigh[k] == code) {
        found = k;
        break;
      }
    }
    if (found < 0) {
      out += '_';
      all = false;
    } else {
      out += static_cast<char>(0x80 + found);
    }
  }
  if (exact) *exact = all;
  return out;
}

std::string Cp850ToUtf8(const std::string& oem) {
  std::string out;
  for (char ch : oem) {
    const unsigned char c = static_cast<unsigned char>(ch);
    AppendUtf8(&out, c < 0x80 ? c : kHigh[c - 0x80]);
  }
  return out;
}

}  // namespace zip
