#include "tools/keybuilder/DemoKey.h"

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <random>

#include "dbwindow/Hash_algorithms.h"

namespace keybuilder {
namespace fs = std::filesystem;

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
  const char* ecus[] = {"EDC15C7", "EDC16C39",  "EDC16C34", "ME7.3.1", "IAW 5SF",
                        "MJD 6JF", "EDC15  C2", "SID803",   "DCM3.4"};
  const char* engines[] = {"1.9 JTD 115cv",     "2.0 TDI 140cv", "1.6 HDi 110cv",  "1.4 16V 95cv",
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
            d.md5 =
                TUEDC16::HashBuffer(image.data() + d.start, static_cast<size_t>(d.end - d.start));
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
  // registration), each under a driver that fingerprints it, stored as the
  // tool stores them; the last one as the plain file the product may also
  // leave. Modified files of the first two, one without its file.
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
          d.md5 !=
              TUEDC16::HashBuffer(image.data() + d.start, static_cast<size_t>(d.end - d.start)))
        continue;
      ++oriId;
      key.AddOriginalRow(oriId, d.nomefile, ToCp1252(r.note),
                         "originale_" + std::to_string(r.sample + 1) + ".bin", digest);
      if (oriId < 3)
        key.StoreOriginal(oriId, image);
      else
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
    if (m.withFile) key.StoreModified(modId, content);
  }
  return demo;
}

}  // namespace keybuilder
