#include "tests/support/KeyFixture.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "db/Schema.h"
#include "dbwindow/Hash_algorithms.h"

namespace fixture {
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

void KeyBuilder::SetCustomer(const std::string& code) const {
  Exec("DELETE FROM zkm_system; INSERT INTO zkm_system VALUES (" + Quote(code) + ");");
}

void KeyBuilder::AddOriginalRow(int id, const std::string& driver, const std::string& note,
                                const std::string& path, const std::string& md5) const {
  Exec("INSERT INTO ORI VALUES (" + std::to_string(id) + "," + Quote(driver) + "," +
       Quote(note) + "," + Quote(std::to_string(id) + ".ori") + "," + Quote(path) + "," +
       Quote(md5) + ",datetime('now','localtime'));");
}

void KeyBuilder::AddModifiedRow(int id, int idOri, const std::string& note,
                                const std::string& path, const std::string& md5) const {
  Exec("INSERT INTO MOD VALUES (" + std::to_string(id) + "," +
       Quote(std::to_string(id) + ".mod") + "," + std::to_string(idOri) + "," + Quote(note) +
       "," + Quote(path) + "," + Quote(md5) + ",datetime('now','localtime'));");
}

DemoKey BuildDemoKey(const KeyBuilder& key, const std::string& sampleFolder) {
  struct Make {
    const char* name;
    std::vector<const char*> models;
  };
  const std::vector<Make> makes = {
      {"Alfa Romeo", {"147", "156", "159", "GT", "MiTo"}},
      {"Audi", {"A3", "A4", "A6", "TT"}},
      {"BMW", {"Serie 1", "Serie 3", "Serie 5", "X3"}},
      {"Citroën", {"C3", "C4", "C5", "Berlingo"}},
      {"Fiat", {"Punto", "Bravo", "Doblò", "Ducato", "Panda"}},
      {"Ford", {"Focus", "Fiesta", "Mondeo", "Transit"}},
      {"Lancia", {"Ypsilon", "Delta", "Musa"}},
      {"Mercedes", {"Classe A", "Classe C", "Classe E", "Sprinter"}},
      {"Opel", {"Astra", "Corsa", "Vectra", "Zafira"}},
      {"Peugeot", {"206", "207", "307", "407"}},
      {"Renault", {"Clio", "Mégane", "Laguna", "Trafic"}},
      {"Škoda", {"Fabia", "Octavia", "Superb"}},
      {"Volkswagen", {"Golf", "Passat", "Polo", "Touran"}},
  };
  const char* ecus[] = {"EDC15C7", "EDC16C39", "EDC16C34", "ME7.3.1", "IAW 5SF", "MJD 6JF",
                        "EDC15  C2", "SID803", "DCM3.4"};
  const char* engines[] = {"1.9 JTD 115cv", "2.0 TDI 140cv", "1.6 HDi 110cv", "1.4 16V 95cv",
                           "1.3 Multijet 90cv", "2.2 dCi 150cv", "1.8 Turbo 180cv"};

  DemoKey demo;
  std::mt19937 random(20091);
  fs::create_directories(sampleFolder);
  const size_t kSamples = 4;
  std::vector<std::string> images;
  for (size_t i = 0; i < kSamples; ++i) {
    images.push_back(EcuImage(static_cast<std::uint32_t>(1000 + i), 512 * 1024));
    std::string path = sampleFolder + "/originale_" + std::to_string(i + 1) + ".bin";
    WriteFile(path, images.back());
    demo.originalFiles.push_back(path);
  }

  int number = 0;
  for (const Make& make : makes) {
    for (const char* model : make.models) {
      int perModel = 4 + static_cast<int>(random() % 4);
      for (int k = 0; k < perModel; ++k) {
        Driver d;
        ++number;
        char name[16];
        std::snprintf(name, sizeof name, "%s%05d", k % 5 == 4 ? "U" : "D", number);
        d.nomefile = name;
        d.user = k % 5 == 4;
        d.marca = ToCp1252(make.name);
        d.modello = ToCp1252(model);
        const char* ecu = ecus[random() % std::size(ecus)];
        std::string description = std::string(ecu) + " " + engines[random() % std::size(engines)];
        if (number % 7 == 0) description += " - mappa più reattiva";
        if (number % 11 == 0) description += " (versione \"economy\")";
        d.descrizione = ToCp1252(description);
        d.vCentralina = ecu;
        d.downloaded = d.user || number % 5 != 0;
        d.suspended = number % 17 == 0;
        d.writeFile = number % 7 != 3;
        d.start = static_cast<std::int64_t>(random() % (256 * 1024));
        d.end = d.start + 256 + static_cast<std::int64_t>(random() % 16384);
        if (number % 13 == 0) {
          d.start = d.end = 0;  // no fingerprint
        } else {
          const std::string& image = images[number % kSamples];
          // A third of the drivers fingerprint one of the samples; the rest
          // carry digests that match nothing on this key.
          if (number % 3 == 0) {
            d.md5 = TUEDC16::HashBuffer(image.data() + d.start,
                                        static_cast<size_t>(d.end - d.start));
          } else {
            std::string other = EcuImage(static_cast<std::uint32_t>(number), 512);
            d.md5 = TUEDC16::HashBuffer(other.data(), other.size());
          }
        }
        key.AddDriver(d);
        demo.drivers.push_back(d);
      }
    }
  }
  key.SetCustomer("123");

  // Originals registered from samples 2 to 4 (sample 1 stays free for a new
  // registration), each under a driver that fingerprints it, stored as
  // plain files; modified files of the first two, one without its file.
  struct Registration {
    size_t sample;
    const char* note;
  };
  const Registration originals[] = {
      {1, "Golf 1.9 TDI 105cv\r\nLettura OBD del cliente Rossi"},
      {2, "Punto 1.3 Multijet 90cv - centralina sostituita"},
      {3, "Mégane 1.5 dCi, lettura da banco"},
  };
  int oriId = 0;
  for (const Registration& r : originals) {
    const std::string& image = images[r.sample];
    const std::string digest = TUEDC16::HashBuffer(image.data(), image.size());
    for (const Driver& d : demo.drivers) {
      if (d.md5.empty() || d.suspended ||
          d.md5 != TUEDC16::HashBuffer(image.data() + d.start, static_cast<size_t>(d.end - d.start)))
        continue;
      ++oriId;
      key.AddOriginalRow(oriId, d.nomefile, ToCp1252(r.note),
                         "originale_" + std::to_string(r.sample + 1) + ".bin", digest);
      WriteFile(key.keyFolder() + "/Database/ORI/" + std::to_string(oriId) + ".ori", image);
      break;
    }
  }
  const struct {
    int original;
    const char* name;
    const char* note;
    bool withFile;
  } modified[] = {
      {1, "golf_stage1.bin", "Stage 1: +25cv, limitatore a 4500 giri", true},
      {1, "golf_stage2.bin", "Stage 2 con EGR disattivata\r\nprovata su strada", true},
      {2, "punto_eco.bin", "Mappa \"economy\" per flotta", false},
  };
  int modId = 0;
  for (const auto& m : modified) {
    if (m.original > oriId) continue;
    std::string content = images[static_cast<size_t>(m.original)];
    content[static_cast<size_t>(4096 + modId)] ^= 0x5A;
    ++modId;
    key.AddModifiedRow(modId, m.original, ToCp1252(m.note), m.name,
                       TUEDC16::HashBuffer(content.data(), content.size()));
    if (m.withFile)
      WriteFile(key.keyFolder() + "/Database/MOD/" + std::to_string(modId) + ".mod", content);
  }
  return demo;
}

}  // namespace fixture
