// The key's catalogues on real database files, without windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/key/DriverCatalogue.h"
#include "db/key/DriverSearch.h"
#include "db/key/FileCatalogue.h"
#include "db/key/KeyDatabase.h"
#include "dbwindow/Hash_algorithms.h"
#include "tests/db/key/KeyOnDrive.h"
#include "tests/support/KeyFixture.h"

namespace {

using Texts = std::vector<std::string>;

class Catalogue : public KeyOnDrive {
 protected:
  fixture::Driver Make(const std::string& name, const std::string& brand, bool user) {
    fixture::Driver d;
    d.nomefile = name;
    d.marca = brand;
    d.modello = "M'1";
    d.descrizione = name;
    d.user = user;
    return d;
  }
};

TEST(DriverRows, OffsetsAreThirtyTwoBitIntegersOnly) {
  std::int64_t offset = 0;
  EXPECT_TRUE(keydb::FingerprintOffset("-2147483648", &offset));
  EXPECT_EQ(offset, -2147483648LL);
  EXPECT_TRUE(keydb::FingerprintOffset("+2147483647", &offset));
  EXPECT_EQ(offset, 2147483647LL);
  for (const char* bad : {"2147483648", "-2147483649", "", "-", " 5", "5 ", "0x10", "1e3"})
    EXPECT_FALSE(keydb::FingerprintOffset(bad, &offset)) << bad;
  EXPECT_FALSE(keydb::FingerprintOffset(nullptr, &offset));
}

TEST(DriverRows, RangeTestNeverReadsOutside) {
  const unsigned char bytes[4] = {1, 2, 3, 4};
  const std::string all = TUEDC16::HashBuffer(bytes, 4);
  EXPECT_TRUE(keydb::RangeDigestMatches(bytes, 4, 0, 4, all));
  EXPECT_FALSE(keydb::RangeDigestMatches(bytes, 4, 0, 5, all));
  EXPECT_FALSE(keydb::RangeDigestMatches(bytes, 4, -1, 3, TUEDC16::HashBuffer(bytes, 3)));
  EXPECT_FALSE(keydb::RangeDigestMatches(bytes, 4, 3, 1, all));
  EXPECT_FALSE(keydb::RangeDigestMatches(bytes, 4, 2, 2, TUEDC16::HashBuffer("", 0)));
  EXPECT_FALSE(keydb::RangeDigestMatches(nullptr, 0, 0, 0, TUEDC16::HashBuffer("", 0)));
}

TEST_F(Catalogue, QuotedValuesFindTheirRowsAndAHandlerEndsTheWalk) {
  key_->AddDriver(Make("D1", "O'Neil", false));
  key_->AddDriver(Make("D2", "O'Neil", true));
  key_->AddDriver(Make("D3", "Other", true));
  key_->AddOriginalRow(7, "D1", "note", "ecu.bin", "abc");

  EXPECT_EQ(keydb::DriverModels(db(), "O'Neil"), Texts({"M'1"}));
  EXPECT_EQ(keydb::UserDriverModels(db(), "O'Neil"), Texts({"M'1"}));
  EXPECT_EQ(keydb::UserDriverBrands(db()), Texts({"O'Neil", "Other"}));
  EXPECT_EQ(keydb::RegisteredBrands(db()), Texts({"O'Neil"}));
  EXPECT_EQ(keydb::RegisteredModels(db(), "O'Neil"), Texts({"M'1"}));

  const std::string brand = "O'Neil", model = "M'1";
  std::vector<std::string> originals;
  keydb::SearchOriginals(db(), &brand, &model, [&](const keydb::OriginalRow& row) {
    originals.push_back(row.id + " " + row.name + " " + row.driver + " " + row.md5);
    return true;
  });
  EXPECT_EQ(originals, Texts({"7 ecu.bin D1 abc"}));

  // The walk stops after the row whose handler said so.
  int seen = 0;
  keydb::SearchUserDrivers(db(), nullptr, nullptr, [&](const keydb::DriverRow& row) {
    EXPECT_TRUE(row.user);
    return ++seen < 1;
  });
  EXPECT_EQ(seen, 1);
}

TEST_F(Catalogue, RowsTellWhetherTheirFilesAreOnTheKey) {
  fixture::Driver here = Make("HERE", "B", true);
  fixture::Driver gone = Make("GONE", "B", true);
  gone.writeFile = false;
  key_->AddDriver(here);
  key_->AddDriver(gone);
  key_->AddOriginalRow(1, "HERE", "n", "a.bin", "m1");
  key_->AddOriginalRow(2, "HERE", "n", "b.bin", "m2");
  key_->AddModifiedRow(3, 1, "n", "c.bin", "m3");
  fixture::WriteFile(Folder("ORI/1.ori"), "stored");
  // Stored under another case: found on a case-sensitive system too.
  fixture::WriteFile(Folder("MOD/3.MOD"), "stored");

  std::vector<std::string> drivers;
  keydb::SearchUserDrivers(db(), nullptr, nullptr, [&](const keydb::DriverRow& row) {
    drivers.push_back(row.name + (row.available ? "+" : "-"));
    return true;
  });
  EXPECT_EQ(drivers, Texts({"HERE+", "GONE-"}));
  std::vector<std::string> originals;
  keydb::SearchOriginals(db(), nullptr, nullptr, [&](const keydb::OriginalRow& row) {
    originals.push_back(row.id + (row.available ? "+" : "-"));
    return true;
  });
  EXPECT_EQ(originals, Texts({"1+", "2-"}));

  keydb::StoredFile stored;
  ASSERT_TRUE(keydb::FindOriginal(db(), "2", &stored));
  EXPECT_EQ(stored.nomeFile, "2.ori");
  EXPECT_FALSE(stored.present);
  ASSERT_TRUE(keydb::FindModified(db(), "3", &stored));
  EXPECT_TRUE(stored.present);
  EXPECT_EQ(fixture::ReadFile(stored.file), "stored");
  EXPECT_FALSE(keydb::FindModified(db(), "4", &stored));
  EXPECT_EQ(keydb::CountModifiedFiles(db(), "1"), 1);
}

}  // namespace
