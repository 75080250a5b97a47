#include "archive/zip/Names.h"

#include "archive/zip/NameCodec.h"

namespace zip {
namespace {

char32_t Fold(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return c;
}

std::u32string Folded(const std::string& utf8) {
  std::u32string cps;
  if (!DecodeUtf8(utf8, &cps)) {
    cps.clear();
    for (char ch : utf8) cps.push_back((unsigned char)ch);
  }
  for (auto& c : cps) c = Fold(c);
  return cps;
}

bool Glob(const std::u32string& s, std::size_t si, const std::u32string& p, std::size_t pi) {
  // Iterative wildcard match with backtracking to the last '*'.
  std::size_t starP = std::u32string::npos, starS = 0;
  while (si < s.size()) {
    if (pi < p.size() && (p[pi] == U'?' || p[pi] == s[si])) {
      ++si;
      ++pi;
    } else if (pi < p.size() && p[pi] == U'*') {
      starP = pi++;
      starS = si;
    } else if (starP != std::u32string::npos) {
      pi = starP + 1;
      si = ++starS;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == U'*') ++pi;
  return pi == p.size();
}

}  // namespace

std::string FoldCase(const std::string& utf8) { return EncodeUtf8(Folded(utf8)); }

bool MatchesMask(const std::string& name, const std::string& mask) {
  if (mask == "*" || mask == "*.*" || mask.empty()) return true;
  std::u32string s = Folded(name), p = Folded(mask);
  if (Glob(s, 0, p, 0)) return true;
  // As on Windows, "x.*" also matches a name without extension.
  if (p.size() >= 2 && p[p.size() - 2] == U'.' && p.back() == U'*' &&
      s.find(U'.') == std::u32string::npos)
    return Glob(s, 0, p.substr(0, p.size() - 2), 0);
  return false;
}

bool MatchesAnyMask(const std::string& name, const std::vector<std::string>& masks) {
  for (const auto& m : masks)
    if (MatchesMask(name, m)) return true;
  return false;
}

bool EntryMatchesMask(const std::string& entryName, const std::string& mask) {
  std::string name = entryName;
  while (!name.empty() && name.back() == '/') name.pop_back();
  if (mask.find('/') != std::string::npos || mask.find('\\') != std::string::npos) {
    std::string m = mask;
    for (auto& c : m) if (c == '\\') c = '/';
    return MatchesMask(name, m);
  }
  std::string::size_type slash = name.find_last_of('/');
  return MatchesMask(slash == std::string::npos ? name : name.substr(slash + 1), mask);
}

bool SafeRelativeName(const std::string& entryName, std::string* relative) {
  std::string name = entryName;
  for (auto& c : name) if (c == '\\') c = '/';
  if (name.empty() || name[0] == '/') return false;
  if (name.find('\0') != std::string::npos || name.find(':') != std::string::npos) return false;
  std::string out;
  std::size_t pos = 0;
  while (pos <= name.size()) {
    std::size_t slash = name.find('/', pos);
    if (slash == std::string::npos) slash = name.size();
    std::string part = name.substr(pos, slash - pos);
    if (part == "..") return false;
    if (!part.empty() && part != ".") {
      if (!out.empty()) out += '/';
      out += part;
    }
    pos = slash + 1;
  }
  if (out.empty()) return false;
  *relative = out;
  return true;
}

}  // namespace zip
