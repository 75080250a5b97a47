// The key's database for one command, and the ids of new rows.
#pragma once

#include <string>

#include "db/DbConnection.h"
#include "db/key/KeyPaths.h"

namespace keydb {

// A connection to Database\zkm.db below KeyRoot ("E:\ZKM_Quorvane\"),
// open from construction to destruction, with the key's folders resolved
// for the same command. Construction throws DbException as
// DbConnection::open does (SQLITE_CANTOPEN when the key's drive is gone).
// Every read and change of the key's data takes one; the SQL it runs stays
// in this layer.
class KeyDatabase {
 public:
  explicit KeyDatabase(const std::string& keyRoot);
  KeyDatabase(const KeyDatabase&) = delete;
  KeyDatabase& operator=(const KeyDatabase&) = delete;

  const std::string& keyRoot() const { return keyRoot_; }
  KeyFolders& folders() { return folders_; }
  DbConnection& connection() { return db_; }

 private:
  std::string keyRoot_;
  KeyFolders folders_;
  DbConnection db_;
};

// The ids of new rows, asked before the transaction that inserts: the
// largest id plus one, or 1 for an empty table. False when that number
// does not fit a signed 32-bit integer (an id 2147483647 is taken): the
// table has no new id, and the caller refuses before it writes anything.
// Other failures throw DbException.
bool NextOriginalId(KeyDatabase& db, int* id);
bool NextModifiedId(KeyDatabase& db, int* id);
bool NextRequestId(KeyDatabase& db, int* id);

}  // namespace keydb
