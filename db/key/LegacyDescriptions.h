// Descriptions of ECU files that the maker's earlier product leaves on the
// computer's drive C, offered when a file is registered. Both lookups give
// Windows-1252 bytes, and the empty text whenever the earlier product, its
// files or the entry are missing or unreadable: they never fail.
#pragma once

#include <cstddef>
#include <string>

namespace keydb {

// The longest first line LegacyFileDescription returns.
inline constexpr std::size_t kDescriptionLineLimit = 1048575;

// The value of key fileName in section "CA" of C:\ORDALIX\Tabelle\Systab.ini
// (section and key without regard to case, at most 2047 bytes).
std::string LegacyIniDescription(const std::string& fileName);

// The first line of C:\ORDALIX\FileDesc\<fileName> (the file found as
// keydb::Folder finds a stored name): bytes up to the first
// line feed (at most kDescriptionLineLimit of them), without a carriage
// return before that line feed, and up to a NUL byte if the line holds one.
std::string LegacyFileDescription(const std::string& fileName);

// The first-line rule above over a stream of bytes (exposed for tests).
std::string FirstDescriptionLine(const std::string& content);

}  // namespace keydb
