// Small reads the catalogues share. Internal to this layer.
#pragma once

#include <string>
#include <vector>

namespace keydb {

class KeyDatabase;

// The column of every row of sql, NULL read as "".
std::vector<std::string> TextColumn(KeyDatabase& db, const std::string& sql, const char* column);
// Whether sql gives at least one row.
bool HasRow(KeyDatabase& db, const std::string& sql);

}  // namespace keydb
