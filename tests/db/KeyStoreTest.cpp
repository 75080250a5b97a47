// The key's data description: ids, markers, the archive test, transactions.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "db/DbConnection.h"
#include "db/KeyStore.h"
#include "db/SqlText.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"

namespace {

class Store : public ::testing::Test {
 protected:
  Store() {
    drive_ = dir_ / "e";
    std::filesystem::create_directories(drive_);
    key_ = std::make_unique<fixture::KeyBuilder>(drive_);
    auto machine = std::make_unique<platform::SimulatedPlatform>();
    machine->AddDrive('E', drive_, "QUORVANE", platform::kDriveRemovable);
    platform::Install(std::move(machine));
    db_.open(keystore::DatabasePath(kKeyRoot));
  }
  ~Store() override { platform::Install(nullptr); }

  static constexpr const char* kKeyRoot = "E:\\ZKM_Quorvane\\";
  fixture::TempDir dir_;
  std::string drive_;
  std::unique_ptr<fixture::KeyBuilder> key_;
  DbConnection db_;
};

TEST_F(Store, PathsResolveWithoutRegardToCase) {
  EXPECT_EQ(keystore::DatabasePath(kKeyRoot), drive_ + "/ZKM_Quorvane/Database/zkm.db");
  EXPECT_EQ(keystore::StoredOriginalPath(kKeyRoot, keystore::OriginalFileName(12)),
            drive_ + "/ZKM_Quorvane/Database/ORI/12.ori");
  EXPECT_EQ(keystore::ModifiedFolder(kKeyRoot), drive_ + "/ZKM_Quorvane/Database/MOD/");
  EXPECT_EQ(keystore::DriverFilePath("e:\\zkm_quorvane\\", "D1", true),
            drive_ + "/ZKM_Quorvane/Database/DRT/D1.DRU");
}

TEST_F(Store, RowNamesNeverLeaveTheirFolder) {
  for (const char* bad : {"", ".", "..", "..\\zkm.db", "../zkm.db", "C:x", "a\\b.ori"}) {
    EXPECT_EQ(keystore::StoredOriginalPath(kKeyRoot, bad), "") << bad;
    EXPECT_EQ(keystore::StoredModifiedPath(kKeyRoot, bad), "") << bad;
    EXPECT_EQ(keystore::DriverFilePath(kKeyRoot, bad, true), "") << bad;
  }
  // A marker row's original name (blanks, several dots) is a plain name.
  EXPECT_EQ(keystore::StoredOriginalPath(kKeyRoot, "my ecu..v2.bin"),
            drive_ + "/ZKM_Quorvane/Database/ORI/my ecu..v2.bin");
}

TEST(KeyPathsWithoutKey, AreEmptyAndDoNotOpen) {
  platform::Install(std::make_unique<platform::SimulatedPlatform>());
  const std::string path = keystore::DatabasePath("E:\\ZKM_Quorvane\\");
  EXPECT_EQ(path, "");
  DbConnection db;
  EXPECT_THROW(db.open(path), DbException);
  platform::Install(nullptr);
}

TEST_F(Store, IdsAreTheLargestPlusOne) {
  EXPECT_EQ(keystore::NextOriginalId(db_), 1);
  EXPECT_EQ(keystore::NextModifiedId(db_), 1);
  EXPECT_EQ(keystore::NextRequestId(db_), 1);
  for (int id : {1, 2, 3}) key_->AddOriginalRow(id, "D1", "", "a.bin", "X");
  db_.runStatement("DELETE FROM ORI WHERE ID_ORI = 3;");
  EXPECT_EQ(keystore::NextOriginalId(db_), 3);
  db_.runStatement("DELETE FROM ORI WHERE ID_ORI = 2;");
  key_->AddOriginalRow(3, "D1", "", "a.bin", "X");
  EXPECT_EQ(keystore::NextOriginalId(db_), 4);
  key_->AddModifiedRow(7, 1, "", "m.bin", "X");
  EXPECT_EQ(keystore::NextModifiedId(db_), 8);
  key_->Exec("INSERT INTO DRV_DOWNLOAD VALUES (5, 'D1', 'False', 'False', '');");
  EXPECT_EQ(keystore::NextRequestId(db_), 6);
}

TEST_F(Store, QuotedIdsFindRowsWrittenAsNumbers) {
  key_->AddOriginalRow(7, "D1", "", "a.bin", "X");
  EXPECT_EQ(db_.runScalar("select count(*) from ORI WHERE ID_ORI ='7';"), 1);
  EXPECT_EQ(db_.runScalar("select count(*) from ORI WHERE ID_ORI =7;"), 1);
}

TEST_F(Store, MarkerRowsShowTheirStoredName) {
  EXPECT_EQ(keystore::DisplayName("DataBase\\Original\\", "engine.bin", false), "engine.bin");
  EXPECT_EQ(keystore::DisplayName("Database\\Original\\", "engine.bin", false), "Database\\Original\\");
  EXPECT_EQ(keystore::DisplayName("DataBase\\Modified\\", "tuned.bin", true), "tuned.bin");
  EXPECT_EQ(keystore::DisplayName("DataBase\\Original\\", "x", true), "DataBase\\Original\\");
  EXPECT_EQ(keystore::DisplayName("my file.bin", "3.ori", false), "my file.bin");
}

TEST(StoredContent, ArchivesStartWithPK) {
  EXPECT_FALSE(keystore::IsStoredArchive(std::string()));
  EXPECT_FALSE(keystore::IsStoredArchive(std::string("P")));
  EXPECT_TRUE(keystore::IsStoredArchive(std::string("PK")));
  EXPECT_FALSE(keystore::IsStoredArchive(std::string("pk\3\4")));
  EXPECT_TRUE(keystore::IsStoredArchive(std::vector<unsigned char>{'P', 'K', 3, 4}));
}

TEST_F(Store, QuotesRoundTripThroughAnInsert) {
  const std::string note = "l'auto \"turbo\" ''";
  ASSERT_TRUE(keystore::RunInTransaction(
      db_, "INSERT INTO ORI (ID_ORI, [NOTE]) VALUES (1,'" + SqlValue(note) + "');"));
  EXPECT_EQ(key_->Scalar("select NOTE from ORI where ID_ORI = 1;"), note);
  EXPECT_EQ(SqlValue("it's"), "it''s");
  // A value can never end its literal and add a statement.
  ASSERT_TRUE(keystore::RunInTransaction(
      db_, "INSERT INTO ORI (ID_ORI, [NOTE]) VALUES (2,'" + SqlValue("x'); DROP TABLE ORI; --") + "');"));
  EXPECT_EQ(db_.runScalar("select count(*) from ORI;"), 2);
  // The modified file's note as a complete literal: a double-quoted word
  // would be read as a column when one of that name exists ("PATH").
  ASSERT_TRUE(keystore::RunInTransaction(
      db_, "INSERT INTO MOD (ID_MOD, NOTE, PATH) VALUES (1," + SqlQuoted("PATH") + ",'p');"));
  ASSERT_TRUE(keystore::RunInTransaction(
      db_, "INSERT INTO MOD (ID_MOD, NOTE, PATH) VALUES (2," + SqlQuoted(note) + ",'p');"));
  DbQuery q = db_.runQuery("select NOTE from MOD order by ID_MOD;");
  EXPECT_EQ(q.columnString("NOTE"), "PATH");
  q.advance();
  EXPECT_EQ(q.columnString("NOTE"), note);
}

TEST_F(Store, FailedStatementRollsBackAndReportsFailure) {
  EXPECT_FALSE(keystore::RunInTransaction(db_, "INSERT INTO NOPE VALUES (1);"));
  // No transaction is left open: a new one can begin.
  EXPECT_TRUE(keystore::RunInTransaction(db_, "INSERT INTO ORI (ID_ORI) VALUES (1);"));
  EXPECT_EQ(db_.runScalar("select count(*) from ORI;"), 1);
}

TEST_F(Store, FailedCommitTakesTheFailureBranch) {
  // A reader in another connection holds a shared lock: the insert succeeds
  // in our transaction but its commit cannot get the exclusive lock.
  sqlite3* reader = nullptr;
  ASSERT_EQ(sqlite3_open(keystore::DatabasePath(kKeyRoot).c_str(), &reader), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(reader, "begin; select count(*) from ORI;", nullptr, nullptr, nullptr),
            SQLITE_OK);
  db_.setBusyWait(50);
  EXPECT_FALSE(keystore::RunInTransaction(db_, "INSERT INTO ORI (ID_ORI) VALUES (5);"));
  sqlite3_exec(reader, "commit;", nullptr, nullptr, nullptr);
  sqlite3_close(reader);
  EXPECT_EQ(db_.runScalar("select count(*) from ORI;"), 0);
  EXPECT_TRUE(keystore::RunInTransaction(db_, "INSERT INTO ORI (ID_ORI) VALUES (5);"));
}

TEST_F(Store, FailedRollbackIsSwallowed) {
  // The statement ends the transaction itself: the commit fails, and so does
  // the rollback after it; the caller still just gets false.
  EXPECT_FALSE(keystore::RunInTransaction(db_, "rollback transaction;"));
  EXPECT_TRUE(keystore::RunInTransaction(db_, "INSERT INTO ORI (ID_ORI) VALUES (1);"));
}

TEST_F(Store, FailedBeginIsAFailureToo) {
  db_.runStatement("begin transaction;");  // already inside one: begin fails
  EXPECT_FALSE(keystore::RunInTransaction(db_, "INSERT INTO ORI (ID_ORI) VALUES (1);"));
}

}  // namespace
