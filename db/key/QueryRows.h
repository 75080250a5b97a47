// Small reads the catalogues share. Internal to this layer.
#pragma once

#include <string>
#include <vector>

#include "db/DbConnection.h"
#include "db/key/KeyDatabase.h"

namespace keydb {

// The column of every row of sql, NULL read as "".
std::vector<std::string> TextColumn(KeyDatabase& db, const std::string& sql, const char* column);
// Hands every row of sql, as read(rows, &row) makes it from the current
// result row, to onRow while the result is open; onRow returning false ends
// the walk. The result is released on every path.
template <typename Row, typename Read, typename Handler>
void EachRow(KeyDatabase& db, const std::string& sql, Read read, const Handler& onRow) {
  DbQuery rows = db.connection().runQuery(sql);
  while (!rows.atEnd()) {
    Row row;
    read(rows, &row);
    rows.advance();
    if (!onRow(row)) break;
  }
  rows.release();
}

// Whether sql gives at least one row.
bool HasRow(KeyDatabase& db, const std::string& sql);

}  // namespace keydb
