// Driver identification: the fingerprint test and the walk over the
// catalogue's candidate drivers. Texts are the database's Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "db/key/DriverCatalogue.h"

namespace keydb {

// Whether bytes [start, end) of the size bytes at data have the MD5 text
// md5 (compared exactly). Only 0 <= start < end <= size is hashed; any
// other range never matches and nothing outside the buffer is read.
bool RangeDigestMatches(const unsigned char* data, std::uint64_t size, std::int64_t start,
                        std::int64_t end, const std::string& md5);

// Runs the catalogue's driver search for filter and tries every row in the
// database's order: in a manual search every row matches, otherwise its
// range of the content must have its digest. After each row onRow gets the
// match, its availability looked up (DriverRow::available), or nullptr for
// a row that did not match; returning false ends the walk. Database
// failures are thrown as DbException. Returns the matches.
int SearchDriverRows(KeyDatabase& db, const DriverFilter& filter, const unsigned char* data,
                     std::uint64_t size, const std::function<bool(const DriverRow*)>& onRow);

}  // namespace keydb
