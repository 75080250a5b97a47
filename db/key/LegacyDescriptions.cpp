#include "db/key/LegacyDescriptions.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "db/key/KeyPaths.h"
#include "platform/Platform.h"
#include "platform/PrivateProfile.h"

namespace keydb {

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
  // The description file is named like the ECU file, in Windows-1252 as the
  // earlier product wrote it; a name that reaches into another folder names
  // none.
  const Folder descriptions(platform::LegacyPath("C:\\ORDALIX\\FileDesc\\"));
  const std::string path = descriptions.File(fileName);
  if (!platform::FileExists(path)) return std::string();
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  if (!in) return std::string();
  // Read no more than the longest line plus its CR LF.
  std::vector<char> head(kDescriptionLineLimit + 2);
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  return FirstDescriptionLine(std::string(head.data(), static_cast<std::size_t>(in.gcount())));
}

}  // namespace keydb
