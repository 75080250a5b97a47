// The catalogue of the key's data: one function per statement that the
// windows and the main window run on the key's database (brands, models,
// searches, notes, counts, deletions, the customer code, reservations and
// registrations). The drivers' own statements are in DriverCatalogue.h.
//
// Every function runs on the command's open connection and leaves it open.
// Texts are the stored Windows-1252 bytes; values are escaped into the
// statements, so any text is matched or stored exactly. Reads let
// DbException through. Functions that return rows hand each row to the
// caller's handler while the result is still open (the handler may give the
// event queue a turn); a handler that returns false ends the walk. The
// result is released on every path.
#pragma once

#include <functional>
#include <string>
#include <vector>

class DbConnection;

namespace keypaths {
class KeyFolders;
}

namespace catalogue {

// One text per row (a brand or a model).
using TextHandler = std::function<bool(const std::string&)>;

// Brands of every driver, ascending, each once.
void DriverBrands(DbConnection& db, const TextHandler& onBrand);
// Models of every driver of the brand, ascending, each once.
void DriverModels(DbConnection& db, const std::string& brand, const TextHandler& onModel);
// Brands and models of the drivers that a registered original refers to.
void RegisteredBrands(DbConnection& db, const TextHandler& onBrand);
void RegisteredModels(DbConnection& db, const std::string& brand, const TextHandler& onModel);

// Whether an original (modified false) or a modified file (true) with this
// MD5 text is registered.
bool IsRegistered(DbConnection& db, const std::string& md5, bool modified);

// One registered original with its driver, as the originals searches list it.
struct OriginalRow {
  std::string id;            // ID_ORI as text
  std::string nomeFile;      // the stored file's name (ORI.NOMEFILE)
  std::string path;          // ORI.PATH
  std::string md5;           // ORI.MD5 (empty for NULL)
  std::string lastModified;  // ORI.LAST_MOD_DATE
  std::string driver;        // the driver's NOMEFILE
  std::string description;   // the driver's DESCRIZIONE
  bool downloaded = false;   // the driver's DOWNLOADED
  bool userDriver = false;   // the driver's FLAG_USER
};
// The originals with their drivers, of one brand and one model when given
// (nullptr: any), in the database's order.
void SearchOriginals(DbConnection& db, const std::string* brand, const std::string* model,
                     const std::function<bool(const OriginalRow&)>& onRow);
// Whether a listed original can be used: its driver is downloaded and its
// file on the key, and its stored file is there.
bool IsOriginalAvailable(keypaths::KeyFolders& folders, const OriginalRow& row);

// The modified files registered against the original with this id (text).
int CountModifiedFiles(DbConnection& db, const std::string& originalId);

// A stored file's row: NOMEFILE, PATH and the note.
struct StoredRow {
  std::string nomeFile;
  std::string path;
  std::string note;  // line breaks as stored
};
// The original's stored name, note and PATH; false when no row has the id.
bool OriginalNote(DbConnection& db, const std::string& originalId, StoredRow* row);
// The original's stored name and PATH (no note); false when no row has the id.
bool OriginalFile(DbConnection& db, const std::string& originalId, StoredRow* row);
// Deletes the original's row; gives the stored name it had (empty when no
// row had the id). A failed delete throws.
std::string DeleteOriginal(DbConnection& db, const std::string& originalId);

// What the modified files panel shows above its list.
struct OriginalHeader {
  std::string nomeFile;
  std::string path;
  std::string note;
  std::string lastModified;
  std::string driver;
  std::string driverDescription;
};
// The original with this id and its driver; false when either is gone.
bool FindOriginalHeader(DbConnection& db, const std::string& originalId, OriginalHeader* header);

// One modified file of an original.
struct ModifiedFileRow {
  std::string id;  // ID_MOD as text
  std::string nomeFile;
  std::string path;
  std::string note;
  std::string lastModified;
};
void ModifiedFiles(DbConnection& db, const std::string& originalId,
                   const std::function<bool(const ModifiedFileRow&)>& onRow);
// The modified file's stored name; false when no row has the id.
bool ModifiedStoredName(DbConnection& db, const std::string& modifiedId, std::string* nomeFile);
// The modified file's stored name and PATH; false when no row has the id.
bool ModifiedFile(DbConnection& db, const std::string& modifiedId, StoredRow* row);
// Deletes the modified file's row; gives the stored name it had (empty when
// no row had the id). A failed delete throws.
std::string DeleteModified(DbConnection& db, const std::string& modifiedId);

// The customer code of zkm_system's first row; false when the table is empty.
bool CustomerCode(DbConnection& db, std::string* code);

// Driver download reservations.
// Pending reservations (DOWNLOADED and ERROR both "False") of all drivers.
int CountPendingReservations(DbConnection& db);
enum class Reservation {
  kReserved,        // a new pending row was inserted
  kAlreadyPending,  // the driver had a pending reservation; nothing written
  kNoId,            // no request id is left; nothing written
  kFailed,          // the insert failed and was rolled back
};
Reservation ReserveDriver(DbConnection& db, const std::string& driver);

// Registrations: the stored file first, then its row.
enum class Registration {
  kRegistered,   // the archive holds the bytes and the row is committed
  kNotStored,    // the archive could not be written; nothing is left of it
  kNotInserted,  // the row could not be inserted: rolled back, archive removed
};
// Stores content as the only entry storedName of a new archive at
// archivePath (native), then runs insert in a transaction (with
// mustChangeRow a statement that adds no row fails too); when the insert
// fails the archive this call created is removed. Never throws.
Registration StoreAndInsert(DbConnection& db, const std::string& archivePath,
                            const std::string& storedName,
                            const std::vector<unsigned char>& content, const std::string& insert,
                            bool mustChangeRow);

// A new ORI row for the stored file keystore::OriginalFileName(id).
struct NewOriginal {
  int id = 0;
  std::string driver;    // the driver's NOMEFILE
  std::string note;      // line breaks as stored
  std::string fileName;  // PATH: the file's own name, without folder
  std::string md5;
};
std::string InsertOriginalStatement(const NewOriginal& row);

}  // namespace catalogue
