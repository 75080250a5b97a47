// Driver identification apart from the window: the statement that selects
// the candidate drivers, the fingerprint test and the walk over the rows.
// Texts are the database's Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class DbConnection;

// What the user chose on the identification panel.
struct DriverFilter {
  bool manual = false;       // "Ricerca Manuale" ticked: no fingerprint needed
  bool brandChosen = false;  // brand list at any index but 0 (typed text too)
  std::string brand;
  bool modelChosen = false;  // model list at any index but 0
  std::string model;
};

// The SELECT of the search: non-suspended drivers, with a complete
// fingerprint unless manual, of the chosen brand and model. Values are
// escaped, so no brand or model text can change the statement.
std::string DriverSearchStatement(const DriverFilter& filter);

// Whether bytes [start, end) of the size bytes at data have the MD5 text
// md5 (compared exactly). Only 0 <= start < end <= size is hashed; any
// other range never matches and nothing outside the buffer is read.
bool RangeDigestMatches(const unsigned char* data, std::uint64_t size, std::int64_t start,
                        std::int64_t end, const std::string& md5);

// A fingerprint offset as the driver row holds it: only a text that is a
// decimal integer of 32 bits, with an optional sign and nothing else (what
// SQLite gives for an integer), is an offset. Any other value (NULL, 2^32,
// "12abc", 1.5) is none, and its driver never matches.
bool FingerprintOffset(const char* text, std::int64_t* offset);

// One listed driver.
struct FoundDriver {
  std::string name;         // NOMEFILE
  std::string description;  // DESCRIZIONE
  std::string centralina;   // M_, V_ and N_CENTRALINA joined with single blanks
  std::string eprom;
  std::string cks;
  bool available = false;   // downloaded and its .DRT (.DRU for a user driver) on the key
  bool user = false;        // FLAG_USER
};

// Runs statement (from DriverSearchStatement) on the open connection and
// tries every row in the database's order: in a manual search every row
// matches, otherwise its offsets must be FingerprintOffsets and its range of
// the content must have its digest. The key's folders are resolved once. After
// each row onRow gets the match (or nullptr for a row that did not match);
// returning false ends the walk. The result is released on every path;
// database failures are thrown as DbException. Returns the matches.
int SearchDriverRows(DbConnection& db, const std::string& statement, bool manual,
                     const unsigned char* data, std::uint64_t size, const std::string& keyRoot,
                     const std::function<bool(const FoundDriver*)>& onRow);
