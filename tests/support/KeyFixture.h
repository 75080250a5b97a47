// Key trees for tests and the demo: a drive folder holding ZKM_Quorvane/
// with Database/zkm.db (the product's tables), the ORI, MOD and DRT folders
// and the start script in the drive's root. Texts go into the database as
// Windows-1252 bytes, as the product writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/Files.h"

namespace fixture {

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
  std::string md5;          // empty: NULL
  std::string mCentralina = "Bosch", vCentralina = "EDC16", nCentralina = "C39";
  std::string eprom = "29F400", cks = "CKS1";
  bool writeFile = true;    // put NOMEFILE.DRT/.DRU into Database/DRT
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
  void SetCustomer(const std::string& code) const;
  // Adds an ORI row and, when content is given, its stored file as a plain
  // file "Database/ORI/<id>.ori" (no archive: tests that need stored
  // archives write them through the archive code).
  void AddOriginalRow(int id, const std::string& driver, const std::string& note,
                      const std::string& path, const std::string& md5) const;
  void AddModifiedRow(int id, int idOri, const std::string& note, const std::string& path,
                      const std::string& md5) const;

 private:
  std::string drive_;
};

// What the demo key holds, for tests that search it.
struct DemoKey {
  std::vector<std::string> originalFiles;  // native paths of sample originals
  std::vector<Driver> drivers;
};

// Fills a key with the demo content: a few hundred drivers across several
// makes (accented ones included), maker's and user drivers, suspended ones,
// ones without fingerprint, their driver files for most, sample originals
// (written into sampleFolder) matched by some drivers, a customer code,
// originals registered from samples 2 to 4 and modified files of them.
DemoKey BuildDemoKey(const KeyBuilder& key, const std::string& sampleFolder);

}  // namespace fixture
