// How the key's rows name their stored files, and what the lists show for
// a row. Texts are the database's Windows-1252 bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace keydb {

// Stored-file names: 12 -> "12.ori", "12.mod".
std::string OriginalFileName(int id);
std::string ModifiedFileName(int id);

// Marker rows carry the original file name in NOMEFILE; PATH is exactly
// one of these texts (case included).
extern const char* const kOriginalMarker;  // "DataBase\Original\"
extern const char* const kModifiedMarker;  // "DataBase\Modified\"

// The name lists show and exports propose: NOMEFILE for marker rows, PATH
// otherwise.
std::string DisplayName(const std::string& path, const std::string& nomeFile, bool modified);

// Whether stored content is a ZIP archive: at least two bytes, "PK" first.
// Anything else is the registered file itself, stored plain.
bool IsStoredArchive(std::string_view content);
bool IsStoredArchive(const std::vector<unsigned char>& content);

}  // namespace keydb
