#include "archive/zip/Text.h"

#include <cwctype>

#include "platform/Files.h"
#include "platform/Utf8.h"

namespace zip {
namespace {

// Upper half of CP850 (bytes 0x80..0xFF) as Unicode code points.
const std::uint16_t kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

void AppendUtf8(std::string* out, std::uint32_t cp) { platform::utf8::Append(out, cp); }

// Hands emit the code points of s; invalid bytes come as U+DC80 + byte.
template <typename Emit>
void DecodeUtf8(const std::string& s, Emit emit) {
  for (std::uint32_t cp : platform::utf8::Decode(s)) emit(cp);
}

std::uint32_t FoldCase(std::uint32_t cp) {
  // Latin-1 and Latin Extended-A by hand: towlower knows nothing beyond
  // ASCII in the "C" locale the program may run in.
  if ((cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) return cp + 0x20;
  if (cp >= 0x100 && cp <= 0x17F && cp != 0x130 && cp != 0x131 && cp != 0x138 && cp != 0x149 &&
      cp != 0x17F) {
    bool oddLower = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    if (oddLower) return (cp % 2 == 1) ? cp + 1 : cp;
    return (cp % 2 == 0) ? cp + 1 : cp;
  }
  return static_cast<std::uint32_t>(std::towlower(static_cast<wint_t>(cp)));
}

std::u32string Folded(const std::string& utf8) {
  std::u32string out;
  DecodeUtf8(utf8, [&](std::uint32_t cp) {
    out.push_back(cp < 0x80 ? (cp >= 'A' && cp <= 'Z' ? cp + 32 : cp) : FoldCase(cp));
  });
  return out;
}

bool Match(const std::u32string& m, size_t mi, const std::u32string& n, size_t ni) {
  // Iterative wildcard match with single-star backtracking.
  size_t starM = std::u32string::npos, starN = 0;
  while (ni < n.size()) {
    if (mi < m.size() && (m[mi] == U'?' || m[mi] == n[ni])) {
      ++mi;
      ++ni;
    } else if (mi < m.size() && m[mi] == U'*') {
      starM = mi++;
      starN = ni;
    } else if (starM != std::u32string::npos) {
      mi = starM + 1;
      ni = ++starN;
    } else
      return false;
  }
  while (mi < m.size() && m[mi] == U'*') ++mi;
  return mi == m.size();
}

}  // namespace

std::wstring Utf8ToWide(const std::string& utf8) { return platform::utf8::ToWide(utf8); }

std::string WideToUtf8(const std::wstring& wide) { return platform::utf8::FromWide(wide); }

std::string Utf8ToOem(const std::string& utf8) {
  std::string system;
  if (platform::files::WideToOem(Utf8ToWide(utf8), &system)) return system;
  std::string out;
  DecodeUtf8(utf8, [&](std::uint32_t cp) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      return;
    }
    for (int b = 0; b < 128; ++b) {
      if (kCp850High[b] == cp) {
        out.push_back(static_cast<char>(0x80 + b));
        return;
      }
    }
    out.push_back('_');
  });
  return out;
}

std::string OemToUtf8(const std::string& oem) {
  std::wstring system;
  if (platform::files::OemToWide(oem, &system)) return WideToUtf8(system);
  std::string out;
  for (char ch : oem) {
    unsigned char c = static_cast<unsigned char>(ch);
    AppendUtf8(&out, c < 0x80 ? c : kCp850High[c - 0x80]);
  }
  return out;
}

bool IsValidUtf8(const std::string& text) { return platform::utf8::IsValid(text); }

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool MaskMatches(const std::string& mask, const std::string& name) {
  if (mask == "*.*" || mask == "*") return true;
  std::u32string m = Folded(mask), n = Folded(name);
  if (Match(m, 0, n, 0)) return true;
  // As on Windows, "name.*" also matches "name" without an extension.
  if (m.size() >= 2 && m[m.size() - 1] == U'*' && m[m.size() - 2] == U'.' &&
      n.find(U'.') == std::u32string::npos)
    return Match(m.substr(0, m.size() - 2), 0, n, 0);
  return false;
}

bool IsSafeEntryName(const std::string& name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  if (name.size() >= 2 && name[1] == ':') return false;  // a drive
#ifdef _WIN32
  if (name.find(':') != std::string::npos) return false;  // drives and streams
#endif
  if (name.find('\0') != std::string::npos) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    if (part == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace zip
