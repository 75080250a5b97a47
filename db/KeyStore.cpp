#include "db/KeyStore.h"

#include "db/DbConnection.h"
#include "db/KeyPaths.h"
#include "db/SqlText.h"

namespace keystore {

const char* const kNow = "datetime('now','localtime')";
const char* const kOriginalMarker = "DataBase\\Original\\";
const char* const kModifiedMarker = "DataBase\\Modified\\";

std::string DatabasePath(const std::string& keyRoot) {
  return keypaths::KeyFolders(keyRoot).DatabasePath();
}
std::string OriginalFileName(int id) { return std::to_string(id) + ".ori"; }
std::string ModifiedFileName(int id) { return std::to_string(id) + ".mod"; }

const char* const kNextOriginalIdSql = "select ifnull(max(id_ori)+1,1) as id from ori;";
const char* const kNextModifiedIdSql = "select ifnull(max(id_mod)+1,1) as id from mod;";
const char* const kNextRequestIdSql =
    "select ifnull(max(id_request)+1,1) as ID from drv_download;";

namespace {

bool NextId(DbConnection& db, const char* sql, int* id) {
  try {
    *id = db.runScalar(sql);
    return true;
  } catch (const DbException& e) {
    if (e.isOutOfRange()) return false;
    throw;
  }
}

}  // namespace

bool NextOriginalId(DbConnection& db, int* id) { return NextId(db, kNextOriginalIdSql, id); }
bool NextModifiedId(DbConnection& db, int* id) { return NextId(db, kNextModifiedIdSql, id); }
// The only row's first column is "ID".
bool NextRequestId(DbConnection& db, int* id) { return NextId(db, kNextRequestIdSql, id); }

std::string DisplayName(const std::string& path, const std::string& nomeFile, bool modified) {
  return path == (modified ? kModifiedMarker : kOriginalMarker) ? nomeFile : path;
}

bool IsStoredArchive(std::string_view content) {
  return content.size() >= 2 && content[0] == 'P' && content[1] == 'K';
}

bool IsStoredArchive(const std::vector<unsigned char>& content) {
  return content.size() >= 2 && content[0] == 'P' && content[1] == 'K';
}

bool RunInTransaction(DbConnection& db, const std::string& statement, bool mustChangeRow) {
  try {
    db.runStatement("begin transaction;");
  } catch (...) {
    return false;
  }
  try {
    if (db.runStatement(statement) > 0 || !mustChangeRow) {
      db.runStatement("commit transaction;");
      return true;
    }
  } catch (...) {
    // Rolled back below, like a statement that changed no row it had to.
  }
  try {
    db.runStatement("rollback transaction;");
  } catch (...) {
    // The caller's own message must show whatever the rollback says.
  }
  return false;
}

namespace {

std::string OriginalCondition(int originalId, const std::string& originalMd5) {
  // A NULL MD5 is listed, and so compared, as the empty text.
  return "ID_ORI = " + std::to_string(originalId) + " and ifnull(MD5,'') = '" +
         SqlValue(originalMd5) + "'";
}

}  // namespace

bool IsOriginalRegistered(DbConnection& db, int originalId, const std::string& originalMd5) {
  DbQuery row =
      db.runQuery("select 1 from ORI where " + OriginalCondition(originalId, originalMd5) + ";");
  const bool found = !row.atEnd();
  row.release();
  return found;
}

std::string InsertModifiedStatement(const ModifiedRow& row) {
  return "insert into MOD (ID_MOD, NOMEFILE, ID_ORI, [NOTE], PATH, MD5, LAST_MOD_DATE ) select " +
         std::to_string(row.id) + ", '" + SqlValue(ModifiedFileName(row.id)) + "'," +
         std::to_string(row.originalId) + ", '" + SqlValue(row.note) + "', '" +
         SqlValue(row.fileName) + "', '" + SqlValue(row.md5) + "', " + kNow +
         " where exists (select 1 from ORI where " +
         OriginalCondition(row.originalId, row.originalMd5) + ");";
}

}  // namespace keystore
