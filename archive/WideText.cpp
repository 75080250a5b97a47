#include "archive/WideText.h"

#include "archive/zip/NameCodec.h"

namespace archive {

std::string Utf8FromWide(const std::wstring& text) {
  std::u32string cps;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = (char32_t)text[i];
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      char32_t low = (char32_t)text[i + 1];
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    cps.push_back(c);
  }
  return zip::EncodeUtf8(cps);
}

std::wstring WideFromUtf8(const std::string& text) {
  std::u32string cps;
  if (!zip::DecodeUtf8(text, &cps)) {
    // Not UTF-8: take the bytes as Latin-1 rather than lose the text.
    cps.clear();
    for (char ch : text) cps.push_back((unsigned char)ch);
  }
  std::wstring out;
  for (char32_t c : cps) {
    if (sizeof(wchar_t) == 2 && c >= 0x10000) {
      c -= 0x10000;
      out.push_back((wchar_t)(0xD800 + (c >> 10)));
      out.push_back((wchar_t)(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back((wchar_t)c);
    }
  }
  return out;
}

}  // namespace archive
