#include "platform/PrivateProfile.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <fstream>
#include <iterator>

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& text) {
  std::size_t from = 0, to = text.size();
  while (from < to && IsBlank(text[from])) ++from;
  while (to > from && IsBlank(text[to - 1])) --to;
  return text.substr(from, to - from);
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::string ProfileValueFromText(const std::string& content, const std::string& section,
                                 const std::string& key) {
  bool inSection = false;
  bool sectionSeen = false;
  std::size_t at = 0;
  while (at < content.size()) {
    std::size_t end = content.find_first_of("\r\n", at);
    if (end == std::string::npos) end = content.size();
    const std::string line = Trim(content.substr(at, end - at));
    at = end;
    if (at < content.size() && content[at] == '\r') ++at;
    if (at < content.size() && content[at] == '\n') ++at;

    if (!line.empty() && line.front() == '[') {
      // Only the first section of that name is read.
      if (inSection) return std::string();
      const std::size_t close = line.find(']');
      const std::string name =
          Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      inSection = !sectionSeen && SameIgnoringCase(name, section);
      sectionSeen = sectionSeen || inSection;
      continue;
    }
    if (!inSection) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    if (!SameIgnoringCase(Trim(line.substr(0, equals)), key)) continue;
    std::string value = Unquote(Trim(line.substr(equals + 1)));
    if (value.size() > kProfileValueLimit) value.resize(kProfileValueLimit);
    return value;
  }
  return std::string();
}

std::string PrivateProfileString(const std::string& nativePath, const std::string& section,
                                 const std::string& key) {
#ifdef _WIN32
  char buffer[kProfileValueLimit + 1] = {0};
  ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer,
                             nativePath.c_str());
  return std::string(buffer);
#else
  std::ifstream in(nativePath, std::ios::binary);
  if (!in) return std::string();
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ProfileValueFromText(content, section, key);
#endif
}

}  // namespace platform
