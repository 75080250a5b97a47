#include "archive/zip/NameCodec.h"

#include <zlib.h>

#include "archive/zip/Format.h"
#include "platform/FileSystem.h"

namespace zip {
namespace {

const char32_t kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0
};

std::string Cp850FromUtf8(const std::string& utf8) {
  std::u32string cps;
  if (!DecodeUtf8(utf8, &cps)) return utf8;
  std::string out;
  for (char32_t c : cps) {
    if (c < 0x80) {
      out.push_back((char)c);
      continue;
    }
    char code = '_';
    for (int i = 0; i < 128; ++i)
      if (kCp850High[i] == c) {
        code = (char)(0x80 + i);
        break;
      }
    out.push_back(code);
  }
  return out;
}

}  // namespace

bool DecodeUtf8(const std::string& utf8, std::u32string* out) {
  out->clear();
  std::size_t i = 0, n = utf8.size();
  while (i < n) {
    unsigned char c = (unsigned char)utf8[i];
    char32_t cp;
    int extra;
    if (c < 0x80) { cp = c; extra = 0; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
    else return false;
    if (extra > 0 && i + (std::size_t)extra >= n) return false;
    for (int k = 1; k <= extra; ++k) {
      unsigned char d = (unsigned char)utf8[i + k];
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    static const char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    out->push_back(cp);
    i += 1 + extra;
  }
  return true;
}

std::string EncodeUtf8(const std::u32string& text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) out.push_back((char)c);
    else if (c < 0x800) {
      out.push_back((char)(0xC0 | (c >> 6)));
      out.push_back((char)(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back((char)(0xE0 | (c >> 12)));
      out.push_back((char)(0x80 | ((c >> 6) & 0x3F)));
      out.push_back((char)(0x80 | (c & 0x3F)));
    } else {
      out.push_back((char)(0xF0 | (c >> 18)));
      out.push_back((char)(0x80 | ((c >> 12) & 0x3F)));
      out.push_back((char)(0x80 | ((c >> 6) & 0x3F)));
      out.push_back((char)(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

bool IsPlainAscii(const std::string& text) {
  for (char c : text)
    if ((unsigned char)c >= 0x80) return false;
  return true;
}

std::string OemFromUtf8(const std::string& utf8) {
  std::string oem;
  bool exact = true;
  if (platform::SystemOemFromUtf8(utf8, &oem, &exact)) return oem;
  return Cp850FromUtf8(utf8);
}

std::string Utf8FromOem(const std::string& oem) {
  std::string utf8;
  if (platform::SystemOemToUtf8(oem, &utf8)) return utf8;
  std::u32string cps;
  for (char ch : oem) {
    unsigned char c = (unsigned char)ch;
    cps.push_back(c < 0x80 ? (char32_t)c : kCp850High[c - 0x80]);
  }
  return EncodeUtf8(cps);
}

std::string BuildUnicodePathField(const std::string& rawName, const std::string& utf8) {
  std::string f;
  Put16(f, kUnicodePathTag);
  Put16(f, (std::uint32_t)(5 + utf8.size()));
  f.push_back(1);
  Put32(f, (std::uint32_t)crc32(0L, (const Bytef*)rawName.data(), (uInt)rawName.size()));
  f += utf8;
  return f;
}

std::string DecodeEntryName(const std::string& rawName, const std::string& extra,
                            std::uint16_t flags) {
  const unsigned char* p = (const unsigned char*)extra.data();
  std::size_t pos = 0;
  while (pos + 4 <= extra.size()) {
    std::uint16_t tag = Get16(p + pos);
    std::uint16_t len = Get16(p + pos + 2);
    if (pos + 4 + len > extra.size()) break;
    if (tag == kUnicodePathTag && len >= 5 && p[pos + 4] == 1) {
      std::uint32_t crc = Get32(p + pos + 5);
      std::uint32_t actual =
          (std::uint32_t)crc32(0L, (const Bytef*)rawName.data(), (uInt)rawName.size());
      std::string name = extra.substr(pos + 9, len - 5);
      std::u32string check;
      if (crc == actual && DecodeUtf8(name, &check)) return name;
    }
    pos += 4 + len;
  }
  std::u32string check;
  if ((flags & kFlagUtf8) && DecodeUtf8(rawName, &check)) return rawName;
  return Utf8FromOem(rawName);
}

}  // namespace zip
