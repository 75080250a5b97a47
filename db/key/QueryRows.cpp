#include "db/key/QueryRows.h"

#include "db/DbConnection.h"
#include "db/key/KeyDatabase.h"

namespace keydb {

std::vector<std::string> TextColumn(KeyDatabase& db, const std::string& sql, const char* column) {
  DbQuery rows = db.connection().runQuery(sql);
  std::vector<std::string> values;
  while (!rows.atEnd()) {
    values.push_back(rows.columnString(column, ""));
    rows.advance();
  }
  rows.release();
  return values;
}

bool HasRow(KeyDatabase& db, const std::string& sql) {
  DbQuery rows = db.connection().runQuery(sql);
  const bool found = !rows.atEnd();
  rows.release();
  return found;
}

}  // namespace keydb
