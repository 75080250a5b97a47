#include "tools/keybuilder/KeyBuilder.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "db/Schema.h"
#include "db/key/StoredFiles.h"

namespace keybuilder {
namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& text) {
  char* q = sqlite3_mprintf("%Q", text.c_str());
  std::string out = q;
  sqlite3_free(q);
  return out;
}

std::string Flag(bool b) { return b ? "'True'" : "'False'"; }

class Database {
 public:
  explicit Database(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
      std::string error = sqlite3_errmsg(db_);
      sqlite3_close(db_);
      throw std::runtime_error("cannot open " + path + ": " + error);
    }
  }
  ~Database() { sqlite3_close(db_); }
  void Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string text = error ? error : "?";
      sqlite3_free(error);
      throw std::runtime_error(text + " in " + sql);
    }
  }
  std::string Scalar(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
      throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in " + sql);
    std::string value;
    if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
      value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return value;
  }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace

KeyBuilder::KeyBuilder(const std::string& driveFolder, bool withDatabase, bool withStartScript)
    : drive_(driveFolder) {
  for (const char* folder : {"ORI", "MOD", "DRT"})
    fs::create_directories(keyFolder() + "/Database/" + folder);
  if (withStartScript)
    WriteFile(drive_ + "/Zkm_Quorvane.bat", "@echo off\r\ncd ZKM_Quorvane\r\nZKMQuorvane.exe\r\n");
  if (withDatabase) {
    Database db(databasePath());
    for (const char* create : schema::kCreateTables) db.Exec(create);
  }
}

void KeyBuilder::Exec(const std::string& sql) const { Database(databasePath()).Exec(sql); }

std::string KeyBuilder::Scalar(const std::string& sql) const {
  return Database(databasePath()).Scalar(sql);
}

void KeyBuilder::AddDriver(const Driver& d) const {
  std::ostringstream sql;
  sql << "INSERT INTO DRIVERS VALUES (" << Quote(d.nomefile) << "," << Quote(d.marca) << ","
      << Quote(d.modello) << "," << Quote(d.descrizione) << "," << Flag(d.downloaded) << ","
      << Flag(d.user) << "," << Flag(d.suspended) << "," << d.start << "," << d.end << ","
      << (d.md5.empty() ? "NULL" : Quote(d.md5)) << "," << Quote(d.mCentralina) << ","
      << Quote(d.vCentralina) << "," << Quote(d.nCentralina) << "," << Quote(d.eprom) << ","
      << Quote(d.cks) << ");";
  Exec(sql.str());
  if (d.writeFile)
    WriteFile(keyFolder() + "/Database/DRT/" + d.nomefile + (d.user ? ".DRU" : ".DRT"),
              "DRIVER " + d.nomefile + "\r\n");
}

namespace {

void Store(const std::string& path, const std::string& name, const std::string& content) {
  std::string error;
  const std::vector<unsigned char> bytes(content.begin(), content.end());
  if (keydb::StoreInNewArchive(path, name, bytes, &error) != keydb::StoreResult::Stored)
    throw std::runtime_error("cannot store " + path + ": " + error);
}

}  // namespace

void KeyBuilder::StoreOriginal(int id, const std::string& content) const {
  Store(keyFolder() + "/Database/ORI/" + std::to_string(id) + ".ori", std::to_string(id) + ".ori",
        content);
}

void KeyBuilder::StoreModified(int id, const std::string& content) const {
  Store(keyFolder() + "/Database/MOD/" + std::to_string(id) + ".mod", std::to_string(id) + ".mod",
        content);
}

void KeyBuilder::SetCustomer(const std::string& code) const {
  Exec("DELETE FROM zkm_system; INSERT INTO zkm_system VALUES (" + Quote(code) + ");");
}

void KeyBuilder::AddOriginalRow(int id, const std::string& driver, const std::string& note,
                                const std::string& path, const std::string& md5) const {
  Exec("INSERT INTO ORI VALUES (" + std::to_string(id) + "," + Quote(driver) + "," + Quote(note) +
       "," + Quote(std::to_string(id) + ".ori") + "," + Quote(path) + "," + Quote(md5) +
       ",datetime('now','localtime'));");
}

void KeyBuilder::AddModifiedRow(int id, int idOri, const std::string& note, const std::string& path,
                                const std::string& md5) const {
  Exec("INSERT INTO MOD VALUES (" + std::to_string(id) + "," + Quote(std::to_string(id) + ".mod") +
       "," + std::to_string(idOri) + "," + Quote(note) + "," + Quote(path) + "," + Quote(md5) +
       ",datetime('now','localtime'));");
}

}  // namespace keybuilder
