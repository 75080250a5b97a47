#include "db/key/KeyDatabase.h"

namespace keydb {

KeyDatabase::KeyDatabase(const std::string& keyRoot) : keyRoot_(keyRoot), folders_(keyRoot) {
  db_.open(folders_.DatabasePath());
}

namespace {

bool NextId(KeyDatabase& db, const char* sql, int* id) {
  try {
    *id = db.connection().runScalar(sql);
    return true;
  } catch (const DbException& e) {
    if (e.isOutOfRange()) return false;
    throw;
  }
}

}  // namespace

bool NextOriginalId(KeyDatabase& db, int* id) {
  return NextId(db, "select ifnull(max(id_ori)+1,1) as id from ori;", id);
}

bool NextModifiedId(KeyDatabase& db, int* id) {
  return NextId(db, "select ifnull(max(id_mod)+1,1) as id from mod;", id);
}

bool NextRequestId(KeyDatabase& db, int* id) {
  // The only row's first column is "ID".
  return NextId(db, "select ifnull(max(id_request)+1,1) as ID from drv_download;", id);
}

}  // namespace keydb
