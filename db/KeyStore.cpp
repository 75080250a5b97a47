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
bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("\\/:") == std::string::npos;
}
std::string StoredOriginalPath(const std::string& keyRoot, const std::string& nomeFile) {
  if (!IsPlainFileName(nomeFile)) return std::string();
  return platform::NativePath(keyRoot, "Database\\ORI\\" + nomeFile);
}
std::string StoredModifiedPath(const std::string& keyRoot, const std::string& nomeFile) {
  if (!IsPlainFileName(nomeFile)) return std::string();
  return platform::NativePath(keyRoot, "Database\\MOD\\" + nomeFile);
}
std::string DriverFilePath(const std::string& keyRoot, const std::string& nomeFile, bool user) {
  if (!IsPlainFileName(nomeFile)) return std::string();
  return platform::NativePath(keyRoot, "Database\\DRT\\" + nomeFile + (user ? ".DRU" : ".DRT"));
}

std::string OriginalFileName(int id) { return std::to_string(id) + ".ori"; }
std::string ModifiedFileName(int id) { return std::to_string(id) + ".mod"; }

const char* const kNextOriginalIdSql = "select ifnull(max(id_ori)+1,1) as id from ori;";
const char* const kNextModifiedIdSql = "select ifnull(max(id_mod)+1,1) as id from mod;";
const char* const kNextRequestIdSql =
    "select ifnull(max(id_request)+1,1) as ID from drv_download;";

int NextOriginalId(DbConnection& db) { return db.runScalar(kNextOriginalIdSql); }

int NextModifiedId(DbConnection& db) { return db.runScalar(kNextModifiedIdSql); }

int NextRequestId(DbConnection& db) {
  DbQuery query = db.runQuery(kNextRequestIdSql);
  const int id = query.columnInt("ID", 1);
  query.release();
  return id;
}

std::string DisplayName(const std::string& path, const std::string& nomeFile, bool modified) {
  return path == (modified ? kModifiedMarker : kOriginalMarker) ? nomeFile : path;
}

bool IsStoredArchive(std::string_view content) {
  return content.size() >= 2 && content[0] == 'P' && content[1] == 'K';
}

bool IsStoredArchive(const std::vector<unsigned char>& content) {
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
