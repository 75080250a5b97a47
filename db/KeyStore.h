// The key's data below KeyRoot: where the database and the stored files
// live, how stored files are named, how ids are allocated, which rows are
// marker rows, and how a change runs in a transaction. KeyRoot is in the
// Windows form ("E:\ZKM_Quorvane\"); the returned paths are native, with
// every existing component matched without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class DbConnection;

namespace keystore {

// Native paths; empty when the key's drive does not exist (opening an
// empty database path fails as SQLITE_CANTOPEN).
std::string DatabasePath(const std::string& keyRoot);            // Database\zkm.db
std::string OriginalsFolder(const std::string& keyRoot);         // Database\ORI\ (trailing separator)
std::string ModifiedFolder(const std::string& keyRoot);          // Database\MOD\ (trailing separator)
std::string DriversFolder(const std::string& keyRoot);           // Database\DRT\ (trailing separator)
// The stored file a row's NOMEFILE names. NOMEFILE comes from the database:
// a name that is not a plain file name (empty, ".", "..", or holding '\',
// '/' or ':') names no file and gives an empty path, so that nothing outside
// the folders is ever read or removed on a row's say-so.
std::string StoredOriginalPath(const std::string& keyRoot, const std::string& nomeFile);
std::string StoredModifiedPath(const std::string& keyRoot, const std::string& nomeFile);
bool IsPlainFileName(const std::string& name);
// Database\DRT\ + name + ".DRU" for user drivers, ".DRT" for the maker's;
// empty, like the stored-file paths, for a name that is not a plain one.
std::string DriverFilePath(const std::string& keyRoot, const std::string& nomeFile, bool user);

// Stored-file names: 12 -> "12.ori", "12.mod".
std::string OriginalFileName(int id);
std::string ModifiedFileName(int id);

// The id allocation queries, and the functions that run them (before the
// transaction that inserts): the largest id plus one, or 1 for an empty
// table. Throw DbException as the layer does.
extern const char* const kNextOriginalIdSql;  // through runScalar
extern const char* const kNextModifiedIdSql;  // through runScalar
extern const char* const kNextRequestIdSql;   // through runQuery, column "ID"
int NextOriginalId(DbConnection& db);
int NextModifiedId(DbConnection& db);
int NextRequestId(DbConnection& db);

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
// alone. Never throws: the caller shows its own message and closes.
bool RunInTransaction(DbConnection& db, const std::string& statement);

}  // namespace keystore
