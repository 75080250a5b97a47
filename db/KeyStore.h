// The key's data below KeyRoot: where the database lives, how stored files
// are named, how ids are allocated, which rows are
// marker rows, and how a change runs in a transaction. KeyRoot is in the
// Windows form ("E:\ZKM_Quorvane\").
#pragma once

#include <string>
#include <string_view>
#include <vector>

class DbConnection;

namespace keystore {

// The database's native path; empty when the key's drive does not exist
// (opening an empty path fails as SQLITE_CANTOPEN). The files that rows
// name are found through keypaths::KeyFolders.
std::string DatabasePath(const std::string& keyRoot);  // Database\zkm.db

// Stored-file names: 12 -> "12.ori", "12.mod".
std::string OriginalFileName(int id);
std::string ModifiedFileName(int id);

// The id allocation queries, and the functions that run them (before the
// transaction that inserts): the largest id plus one, or 1 for an empty
// table. They return false when that number does not fit a signed 32-bit
// integer (an id 2147483647 is taken): the table has no new id, and the
// caller refuses before it writes anything. Other failures throw
// DbException as the layer does.
extern const char* const kNextOriginalIdSql;
extern const char* const kNextModifiedIdSql;
extern const char* const kNextRequestIdSql;  // its column is "ID"
bool NextOriginalId(DbConnection& db, int* id);
bool NextModifiedId(DbConnection& db, int* id);
bool NextRequestId(DbConnection& db, int* id);

// What insertions put unquoted into VALUES for the local time.
extern const char* const kNow;

// Marker rows carry the original file name in NOMEFILE; PATH is exactly
// one of these texts (case included).
extern const char* const kOriginalMarker;   // "DataBase\Original\"
extern const char* const kModifiedMarker;   // "DataBase\Modified\"
// The name lists show and exports propose: NOMEFILE for marker rows, PATH
// otherwise.
std::string DisplayName(const std::string& path, const std::string& nomeFile, bool modified);

// Whether stored content is a ZIP archive: at least two bytes, "PK" first.
bool IsStoredArchive(std::string_view content);
bool IsStoredArchive(const std::vector<unsigned char>& content);

// Runs one changing statement between "begin transaction;" and "commit
// transaction;" and returns true when all three succeeded. A failure of the
// statement or the commit (a DbException or any other) runs "rollback
// transaction;", swallowing any error of the rollback itself, and returns
// false; so does a failed begin, which leaves any transaction already open
// alone. With mustChangeRow a statement that changed no row is a failure
// too. Never throws: the caller shows its own message and closes.
bool RunInTransaction(DbConnection& db, const std::string& statement, bool mustChangeRow = false);

// A modified file is always tied to its original: the ORI row with this id
// and this MD5 text (the original the user chose, as it was listed). An id
// reused by a later original has another MD5 and does not count.
bool IsOriginalRegistered(DbConnection& db, int originalId, const std::string& originalMd5);

// A new MOD row (texts in Windows-1252, escaped here) for the stored file
// ModifiedFileName(id). The statement adds the row only while the original
// is registered as IsOriginalRegistered tells, and changes no row
// otherwise: run it with mustChangeRow.
struct ModifiedRow {
  int id = 0;
  int originalId = 0;
  std::string originalMd5;
  std::string note;      // MOD.NOTE, line breaks as stored
  std::string fileName;  // PATH: the file's own name, without folder
  std::string md5;
};
std::string InsertModifiedStatement(const ModifiedRow& row);

}  // namespace keystore
