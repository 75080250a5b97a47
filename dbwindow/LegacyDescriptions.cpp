#include "dbwindow/LegacyDescriptions.h"

#include <fstream>
#include <vector>

#include "platform/Platform.h"
#include "platform/PrivateProfile.h"

std::string LegacyIniDescription(const std::string& fileName) {
  const std::string path = platform::LegacyPath("C:\\ORDALIX\\Tabelle\\Systab.ini");
  if (!platform::FileExists(path)) return std::string();
  return platform::PrivateProfileString(path, "CA", fileName);
}

std::string FirstDescriptionLine(const std::string& content) {
  std::size_t end = content.find('\n');
  if (end == std::string::npos) end = content.size();
  // Text-mode reading turns CR LF into LF; a lone CR is part of the line.
  const bool crBeforeLf = end < content.size() && end > 0 && content[end - 1] == '\r';
  std::string line = content.substr(0, crBeforeLf ? end - 1 : end);
  if (line.size() > kDescriptionLineLimit) line.resize(kDescriptionLineLimit);
  const std::size_t nul = line.find('\0');
  if (nul != std::string::npos) line.resize(nul);
  return line;
}

std::string LegacyFileDescription(const std::string& fileName) {
  // A name that reaches into another folder is no description file.
  if (fileName.empty() || fileName.find_first_of("\\/") != std::string::npos) return std::string();
  const std::string path = platform::LegacyPath("C:\\ORDALIX\\FileDesc\\" + fileName);
  if (!platform::FileExists(path)) return std::string();
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string();
  // Read no more than the longest line plus its CR LF.
  std::vector<char> head(kDescriptionLineLimit + 2);
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  return FirstDescriptionLine(std::string(head.data(), static_cast<std::size_t>(in.gcount())));
}
