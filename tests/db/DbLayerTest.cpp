// The database layer against real SQLite files.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <string>

#include "db/DbConnection.h"
#include "tests/support/KeyFixture.h"

namespace {

// Runs f and returns the DbException's message it throws ("" if none).
template <typename F>
std::string Thrown(F f) {
  try {
    f();
  } catch (const DbException& e) {
    return e.what();
  }
  return "";
}

class Layer : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_ / "t.db";
    db_.open(path_);
    db_.runStatement(
        "CREATE TABLE zkm_system (ID_CLIENTE TEXT);"
        "CREATE TABLE T (ID INTEGER, NAME TEXT, FLAG TEXT);"
        "INSERT INTO T VALUES (1, 'one', 'True');"
        "INSERT INTO T VALUES (2, NULL, 'true');"
        "INSERT INTO T VALUES (3, '  42abc', NULL);");
  }
  fixture::TempDir dir_;
  std::string path_;
  DbConnection db_;
};

TEST(Connection, CloseTwiceAndUnopenedUseAreHarmlessOrClear) {
  DbConnection db;
  db.close();
  db.close();
  EXPECT_EQ(Thrown([&] { db.runStatement("select 1;"); }),
            "DBLAYER_ERROR[1000]: Database not open");
  EXPECT_EQ(Thrown([&] { db.runQuery("select 1;"); }), "DBLAYER_ERROR[1000]: Database not open");
}

TEST(Connection, OpenInMissingFolderIsCantOpen) {
  fixture::TempDir dir;
  DbConnection db;
  try {
    db.open(dir / "missing/zkm.db");
    FAIL() << "opened";
  } catch (const DbException& e) {
    EXPECT_EQ(e.code(), 14);
    EXPECT_STREQ(e.what(), "SQLITE_CANTOPEN[14]: unable to open database file");
  }
  db.close();
}

TEST(Connection, MissingTableFailsInPrepareWithoutDetail) {
  fixture::TempDir dir;
  DbConnection db;
  db.open(dir / "new.db");
  EXPECT_TRUE(std::filesystem::exists(dir / "new.db"));
  EXPECT_EQ(Thrown([&] { db.runQuery("select * from ori;"); }), "SQLITE_ERROR[1]: ");
  // Statements carry SQLite's own text.
  EXPECT_EQ(Thrown([&] { db.runStatement("delete from ori;"); }),
            "SQLITE_ERROR[1]: no such table: ori");
}

TEST(Connection, FileThatIsNotADatabaseIsUnknownError26) {
  fixture::TempDir dir;
  fixture::WriteFile(dir / "x.db", std::string(4096, 'x'));
  DbConnection db;
  db.open(dir / "x.db");
  EXPECT_EQ(Thrown([&] { db.runQuery("select 1 from t;"); }), "UNKNOWN_ERROR[26]: ");
  EXPECT_STREQ(DbException::codeName(26), "UNKNOWN_ERROR");
  EXPECT_STREQ(DbException::codeName(101), "SQLITE_DONE");
  EXPECT_STREQ(DbException::codeName(1000), "DBLAYER_ERROR");
}

TEST(Connection, EmptyNameAndReopenDoNotOpenTheWrongDatabase) {
  fixture::TempDir dir;
  DbConnection db;
  EXPECT_EQ(Thrown([&] { db.open(std::string()); }),
            "SQLITE_CANTOPEN[14]: unable to open database file");
  EXPECT_FALSE(db.isOpen());
  db.open(dir / "a.db");
  db.runStatement("CREATE TABLE A (X INTEGER);");
  // Opening again replaces the connection rather than keeping the old one.
  db.open(dir / "b.db");
  EXPECT_EQ(Thrown([&] { db.runQuery("select X from A;"); }), "SQLITE_ERROR[1]: ");
}

TEST_F(Layer, StepFailuresCarrySqliteTextAndEndTheResult) {
  db_.runStatement("INSERT INTO T VALUES (-9223372036854775808, 'min', 'False');");
  // abs() of the smallest integer fails while stepping, not while preparing.
  EXPECT_EQ(Thrown([&] { db_.runQuery("select abs(ID) from T where NAME = 'min';"); }),
            "SQLITE_ERROR[1]: integer overflow");
  DbQuery q = db_.runQuery("select abs(ID) as A from T;");  // in insertion order
  EXPECT_EQ(q.columnInt("A"), 1);
  std::string failure;
  while (failure.empty() && !q.atEnd()) failure = Thrown([&] { q.advance(); });
  EXPECT_EQ(failure, "SQLITE_ERROR[1]: integer overflow");
  EXPECT_EQ(Thrown([&] { q.columnInt(0); }), "DBLAYER_ERROR[1000]: Null Virtual Machine pointer");
  q.release();
}

