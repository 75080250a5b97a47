// Key trees for the tests and the demo key: a drive folder holding ZKM_Quorvane/
// with Database/zkm.db (the product's tables), the ORI, MOD and DRT folders
// and the start script in the drive's root. Texts go into the database as
// Windows-1252 bytes, as the product writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/keybuilder/KeyFiles.h"

namespace keybuilder {

struct Driver {
  std::string nomefile;
  std::string marca;        // Windows-1252
  std::string modello;      // Windows-1252
  std::string descrizione;  // Windows-1252
  bool downloaded = true;
  bool user = false;
  bool suspended = false;
  std::int64_t start = 0;
  std::int64_t end = 0;
  std::string md5;  // empty: NULL
  std::string mCentralina = "Bosch", vCentralina = "EDC16", nCentralina = "C39";
  std::string eprom = "29F400", cks = "CKS1";
  bool writeFile = true;  // put NOMEFILE.DRT/.DRU into Database/DRT
};

class KeyBuilder {
 public:
  // Creates the tree below driveFolder (which must exist).
  explicit KeyBuilder(const std::string& driveFolder, bool withDatabase = true,
                      bool withStartScript = true);

  const std::string& driveFolder() const { return drive_; }
  std::string keyFolder() const { return drive_ + "/ZKM_Quorvane"; }
  std::string databasePath() const { return keyFolder() + "/Database/zkm.db"; }

  // Runs SQL on the key's database; throws std::runtime_error on failure.
  void Exec(const std::string& sql) const;
  // First column of the first row, or "" (NULL or no row).
  std::string Scalar(const std::string& sql) const;

  void AddDriver(const Driver& driver) const;
  // Stores content as a registration does: a one-entry ZIP archive
  // Database/ORI/<id>.ori (MOD/<id>.mod) whose entry is named like it.
  // Throws std::runtime_error when the archive cannot be written.
  void StoreOriginal(int id, const std::string& content) const;
  void StoreModified(int id, const std::string& content) const;
  void SetCustomer(const std::string& code) const;
  // Adds an ORI or MOD row naming the stored file "<id>.ori" / "<id>.mod";
  // the file itself is the caller's (StoreOriginal below, or any bytes).
  void AddOriginalRow(int id, const std::string& driver, const std::string& note,
                      const std::string& path, const std::string& md5) const;
  void AddModifiedRow(int id, int idOri, const std::string& note, const std::string& path,
                      const std::string& md5) const;

 private:
  std::string drive_;
};

}  // namespace keybuilder
