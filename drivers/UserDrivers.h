// The driver window's statements on the key's database. Every operation
// opens its own connection to the database at dbPath and closes it before
// it returns. Texts are the stored Windows-1252 bytes; values are escaped
// into the statements, so any text is matched or stored exactly. Reads let
// DbException through; the changes report failure as a value.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace userdrivers {

// The makes of the user's own drivers, in the database's order.
std::vector<std::string> UserMakes(const std::string& dbPath);
// The makes of every driver.
std::vector<std::string> AllMakes(const std::string& dbPath);
// The models of a make: of the user's drivers only, or of all drivers.
std::vector<std::string> Models(const std::string& dbPath, const std::string& make,
                                bool userDriversOnly);

// One row of the search.
struct Found {
  std::string nomefile;
  std::string descrizione;
  std::string centralina;  // M_, V_ and N_CENTRALINA joined by single blanks
  std::string eprom;
  std::string cks;
  bool downloaded = false;
  bool user = false;
};

// The non-suspended user drivers, optionally of one make and one model
// (nullptr: any). onRow runs for each row in the order returned, while the
// result is open.
void Search(const std::string& dbPath, const std::string* make, const std::string* model,
            const std::function<void(const Found&)>& onRow);

// The make and model of the driver named so; false when no row has the name.
bool MakeAndModel(const std::string& dbPath, const std::string& nomefile, std::string* make,
                  std::string* model);

// Gives the driver a new make, model and description in one transaction.
// False when the change failed and was rolled back.
bool Recatalogue(const std::string& dbPath, const std::string& nomefile,
                 const std::string& make, const std::string& model,
                 const std::string& description);

enum class Deletion { kDeleted, kReferenced, kFailed };

// Removes the user driver's row unless an original refers to it
// (kReferenced, nothing changed). kFailed: the delete was rolled back.
// A failure of the count throws.
Deletion DeleteUserDriver(const std::string& dbPath, const std::string& nomefile);

}  // namespace userdrivers