TEST_F(Layer, TextsAreBytesUnchanged) {
  const std::string cp1252 = "Citro\xEBn \x80 \x9Cuvre";  // not valid UTF-8
  db_.runStatement("INSERT INTO T VALUES (10, '" + cp1252 + "', 'False');");
  DbQuery q = db_.runQuery("select NAME from T where ID = 10;");
  EXPECT_EQ(q.columnString(std::string("NAME")), cp1252);
  EXPECT_EQ(std::string(q.columnText(0)), cp1252);
}

TEST_F(Layer, ReadsByNameCaseSensitivelyWithNullHandling) {
  DbQuery q;
  q = db_.runQuery("select ID, NAME, FLAG from T order by ID;");
  ASSERT_FALSE(q.atEnd());
  EXPECT_EQ(q.columnCount(), 3);
  EXPECT_EQ(q.columnInt("ID"), 1);
  EXPECT_EQ(q.columnString("NAME", "-"), "one");
  EXPECT_TRUE(q.columnFlag("FLAG"));
  EXPECT_EQ(Thrown([&] { q.columnString("name", ""); }),
            "DBLAYER_ERROR[1000]: Invalid field name requested");
  EXPECT_EQ(Thrown([&] { q.columnIndex(nullptr); }),
            "DBLAYER_ERROR[1000]: Invalid field name requested");
  q.advance();
  EXPECT_EQ(q.columnText(1), nullptr);
  EXPECT_EQ(q.columnString("NAME", ""), "");
  EXPECT_EQ(q.columnString(1, "none"), "none");
  EXPECT_TRUE(q.columnIsNull("NAME"));
  EXPECT_EQ(q.columnType(1), 5);
  EXPECT_FALSE(q.columnFlag("FLAG"));  // "true" is not "True"
  q.advance();
  EXPECT_FALSE(q.columnFlag("FLAG"));  // NULL
  EXPECT_EQ(q.columnInt("FLAG", -7), -7);
  q.advance();
  EXPECT_TRUE(q.atEnd());  // past the last row: no throw
  q.release();
  EXPECT_EQ(Thrown([&] { q.atEnd(); }), "DBLAYER_ERROR[1000]: Null Virtual Machine pointer");
  q.release();  // releasing twice does nothing
}

TEST_F(Layer, IndexChecksBothEnds) {
  DbQuery q = db_.runQuery("select ID, NAME from T;");
  EXPECT_EQ(Thrown([&] { q.columnText(-1); }),
            "DBLAYER_ERROR[1000]: Invalid field index requested");
  EXPECT_EQ(Thrown([&] { q.columnText(2); }), "DBLAYER_ERROR[1000]: Invalid field index requested");
  EXPECT_EQ(Thrown([&] { q.columnType(2); }), "DBLAYER_ERROR[1000]: Invalid field index requested");
  DbQuery empty;
  EXPECT_EQ(Thrown([&] { empty.columnCount(); }),
            "DBLAYER_ERROR[1000]: Null Virtual Machine pointer");
}

TEST_F(Layer, ColumnNamesAreTheDeclaredOnesOrTheAlias) {
  db_.runStatement("INSERT INTO zkm_system VALUES ('123');");
  DbQuery q = db_.runQuery("select id_cliente from zkm_system;");
  EXPECT_EQ(q.columnString("ID_CLIENTE", ""), "123");
  EXPECT_EQ(Thrown([&] { q.columnString("id_cliente", ""); }),
            "DBLAYER_ERROR[1000]: Invalid field name requested");
  DbQuery c = db_.runQuery("select count(*) from T;");
  EXPECT_EQ(c.columnInt("count(*)"), 3);
}

TEST_F(Layer, ScalarReadsLikeAtoi) {
  EXPECT_EQ(db_.runScalar("select count(*) from zkm_system;"), 0);
  EXPECT_EQ(db_.runScalar("select NAME from T where ID = 3;"), 42);
  EXPECT_EQ(db_.runScalar("select '-17x';"), -17);
  EXPECT_EQ(db_.runScalar("select 'abc';"), 0);
  // A NULL first column reads as 0.
  EXPECT_EQ(db_.runScalar("select NAME from T where ID = 2;"), 0);
  EXPECT_EQ(Thrown([&] { db_.runScalar("select ID from T where ID = 99;"); }),
            "DBLAYER_ERROR[1000]: Invalid scalar query");
}

