// Driver identification apart from the window: the fingerprint test and
// the walk over the catalogue's candidate drivers. Texts are the database's
// Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "db/DriverCatalogue.h"

class DbConnection;

// Whether bytes [start, end) of the size bytes at data have the MD5 text
// md5 (compared exactly). Only 0 <= start < end <= size is hashed; any
// other range never matches and nothing outside the buffer is read.
bool RangeDigestMatches(const unsigned char* data, std::uint64_t size, std::int64_t start,
                        std::int64_t end, const std::string& md5);

// Runs the catalogue's driver search for filter on the open connection and
// tries every row in the database's order: in a manual search every row
// matches, otherwise its range of the content must have its digest. The
// key's folders are resolved once. After each row onRow gets the match (or
// nullptr for a row that did not match) and whether it is available
// (downloaded and its .DRT, .DRU for a user driver, on the key); returning
// false ends the walk. Database failures are thrown as DbException.
// Returns the matches.
int SearchDriverRows(DbConnection& db, const catalogue::DriverFilter& filter,
                     const unsigned char* data, std::uint64_t size, const std::string& keyRoot,
                     const std::function<bool(const catalogue::DriverRow*, bool available)>& onRow);
