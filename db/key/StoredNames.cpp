#include "db/key/StoredNames.h"

namespace keydb {

const char* const kOriginalMarker = "DataBase\\Original\\";
const char* const kModifiedMarker = "DataBase\\Modified\\";

std::string OriginalFileName(int id) { return std::to_string(id) + ".ori"; }
std::string ModifiedFileName(int id) { return std::to_string(id) + ".mod"; }

std::string DisplayName(const std::string& path, const std::string& nomeFile, bool modified) {
  return path == (modified ? kModifiedMarker : kOriginalMarker) ? nomeFile : path;
}

bool IsStoredArchive(std::string_view content) {
  return content.size() >= 2 && content[0] == 'P' && content[1] == 'K';
}

bool IsStoredArchive(const std::vector<unsigned char>& content) {
  return IsStoredArchive(
      std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
}

}  // namespace keydb
