// The key's data below KeyRoot: where the database and the stored files
// live, how stored files are named, how ids are allocated, which rows are
// marker rows, and how a change runs in a transaction. KeyRoot is in the
// Windows form ("E:\ZKM_Quorvane\"); the returned paths are native, with
// every existing component matched without regard to case.
#pragma once

#include <string>
#include <vector>

class DbConnection;

namespace keystore {

// Native paths.
std::string DatabasePath(const std::string& keyRoot);            // Database\zkm.db
std::string OriginalsFolder(const std::string& keyRoot);         // Database\ORI\ (trailing separator)
std::string ModifiedFolder(const std::string& keyRoot);          // Database\MOD\ (trailing separator)
std::string DriversFolder(const std::string& keyRoot);           // Database\DRT\ (trailing separator)
std::string StoredOriginalPath(const std::string& keyRoot, const std::string& nomeFile);
std::string StoredModifiedPath(const std::string& keyRoot, const std::string& nomeFile);
// Database\DRT\ + name + ".DRU" for user drivers, ".DRT" for the maker's.
std::string DriverFilePath(const std::string& keyRoot, const std::string& nomeFile, bool user);

// Stored-file names: 12 -> "12.ori", "12.mod".
std::string OriginalFileName(int id);
std::string ModifiedFileName(int id);

// The next id: the largest plus one, or 1 for an empty table.
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
bool IsStoredArchive(const std::vector<unsigned char>& content);
bool IsStoredArchive(const std::string& content);

// Runs one changing statement between "begin transaction;" and "commit
// transaction;". A failure of the begin, the statement or the commit rolls
// back (an error of the rollback itself is swallowed) and returns false, so
// the caller can show its own message. Never throws.
bool RunInTransaction(DbConnection& db, const std::string& statement);

}  // namespace keystore
