// Changes in a transaction of their own, and values escaped into statements.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>

#include "db/DbConnection.h"
#include "db/SqlText.h"
#include "db/Transaction.h"
#include "tests/support/KeyFixture.h"

namespace {

class Transaction : public ::testing::Test {
 protected:
  Transaction() : key_(std::make_unique<fixture::KeyBuilder>(dir_.path())) {
    db_.open(key_->databasePath());
  }

  fixture::TempDir dir_;
  std::unique_ptr<fixture::KeyBuilder> key_;
  DbConnection db_;
};

TEST_F(Transaction, QuotedIdsFindRowsWrittenAsNumbers) {
  key_->AddOriginalRow(7, "D1", "", "a.bin", "X");
  EXPECT_EQ(db_.runScalar("select count(*) from ORI WHERE ID_ORI ='7';"), 1);
  EXPECT_EQ(db_.runScalar("select count(*) from ORI WHERE ID_ORI =7;"), 1);
}

TEST_F(Transaction, QuotesRoundTripThroughAnInsert) {
  const std::string note = "l'auto \"turbo\" ''";
  ASSERT_TRUE(RunInTransaction(
      db_, "INSERT INTO ORI (ID_ORI, [NOTE]) VALUES (1,'" + SqlValue(note) + "');"));
  EXPECT_EQ(key_->Scalar("select NOTE from ORI where ID_ORI = 1;"), note);
  EXPECT_EQ(SqlValue("it's"), "it''s");
  // A value can never end its literal and add a statement.
  ASSERT_TRUE(RunInTransaction(db_, "INSERT INTO ORI (ID_ORI, [NOTE]) VALUES (2,'" +
                                        SqlValue("x'); DROP TABLE ORI; --") + "');"));
  EXPECT_EQ(db_.runScalar("select count(*) from ORI;"), 2);
  // The modified file's note as a complete literal: a double-quoted word
  // would be read as a column when one of that name exists ("PATH").
  ASSERT_TRUE(RunInTransaction(
      db_, "INSERT INTO MOD (ID_MOD, NOTE, PATH) VALUES (1," + SqlQuoted("PATH") + ",'p');"));
  ASSERT_TRUE(RunInTransaction(
      db_, "INSERT INTO MOD (ID_MOD, NOTE, PATH) VALUES (2," + SqlQuoted(note) + ",'p');"));
  DbQuery q = db_.runQuery("select NOTE from MOD order by ID_MOD;");
  EXPECT_EQ(q.columnString("NOTE"), "PATH");
  q.advance();
  EXPECT_EQ(q.columnString("NOTE"), note);
}

TEST_F(Transaction, FailedStatementRollsBackAndReportsFailure) {
  EXPECT_FALSE(RunInTransaction(db_, "INSERT INTO NOPE VALUES (1);"));
  // No transaction is left open: a new one can begin.
  EXPECT_TRUE(RunInTransaction(db_, "INSERT INTO ORI (ID_ORI) VALUES (1);"));
  EXPECT_EQ(db_.runScalar("select count(*) from ORI;"), 1);
}

TEST_F(Transaction, FailedCommitTakesTheFailureBranch) {
  // A reader in another connection holds a shared lock: the insert succeeds
  // in our transaction but its commit cannot get the exclusive lock.
  sqlite3* reader = nullptr;
  ASSERT_EQ(sqlite3_open(key_->databasePath().c_str(), &reader), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(reader, "begin; select count(*) from ORI;", nullptr, nullptr, nullptr),
            SQLITE_OK);
  db_.setBusyWait(50);
  EXPECT_FALSE(RunInTransaction(db_, "INSERT INTO ORI (ID_ORI) VALUES (5);"));
  sqlite3_exec(reader, "commit;", nullptr, nullptr, nullptr);
  sqlite3_close(reader);
  EXPECT_EQ(db_.runScalar("select count(*) from ORI;"), 0);
  EXPECT_TRUE(RunInTransaction(db_, "INSERT INTO ORI (ID_ORI) VALUES (5);"));
}

TEST_F(Transaction, FailedRollbackIsSwallowed) {
  // The statement ends the transaction itself: the commit fails, and so does
  // the rollback after it; the caller still just gets false.
  EXPECT_FALSE(RunInTransaction(db_, "rollback transaction;"));
  EXPECT_TRUE(RunInTransaction(db_, "INSERT INTO ORI (ID_ORI) VALUES (1);"));
}

TEST_F(Transaction, FailedBeginIsAFailureToo) {
  db_.runStatement("begin transaction;");  // already inside one: begin fails
  EXPECT_FALSE(RunInTransaction(db_, "INSERT INTO ORI (ID_ORI) VALUES (1);"));
}

}  // namespace
