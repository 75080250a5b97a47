#include "db/KeyStore.h"

#include "db/DbConnection.h"
#include "platform/Platform.h"

namespace keystore {

const char* const kNow = "datetime('now','localtime')";
const char* const kOriginalMarker = "DataBase\\Original\\";
const char* const kModifiedMarker = "DataBase\\Modified\\";

std::string DatabasePath(const std::string& keyRoot) {
  return platform::NativePath(keyRoot, "Database\\zkm.db");
}
std::string OriginalsFolder(const std::string& keyRoot) {
  return platform::NativePath(keyRoot, "Database\\ORI\\");
}
std::string ModifiedFolder(const std::string& keyRoot) {
  return platform::NativePath(keyRoot, "Database\\MOD\\");
}
std::string DriversFolder(const std::string& keyRoot) {
  return platform::NativePath(keyRoot, "Database\\DRT\\");
}
std::string StoredOriginalPath(const std::string& keyRoot, const std::string& nomeFile) {
  return platform::NativePath(keyRoot, "Database\\ORI\\" + nomeFile);
}
std::string StoredModifiedPath(const std::string& keyRoot, const std::string& nomeFile) {
  return platform::NativePath(keyRoot, "Database\\MOD\\" + nomeFile);
}
std::string DriverFilePath(const std::string& keyRoot, const std::string& nomeFile, bool user) {
  return platform::NativePath(keyRoot, "Database\\DRT\\" + nomeFile + (user ? ".DRU" : ".DRT"));
}

std::string OriginalFileName(int id) { return std::to_string(id) + ".ori"; }
std::string ModifiedFileName(int id) { return std::to_string(id) + ".mod"; }

int NextOriginalId(DbConnection& db) {
  return db.runScalar("select ifnull(max(id_ori)+1,1) as id from ori;");
}

int NextModifiedId(DbConnection& db) {
  return db.runScalar("select ifnull(max(id_mod)+1,1) as id from mod;");
}

int NextRequestId(DbConnection& db) {
  DbQuery query = db.runQuery("select ifnull(max(id_request)+1,1) as ID from drv_download;");
  const int id = query.columnInt("ID", 1);
  query.release();
  return id;
}

std::string DisplayName(const std::string& path, const std::string& nomeFile, bool modified) {
  return path == (modified ? kModifiedMarker : kOriginalMarker) ? nomeFile : path;
}

bool IsStoredArchive(const std::vector<unsigned char>& content) {
  return content.size() >= 2 && content[0] == 'P' && content[1] == 'K';
}

bool IsStoredArchive(const std::string& content) {
  return content.size() >= 2 && content[0] == 'P' && content[1] == 'K';
}

bool RunInTransaction(DbConnection& db, const std::string& statement) {
  try {
    db.runStatement("begin transaction;");
  } catch (...) {
    return false;
  }
  try {
    db.runStatement(statement);
    db.runStatement("commit transaction;");
    return true;
  } catch (...) {
    try {
      db.runStatement("rollback transaction;");
    } catch (...) {
      // The caller's own message must show whatever the rollback says.
    }
    return false;
  }
}

}  // namespace keystore
