#include "db/key/KeyChanges.h"

#include <cstdint>
#include <vector>

#include "db/DbConnection.h"
#include "db/SqlText.h"
#include "db/Transaction.h"
#include "db/key/DriverCatalogue.h"
#include "db/key/FileCatalogue.h"
#include "db/key/KeyDatabase.h"
#include "db/key/QueryRows.h"
#include "db/key/StoredNames.h"
#include "dbwindow/Hash_algorithms.h"
#include "platform/Files.h"
#include "platform/Platform.h"

namespace keydb {
namespace {

// The chosen file's bytes while they still have the MD5 text it was chosen
// with; false when it vanished, cannot be read or changed since.
bool ReadChosen(const ChosenFile& chosen, std::vector<unsigned char>* content) {
  std::string reason;
  return ReadWholeFile(chosen.path, content, &reason) &&
         TUEDC16::HashBuffer(content->data(), content->size()) == chosen.md5;
}

// Stores the chosen file as the only entry of a new archive in folder and
// inserts its row in a transaction (with mustChangeRow a statement that adds
// no row fails too); a row that cannot be inserted takes the archive along.
Registration StoreAndInsert(KeyDatabase& db, const Folder& folder, const std::string& storedName,
                            const ChosenFile& chosen, const std::string& insert, bool mustChangeRow,
                            const Progress& onProgress) {
  std::vector<unsigned char> content;
  if (!ReadChosen(chosen, &content)) return Registration::kNotStored;
  const std::string archive = folder.File(storedName);
  std::string error;
  if (StoreInNewArchive(archive, storedName, content, &error, onProgress) != StoreResult::Stored)
    return Registration::kNotStored;
  if (RunInTransaction(db.connection(), insert, mustChangeRow)) return Registration::kRegistered;
  RemoveStoredArchive(archive);
  return Registration::kNotInserted;
}

// What insertions put unquoted into VALUES for the local time.
const char* const kNow = "datetime('now','localtime')";

// An id as a list shows it: a decimal integer of 32 bits and nothing else,
// as a driver's offsets are read.
bool ParseId(const std::string& text, int* id) {
  std::int64_t value = 0;
  if (!FingerprintOffset(text.c_str(), &value)) return false;
  *id = static_cast<int>(value);
  return true;
}

// The ORI row this id and MD5 text name. A NULL MD5 is listed, and so
// compared, as the empty text; an id reused by a later original has another
// MD5 and does not count.
std::string OriginalCondition(int originalId, const std::string& originalMd5) {
  return "ID_ORI = " + std::to_string(originalId) + " and ifnull(MD5,'') = '" +
         SqlValue(originalMd5) + "'";
}

// The stored name of the first row of select, then runs deletion; "" when
// no row was found (the delete still runs and finds nothing).
std::string DeleteRow(KeyDatabase& db, const std::string& select, const std::string& deletion) {
  std::string nomeFile;
  DbQuery row = db.connection().runQuery(select);
  if (!row.atEnd()) nomeFile = row.columnString("NOMEFILE", "");
  row.release();
  db.connection().runStatement(deletion);
  return nomeFile;
}

// Removes the file a deleted row stood for. A name that is not a plain
// file name gives no path, and nothing is removed.
Deletion RemoveFileOf(const std::string& file, std::string* keptFile) {
  if (!platform::FileExists(file) || platform::files::Remove(file)) return Deletion::kDeleted;
  *keptFile = file;
  return Deletion::kFileKept;
}

}  // namespace

Registration RegisterOriginal(KeyDatabase& db, const NewOriginal& original,
                              const Progress& onProgress) {
  if (IsRegistered(db, original.file.md5, false)) return Registration::kAlreadyRegistered;
  int id = 0;
  if (!NextOriginalId(db, &id)) return Registration::kNoId;
  const std::string storedName = OriginalFileName(id);
  const std::string insert =
      "insert into ORI (ID_ORI, ID_DRIVER, [NOTE], NOMEFILE, PATH, MD5, LAST_MOD_DATE ) values (" +
      std::to_string(id) + ", '" + SqlValue(original.driver) + "', '" + SqlValue(original.note) +
      "', '" + SqlValue(storedName) + "', '" + SqlValue(original.fileName) + "','" +
      SqlValue(original.file.md5) + "', " + kNow + ");";
  return StoreAndInsert(db, db.folders().Originals(), storedName, original.file, insert, false,
                        onProgress);
}

Registration RegisterModified(KeyDatabase& db, const NewModified& modified,
                              const Progress& onProgress) {
  // The original chosen may have been deleted (and its id given to another
  // original) since the list was filled.
  int originalId = 0;
  if (!ParseId(modified.originalId, &originalId) ||
      !HasRow(db, "select 1 from ORI where " + OriginalCondition(originalId, modified.originalMd5) +
                      ";"))
    return Registration::kOriginalGone;
  int id = 0;
  if (!NextModifiedId(db, &id)) return Registration::kNoId;
  const std::string storedName = ModifiedFileName(id);
  // The insert adds no row when the original went meanwhile: a failure.
  const std::string insert =
      "insert into MOD (ID_MOD, NOMEFILE, ID_ORI, [NOTE], PATH, MD5, LAST_MOD_DATE ) select " +
      std::to_string(id) + ", '" + SqlValue(storedName) + "'," + std::to_string(originalId) +
      ", '" + SqlValue(modified.note) + "', '" + SqlValue(modified.fileName) + "', '" +
      SqlValue(modified.file.md5) + "', " + kNow + " where exists (select 1 from ORI where " +
      OriginalCondition(originalId, modified.originalMd5) + ");";
  return StoreAndInsert(db, db.folders().Modified(), storedName, modified.file, insert, true,
                        onProgress);
}

Deletion DeleteOriginal(KeyDatabase& db, const std::string& originalId, std::string* keptFile) {
  // Counted again here: a modified file registered since the user was asked
  // counts too.
  if (CountModifiedFiles(db, originalId) > 0) return Deletion::kInUse;
  const std::string id = SqlValue(originalId);
  const std::string nomeFile = DeleteRow(db, "SELECT NOMEFILE FROM ORI WHERE ID_ORI='" + id + "';",
                                         "DELETE FROM ORI WHERE ID_ORI = '" + id + "';");
  return RemoveFileOf(db.folders().Originals().File(nomeFile), keptFile);
}

Deletion DeleteModified(KeyDatabase& db, const std::string& modifiedId, std::string* keptFile) {
  const std::string id = SqlValue(modifiedId);
  const std::string nomeFile = DeleteRow(db, "SELECT NOMEFILE FROM MOD where ID_MOD ='" + id + "';",
                                         "DELETE FROM MOD WHERE ID_MOD ='" + id + "';");
  return RemoveFileOf(db.folders().Modified().File(nomeFile), keptFile);
}

Deletion DeleteUserDriver(KeyDatabase& db, const std::string& nomefile, std::string* keptFile) {
  const std::string name = SqlValue(nomefile);
  if (db.connection().runScalar("select count(*) AS NUM_ORI from ORI where ID_DRIVER = '" + name +
                                "';") != 0)
    return Deletion::kInUse;
  if (!RunInTransaction(db.connection(), "DELETE FROM DRIVERS where NOMEFILE = '" + name +
                                             "' and FLAG_USER = 'True';"))
    return Deletion::kFailed;
  return RemoveFileOf(db.folders().DriverFile(nomefile, true), keptFile);
}

bool RecatalogueDriver(KeyDatabase& db, const std::string& nomefile, const std::string& brand,
                       const std::string& model, const std::string& description) {
  return RunInTransaction(db.connection(), "UPDATE DRIVERS SET MARCA = '" + SqlValue(brand) +
                                               "', MODELLO = '" + SqlValue(model) +
                                               "', DESCRIZIONE = '" + SqlValue(description) +
                                               "' WHERE NOMEFILE = '" + SqlValue(nomefile) + "';");
}

Reservation ReserveDriver(KeyDatabase& db, const std::string& driver) {
  if (HasRow(db, "select 1 from DRV_DOWNLOAD where ID_DRV_DOWNLOAD  = '" + SqlValue(driver) +
                     "' and DOWNLOADED = 'False' and ERROR = 'False';"))
    return Reservation::kAlreadyPending;
  // Asked only for a reservation that is to be written.
  int request = 0;
  if (!NextRequestId(db, &request)) return Reservation::kNoId;
  const std::string insert =
      "insert into DRV_DOWNLOAD (ID_REQUEST, ID_DRV_DOWNLOAD, DOWNLOADED, ERROR, REQUEST_DATE) "
      "values (" +
      std::to_string(request) + ", '" + SqlValue(driver) + "', 'False', 'False'," + kNow + ");";
  return RunInTransaction(db.connection(), insert) ? Reservation::kReserved : Reservation::kFailed;
}

}  // namespace keydb
