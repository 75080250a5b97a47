// The drivers' statements on the key's database: the identification's
// search and the user driver catalogue (makes, models, search, recatalogue,
// deletion), with the one row type both read. Every function runs on the
// command's open connection and leaves it open. Texts are the stored
// Windows-1252 bytes; values are escaped into the statements, so any text is
// matched or stored exactly. Reads let DbException through; the changes
// report failure as a value.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class DbConnection;

namespace catalogue {

// One row of a driver search.
struct DriverRow {
  std::string name;         // NOMEFILE
  std::string description;  // DESCRIZIONE
  std::string centralina;   // M_, V_ and N_CENTRALINA joined with single blanks
  std::string eprom;        // T_EPROM
  std::string cks;
  std::string md5;          // the fingerprint's MD5 text
  bool downloaded = false;
  bool user = false;        // FLAG_USER
  // The fingerprint's range [start, end): only when both offsets are
  // FingerprintOffsets.
  bool hasRange = false;
  std::int64_t start = 0;
  std::int64_t end = 0;
};
// A handler of driver rows; returning false ends the walk.
using DriverHandler = std::function<bool(const DriverRow&)>;

// A fingerprint offset as the driver row holds it: only a text that is a
// decimal integer of 32 bits, with an optional sign and nothing else (what
// SQLite gives for an integer), is an offset. Any other value (NULL, 2^32,
// "12abc", 1.5) is none, and its driver never matches.
bool FingerprintOffset(const char* text, std::int64_t* offset);

// What the user chose on the identification panel.
struct DriverFilter {
  bool manual = false;       // "Ricerca Manuale" ticked: no fingerprint needed
  bool brandChosen = false;  // brand list at any index but 0 (typed text too)
  std::string brand;
  bool modelChosen = false;  // model list at any index but 0
  std::string model;
};

// The identification's search: non-suspended drivers, with a complete
// fingerprint unless manual, of the chosen brand and model, in the
// database's order.
std::string DriverSearchStatement(const DriverFilter& filter);
void SearchDrivers(DbConnection& db, const DriverFilter& filter, const DriverHandler& onRow);

// The makes of the user's own drivers, and their models of a make.
std::vector<std::string> UserMakes(DbConnection& db);
std::vector<std::string> UserModels(DbConnection& db, const std::string& make);
// The makes of every driver, and their models of a make.
std::vector<std::string> AllMakes(DbConnection& db);
std::vector<std::string> AllModels(DbConnection& db, const std::string& make);

// The non-suspended user drivers, optionally of one make and one model
// (nullptr: any), in the database's order.
void SearchUserDrivers(DbConnection& db, const std::string* make, const std::string* model,
                       const DriverHandler& onRow);

// The make and model of the driver named so; false when no row has the name.
bool MakeAndModel(DbConnection& db, const std::string& nomefile, std::string* make,
                  std::string* model);

// Gives the driver a new make, model and description in one transaction.
// False when the change failed and was rolled back.
bool Recatalogue(DbConnection& db, const std::string& nomefile, const std::string& make,
                 const std::string& model, const std::string& description);

enum class Deletion { kDeleted, kReferenced, kFailed };

// Removes the user driver's row unless an original refers to it
// (kReferenced, nothing changed). kFailed: the delete was rolled back.
// A failure of the count throws.
Deletion DeleteUserDriver(DbConnection& db, const std::string& nomefile);

}  // namespace catalogue
