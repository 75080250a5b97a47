// What the key's database says about the drivers: brands and models, the
// identification's search and the user's own drivers. Reads follow the
// style of FileCatalogue.h (texts as vectors, rows to a handler, DbException
// for failures); the changes to drivers are in KeyChanges.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace keydb {

class KeyDatabase;

// One row of a driver search.
struct DriverRow {
  std::string name;         // NOMEFILE
  std::string description;  // DESCRIZIONE
  std::string centralina;   // M_, V_ and N_CENTRALINA joined with single blanks
  std::string eprom;        // T_EPROM
  std::string cks;
  std::string md5;  // the fingerprint's MD5 text
  bool downloaded = false;
  bool user = false;  // FLAG_USER
  // Downloaded and its file (NOMEFILE.DRT, .DRU for a user driver) on the
  // key. Looked up only for the rows a list shows: by SearchUserDrivers,
  // and by SearchDriverRows (DriverSearch.h) for its matches.
  bool available = false;
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

// Brands of every driver, ascending, each once; models of every driver of
// the brand, likewise.
std::vector<std::string> DriverBrands(KeyDatabase& db);
std::vector<std::string> DriverModels(KeyDatabase& db, const std::string& brand);
// The same for the user's own drivers only.
std::vector<std::string> UserDriverBrands(KeyDatabase& db);
std::vector<std::string> UserDriverModels(KeyDatabase& db, const std::string& brand);

// What the user chose on the identification panel.
struct DriverFilter {
  bool manual = false;       // "Ricerca Manuale" ticked: no fingerprint needed
  bool brandChosen = false;  // brand list at any index but 0 (typed text too)
  std::string brand;
  bool modelChosen = false;  // model list at any index but 0
  std::string model;
};

// The identification's candidates: non-suspended drivers, with a complete
// fingerprint unless manual, of the chosen brand and model, in the
// database's order (available not looked up).
void SearchDrivers(KeyDatabase& db, const DriverFilter& filter, const DriverHandler& onRow);

// The non-suspended user drivers, optionally of one brand and one model
// (nullptr: any), in the database's order.
void SearchUserDrivers(KeyDatabase& db, const std::string* brand, const std::string* model,
                       const DriverHandler& onRow);

// The brand and model of the driver named so; false when no row has the name.
bool BrandAndModel(KeyDatabase& db, const std::string& nomefile, std::string* brand,
                   std::string* model);

}  // namespace keydb
