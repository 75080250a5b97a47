// The catalogue of the key's data on real database files, without windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "db/DbConnection.h"
#include "db/DriverCatalogue.h"
#include "db/KeyCatalogue.h"
#include "db/KeyPaths.h"
#include "db/KeyStore.h"
#include "platform/SimulatedPlatform.h"
#include "tests/db/KeyOnDrive.h"
#include "tests/support/KeyFixture.h"

namespace {

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
  EXPECT_TRUE(catalogue::FingerprintOffset("-2147483648", &offset));
  EXPECT_EQ(offset, -2147483648LL);
  EXPECT_TRUE(catalogue::FingerprintOffset("+2147483647", &offset));
  EXPECT_EQ(offset, 2147483647LL);
  for (const char* bad : {"2147483648", "-2147483649", "", "-", " 5", "5 ", "0x10", "1e3"})
    EXPECT_FALSE(catalogue::FingerprintOffset(bad, &offset)) << bad;
  EXPECT_FALSE(catalogue::FingerprintOffset(nullptr, &offset));
}

TEST_F(Catalogue, QuotedValuesFindTheirRowsAndAHandlerEndsTheWalk) {
  key_->AddDriver(Make("D1", "O'Neil", false));
  key_->AddDriver(Make("D2", "O'Neil", true));
  key_->AddDriver(Make("D3", "Other", true));
  key_->AddOriginalRow(7, "D1", "note", "ecu.bin", "abc");

  std::vector<std::string> models;
  catalogue::DriverModels(db_, "O'Neil", [&](const std::string& m) {
    models.push_back(m);
    return true;
  });
  EXPECT_EQ(models, std::vector<std::string>({"M'1"}));
  EXPECT_EQ(catalogue::UserModels(db_, "O'Neil"), std::vector<std::string>({"M'1"}));
  EXPECT_EQ(catalogue::UserMakes(db_), std::vector<std::string>({"O'Neil", "Other"}));

  const std::string brand = "O'Neil", model = "M'1";
  std::vector<std::string> originals;
  catalogue::SearchOriginals(db_, &brand, &model, [&](const catalogue::OriginalRow& row) {
    originals.push_back(row.id + " " + row.driver + " " + row.md5);
    return true;
  });
  EXPECT_EQ(originals, std::vector<std::string>({"7 D1 abc"}));

  // The walk stops after the row whose handler said so.
  int seen = 0;
  catalogue::SearchUserDrivers(db_, nullptr, nullptr, [&](const catalogue::DriverRow& row) {
    EXPECT_TRUE(row.user);
    return ++seen < 1;
  });
  EXPECT_EQ(seen, 1);
}

TEST_F(Catalogue, DeletionsGiveTheStoredNameAndLeaveOtherRows) {
  key_->AddDriver(Make("D1", "B", false));
  key_->AddOriginalRow(1, "D1", "n", "a.bin", "m1");
  key_->AddOriginalRow(2, "D1", "n", "b.bin", "m2");
  key_->AddModifiedRow(5, 1, "n", "c.bin", "m3");

  EXPECT_EQ(catalogue::CountModifiedFiles(db_, "1"), 1);
  EXPECT_EQ(catalogue::DeleteModified(db_, "5"), "5.mod");
  EXPECT_EQ(catalogue::CountModifiedFiles(db_, "1"), 0);
  EXPECT_EQ(catalogue::DeleteOriginal(db_, "1"), "1.ori");
  EXPECT_EQ(catalogue::DeleteOriginal(db_, "1"), "");
  catalogue::StoredRow row;
  EXPECT_FALSE(catalogue::OriginalFile(db_, "1", &row));
  ASSERT_TRUE(catalogue::OriginalNote(db_, "2", &row));
  EXPECT_EQ(row.nomeFile, "2.ori");
  EXPECT_EQ(catalogue::DeleteUserDriver(db_, "D1"), catalogue::Deletion::kReferenced);
}

TEST_F(Catalogue, AReservationIsWrittenOnce) {
  EXPECT_EQ(catalogue::ReserveDriver(db_, "D'1"), catalogue::Reservation::kReserved);
  EXPECT_EQ(catalogue::ReserveDriver(db_, "D'1"), catalogue::Reservation::kAlreadyPending);
  EXPECT_EQ(catalogue::CountPendingReservations(db_), 1);
}

TEST_F(Catalogue, ARowThatCannotBeInsertedTakesItsArchiveAlong) {
  keypaths::KeyFolders folders(kKeyRoot);
  const std::vector<unsigned char> content = {'e', 'c', 'u'};
  const std::string archive = folders.StoredOriginal("3.ori");

  // A statement that adds no row where one must be added fails.
  EXPECT_EQ(catalogue::StoreAndInsert(db_, archive, "3.ori", content,
                                      "insert into ORI (ID_ORI) select 3 where 0;", true),
            catalogue::Registration::kNotInserted);
  EXPECT_FALSE(std::filesystem::exists(archive));

  catalogue::NewOriginal original;
  original.id = 3;
  original.driver = "D1";
  original.note = "it's";
  original.fileName = "ecu.bin";
  original.md5 = "m";
  EXPECT_EQ(catalogue::StoreAndInsert(db_, archive, "3.ori", content,
                                      catalogue::InsertOriginalStatement(original), false),
            catalogue::Registration::kRegistered);
  EXPECT_TRUE(std::filesystem::exists(archive));
  EXPECT_EQ(key_->Scalar("select NOTE from ORI where ID_ORI = 3;"), "it's");
  EXPECT_TRUE(catalogue::IsRegistered(db_, "m", false));
}

}  // namespace
