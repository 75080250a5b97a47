// What the key's database says about the registered files: the brands and
// models they were registered under, the searches of originals, an
// original's modified files, the stored file behind a row, the customer
// code and the pending driver reservations. The drivers' own reads are in
// DriverCatalogue.h, the changes in KeyChanges.h.
//
// One style for every read of the key's catalogues: a list of texts comes
// back as a vector; rows are handed one by one to the caller's handler while
// the result is still open (the handler may give the event queue a turn),
// and a handler that returns false ends the walk. Texts are the stored
// Windows-1252 bytes; values are escaped into the statements, so any text
// is matched exactly. Failures of the database throw DbException.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace keydb {

class KeyDatabase;

// Brands, and models of a brand, of the drivers that registered originals
// refer to; ascending, each once.
std::vector<std::string> RegisteredBrands(KeyDatabase& db);
std::vector<std::string> RegisteredModels(KeyDatabase& db, const std::string& brand);

// Whether an original (modified false) or a modified file (true) with this
// MD5 text is registered.
bool IsRegistered(KeyDatabase& db, const std::string& md5, bool modified);

// One registered original with its driver, as the originals searches list it.
struct OriginalRow {
  std::string id;            // ID_ORI as text
  std::string name;          // what the list shows (see DisplayName)
  std::string md5;           // ORI.MD5 (empty for NULL)
  std::string lastModified;  // ORI.LAST_MOD_DATE
  std::string driver;        // the driver's NOMEFILE
  std::string description;   // the driver's DESCRIZIONE
  // The original can be used: its driver is downloaded and its file on the
  // key, and its stored file is there.
  bool available = false;
};
using OriginalHandler = std::function<bool(const OriginalRow&)>;
// The originals with their drivers, of one brand and one model when given
// (nullptr: any), in the database's order.
void SearchOriginals(KeyDatabase& db, const std::string* brand, const std::string* model,
                     const OriginalHandler& onRow);

// The modified files registered against the original with this id (text).
int CountModifiedFiles(KeyDatabase& db, const std::string& originalId);

// A registered file's row and its stored file on the key.
struct StoredFile {
  std::string nomeFile;  // the stored file's name, and its archive entry's
  std::string name;      // what lists show and exports propose
  std::string note;      // line breaks as stored
  std::string file;      // native path; empty when NOMEFILE names no file
  bool present = false;  // a regular file stands at that path
};
// The original or modified file with this id (text); false when no row has it.
bool FindOriginal(KeyDatabase& db, const std::string& originalId, StoredFile* original);
bool FindModified(KeyDatabase& db, const std::string& modifiedId, StoredFile* modified);

// What the modified files panel shows above its list.
struct OriginalHeader {
  std::string name;
  std::string note;
  std::string lastModified;
  std::string driver;
  std::string driverDescription;
};
// The original with this id and its driver; false when either is gone.
bool FindOriginalHeader(KeyDatabase& db, const std::string& originalId, OriginalHeader* header);

// One modified file of an original.
struct ModifiedRow {
  std::string id;  // ID_MOD as text
  std::string name;
  std::string note;
  std::string lastModified;
  bool present = false;  // its stored file is on the key
};
void ModifiedFiles(KeyDatabase& db, const std::string& originalId,
                   const std::function<bool(const ModifiedRow&)>& onRow);

// The customer code of zkm_system's first row; false when the table is empty.
bool CustomerCode(KeyDatabase& db, std::string* code);

// Pending reservations (DOWNLOADED and ERROR both "False") of all drivers.
int CountPendingReservations(KeyDatabase& db);

}  // namespace keydb
