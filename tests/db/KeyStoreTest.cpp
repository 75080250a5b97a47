// The key's data description: ids, markers, the archive test, transactions.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "db/DbConnection.h"
#include "db/KeyPaths.h"
#include "db/KeyStore.h"
#include "db/SqlText.h"
#include "platform/SimulatedPlatform.h"
#include "tests/db/KeyOnDrive.h"
#include "tests/support/KeyFixture.h"
#include "tests/support/SamePath.h"

namespace {

using Store = KeyOnDrive;

TEST_F(Store, PathsResolveWithoutRegardToCase) {
  keypaths::KeyFolders folders(kKeyRoot);
  EXPECT_TRUE(fixture::SamePath(keystore::DatabasePath(kKeyRoot),
                                drive_ + "/ZKM_Quorvane/Database/zkm.db"));
  EXPECT_TRUE(fixture::SamePath(folders.DatabasePath(), drive_ + "/ZKM_Quorvane/Database/zkm.db"));
  EXPECT_TRUE(fixture::SamePath(folders.StoredOriginal(keystore::OriginalFileName(12)),
                                drive_ + "/ZKM_Quorvane/Database/ORI/12.ori"));
  EXPECT_TRUE(fixture::SamePath(folders.Modified().path(), drive_ + "/ZKM_Quorvane/Database/MOD/"));
  EXPECT_TRUE(fixture::SamePath(keypaths::KeyFolders("e:\\zkm_quorvane\\").DriverFile("D1", true),
                                drive_ + "/ZKM_Quorvane/Database/DRT/D1.DRU"));
}

TEST_F(Store, RowNamesNeverLeaveTheirFolder) {
  keypaths::KeyFolders folders(kKeyRoot);
  for (const char* bad : {"", ".", "..", "..\\zkm.db", "../zkm.db", "C:x", "a\\b.ori"}) {
    EXPECT_EQ(folders.StoredOriginal(bad), "") << bad;
    EXPECT_EQ(folders.StoredModified(bad), "") << bad;
    EXPECT_EQ(folders.DriverFile(bad, true), "") << bad;
    EXPECT_FALSE(folders.HasDriverFile(bad, false)) << bad;
  }
  // A marker row's original name (blanks, several dots) is a plain name.
  EXPECT_TRUE(fixture::SamePath(folders.StoredOriginal("my ecu..v2.bin"),
                                drive_ + "/ZKM_Quorvane/Database/ORI/my ecu..v2.bin"));
}

TEST(KeyPathsWithoutKey, AreEmptyAndDoNotOpen) {
  platform::Install(std::make_unique<platform::SimulatedPlatform>());
  const std::string path = keystore::DatabasePath("E:\\ZKM_Quorvane\\");
  EXPECT_EQ(path, "");
  keypaths::KeyFolders folders("E:\\ZKM_Quorvane\\");
  EXPECT_EQ(folders.StoredOriginal("1.ori"), "");
  EXPECT_FALSE(folders.HasDriverFile("D1", false));
  DbConnection db;
  EXPECT_THROW(db.open(path), DbException);
  platform::Install(nullptr);
}

TEST_F(Store, IdsAreTheLargestPlusOne) {
  auto next = [this](bool (*allocate)(DbConnection&, int*)) {
    int id = -1;
    EXPECT_TRUE(allocate(db_, &id));
    return id;
  };
  EXPECT_EQ(next(keystore::NextOriginalId), 1);
  EXPECT_EQ(next(keystore::NextModifiedId), 1);
  EXPECT_EQ(next(keystore::NextRequestId), 1);
  for (int id : {1, 2, 3}) key_->AddOriginalRow(id, "D1", "", "a.bin", "X");
  db_.runStatement("DELETE FROM ORI WHERE ID_ORI = 3;");
  EXPECT_EQ(next(keystore::NextOriginalId), 3);
  db_.runStatement("DELETE FROM ORI WHERE ID_ORI = 2;");
  key_->AddOriginalRow(3, "D1", "", "a.bin", "X");
  EXPECT_EQ(next(keystore::NextOriginalId), 4);
  key_->AddModifiedRow(7, 1, "", "m.bin", "X");
  EXPECT_EQ(next(keystore::NextModifiedId), 8);
  key_->Exec("INSERT INTO DRV_DOWNLOAD VALUES (5, 'D1', 'False', 'False', '');");
  EXPECT_EQ(next(keystore::NextRequestId), 6);
}

TEST_F(Store, NoIdPastTheLargestInteger) {
  // 2147483647 taken: the next id does not exist (it used to saturate to
  // the same number and give two rows one stored file).
  key_->AddOriginalRow(2147483647, "D1", "", "a.bin", "X");
  key_->AddModifiedRow(2147483647, 1, "", "m.bin", "X");
  key_->Exec("INSERT INTO DRV_DOWNLOAD VALUES (2147483647, 'D1', 'False', 'False', '');");
  int id = 0;
  EXPECT_FALSE(keystore::NextOriginalId(db_, &id));
  EXPECT_FALSE(keystore::NextModifiedId(db_, &id));
  EXPECT_FALSE(keystore::NextRequestId(db_, &id));
  // Ids written by another program past 32 bits are no way round it.
  key_->Exec("UPDATE ORI SET ID_ORI = 4294967296; UPDATE DRV_DOWNLOAD SET ID_REQUEST = 4294967296;");
  EXPECT_FALSE(keystore::NextOriginalId(db_, &id));
  EXPECT_FALSE(keystore::NextRequestId(db_, &id));
  // Other failures are still the layer's own.
  key_->Exec("DROP TABLE MOD;");
  EXPECT_THROW(keystore::NextModifiedId(db_, &id), DbException);
}

TEST_F(Store, ModifiedRowIsAddedOnlyWhileItsOriginalIsRegistered) {
  key_->AddOriginalRow(4, "D1", "", "a.bin", "ORIMD5");
  keystore::ModifiedRow row;
  row.id = 1;
  row.originalId = 4;
  row.originalMd5 = "ORIMD5";
  row.note = "l'auto \"turbo\"\r\nriga";
  row.fileName = "tuned's.bin";
  row.md5 = "MODMD5";
  EXPECT_TRUE(keystore::IsOriginalRegistered(db_, 4, "ORIMD5"));
  EXPECT_FALSE(keystore::IsOriginalRegistered(db_, 4, "OTHER"));
  EXPECT_FALSE(keystore::IsOriginalRegistered(db_, 5, "ORIMD5"));

  // Another original under the same id (deleted, then the id reused), and
  // no original at all: nothing is inserted and the transaction is gone.
  row.originalMd5 = "OTHER";
  EXPECT_FALSE(keystore::RunInTransaction(db_, keystore::InsertModifiedStatement(row), true));
  row.originalMd5 = "ORIMD5";
  row.originalId = 5;
  EXPECT_FALSE(keystore::RunInTransaction(db_, keystore::InsertModifiedStatement(row), true));
  EXPECT_EQ(key_->Scalar("select count(*) from MOD;"), "0");

  row.originalId = 4;
  ASSERT_TRUE(keystore::RunInTransaction(db_, keystore::InsertModifiedStatement(row), true));
  EXPECT_EQ(key_->Scalar("select NOMEFILE || '|' || ID_ORI || '|' || NOTE || '|' || PATH || '|' || "
                         "MD5 || '|' || typeof(ID_MOD) from MOD;"),
            "1.mod|4|l'auto \"turbo\"\r\nriga|tuned's.bin|MODMD5|integer");
  EXPECT_EQ(key_->Scalar("select count(*) from MOD where LAST_MOD_DATE like '____-__-__ __:__:__';"),
            "1");
  // A NULL MD5 is listed as the empty text, and compared so.
  key_->Exec("INSERT INTO ORI (ID_ORI, MD5) VALUES (6, NULL);");
  EXPECT_TRUE(keystore::IsOriginalRegistered(db_, 6, ""));
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