TEST_F(Layer, ScalarOutsideThirtyTwoBitsIsAnErrorNotASaturatedNumber) {
  EXPECT_EQ(db_.runScalar("select 2147483647;"), 2147483647);
  EXPECT_EQ(db_.runScalar("select '-2147483648';"), -2147483647 - 1);
  for (const char* sql : {"select 2147483647 + 1;", "select -2147483649;",
                          "select 9223372036854775807;", "select ' 4294967296x';"}) {
    try {
      db_.runScalar(sql);
      ADD_FAILURE() << sql << " gave a number";
    } catch (const DbException& e) {
      EXPECT_STREQ(e.what(), "DBLAYER_ERROR[1000]: Integer out of range") << sql;
      EXPECT_TRUE(e.isOutOfRange());
    }
  }
  try {
    db_.runScalar("select ID from T where ID = 99;");
  } catch (const DbException& e) {
    EXPECT_FALSE(e.isOutOfRange());
  }
}

TEST_F(Layer, AssignmentFinalizesTheOldStatementFirst) {
  DbQuery q = db_.runQuery("select ID from T;");
  // While the read is unfinished the database keeps a shared lock; after
  // assigning a new result over it, a write from another connection must
  // not wait for it.
  q = db_.runQuery("select 1;");
  DbConnection other;
  other.open(path_);
  other.setBusyWait(0);
  EXPECT_EQ(other.runStatement("UPDATE T SET NAME = 'x' WHERE ID = 1;"), 1);
  EXPECT_EQ(q.columnInt(0), 1);
  DbQuery moved = std::move(q);
  EXPECT_EQ(Thrown([&] { q.atEnd(); }), "DBLAYER_ERROR[1000]: Null Virtual Machine pointer");
  EXPECT_FALSE(moved.atEnd());
}

// Records what the layer tells of its waits; can let the other connection
// go at the first retry.
class RecordingHook : public DbWaitHook {
 public:
  RecordingHook() { previous_ = DbConnection::setWaitHook(this); }
  ~RecordingHook() override { DbConnection::setWaitHook(previous_); }
  void waitStarted() override {
    events += "started;";
    if (onStart) onStart();
  }
  void waitEnded() override { events += "ended;"; }
  std::string events;
  std::function<void()> onStart;

 private:
  DbWaitHook* previous_;
};

TEST_F(Layer, BusyWaitGivesUpOnAHeldLockAndTellsTheHookOnce) {
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "begin immediate;", nullptr, nullptr, nullptr), SQLITE_OK);
  RecordingHook hook;
  db_.setBusyWait(150);
  EXPECT_EQ(Thrown([&] { db_.runStatement("INSERT INTO T VALUES (9, 'nine', 'False');"); }),
            "SQLITE_BUSY[5]: database is locked");
  // The wait, however many retries it took, is told as one.
  EXPECT_EQ(hook.events, "started;ended;");
  // A plain read still works, and does not wait.
  EXPECT_EQ(db_.runScalar("select count(*) from T;"), 3);
  EXPECT_EQ(hook.events, "started;ended;");

  // A lock that goes while the statement waits: the statement succeeds.
  hook.events.clear();
  hook.onStart = [&] { sqlite3_exec(holder, "rollback;", nullptr, nullptr, nullptr); };
  db_.setBusyWait(DbConnection::kBusyWaitMs);
  EXPECT_EQ(db_.runStatement("INSERT INTO T VALUES (9, 'nine', 'False');"), 1);
  EXPECT_EQ(hook.events, "started;ended;");

  // Zero removes the handler: the lock fails the statement at once.
  ASSERT_EQ(sqlite3_exec(holder, "begin immediate;", nullptr, nullptr, nullptr), SQLITE_OK);
  hook.events.clear();
  db_.setBusyWait(0);
  EXPECT_EQ(Thrown([&] { db_.runStatement("DELETE FROM T;"); }),
            "SQLITE_BUSY[5]: database is locked");
  EXPECT_EQ(hook.events, "");
  sqlite3_exec(holder, "rollback;", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
}

TEST(Exception, CopiesOwnTheirText) {
  DbException* original = new DbException(5, "locked");
  DbException copy(*original);
  delete original;
  EXPECT_STREQ(copy.what(), "SQLITE_BUSY[5]: locked");
  EXPECT_EQ(copy.code(), 5);
  DbException other(1000, nullptr);
  EXPECT_STREQ(other.what(), "DBLAYER_ERROR[1000]: ");
  other = copy;
  EXPECT_STREQ(other.what(), "SQLITE_BUSY[5]: locked");
}

}  // namespace
