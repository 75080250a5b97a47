// The only way to the key's database: a connection, the forward-only result
// of one SELECT, and the one error type both throw. Callers hand in complete
// SQL text, read columns by name and decide what an error means. Texts pass
// through unchanged (the key's database holds Windows-1252 bytes).
#pragma once

#include <exception>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// A failure of the database layer: an SQLite result code, or 1000
// (DBLAYER_ERROR) for the layer's own errors. The message is always
// "NAME[code]: detail" (the detail may be empty).
class DbException : public std::exception {
 public:
  static constexpr int kLayerError = 1000;

  // When freeDetail is set the detail was allocated by SQLite
  // (sqlite3_exec's error text) and is freed after formatting.
  DbException(int code, const char* detail, bool freeDetail = false);
  DbException(const DbException& other);
  DbException& operator=(const DbException& other);
  ~DbException() override;

  int code() const { return code_; }
  // Whether this is runScalar's report of a number outside 32 bits.
  bool isOutOfRange() const;
  const char* message() const { return message_; }
  const char* what() const noexcept override { return message_ ? message_ : ""; }

  // "SQLITE_BUSY" for 5, "DBLAYER_ERROR" for 1000, "UNKNOWN_ERROR" for codes
  // the layer does not name.
  static const char* codeName(int code);

 private:
  int code_;
  char* message_;  // sqlite3_mprintf'd, owned
};

// The forward-only result of one query. Owns its statement: only one result
// ever owns a given statement; assignment moves it. After release (or a
// failed advance, or being assigned over, or moved from) every operation but
// release throws "Null Virtual Machine pointer". Index arguments are
// zero-based column positions; an index outside 0..columnCount()-1 throws
// "Invalid field index requested". Name arguments are compared byte by byte
// with the names SQLite reports (the alias, or the declared name); a name no
// column has throws "Invalid field name requested". Texts are the stored
// bytes, unchanged.
class DbQuery {
 public:
  // An empty result: no statement, at end, no columns.
  DbQuery();
  // Takes a statement already stepped once; atEnd tells whether that step
  // gave a row. When ownsStatement is set the result finalizes it.
  DbQuery(sqlite3* connection, sqlite3_stmt* statement, bool atEnd, bool ownsStatement);
  // Finalizes the statement, swallowing any error.
  virtual ~DbQuery();
  DbQuery(const DbQuery&) = delete;
  DbQuery& operator=(const DbQuery&) = delete;
  // Finalizes this result's own statement first (errors ignored), then
  // takes the other's statement, leaving the other without one.
  DbQuery& operator=(DbQuery&& other);
  DbQuery(DbQuery&& other);

  // The number of result columns.
  int columnCount();
  // The column's text in the current row, or nullptr for NULL. Owned by
  // SQLite and valid only until the result advances or is released.
  const char* columnText(int index);
  // The column as an integer (SQLite's conversion), or nullValue for NULL.
  int columnInt(int index, int nullValue = 0);
  int columnInt(const char* name, int nullValue = 0);
  int columnInt(const std::string& name, int nullValue = 0) {
    return columnInt(name.c_str(), nullValue);
  }
  // A copy of the column's text, or nullValue for NULL.
  std::string columnString(int index, const std::string& nullValue = std::string());
  std::string columnString(const char* name, const std::string& nullValue = std::string());
  std::string columnString(const std::string& name, const std::string& nullValue = std::string()) {
    return columnString(name.c_str(), nullValue);
  }
  // True exactly when the column is not NULL and its text is "True" (case
  // included); "true", "1" and everything else read as false.
  bool columnFlag(const char* name);
  bool columnFlag(const std::string& name) { return columnFlag(name.c_str()); }
  // Whether the column's storage class is NULL.
  bool columnIsNull(const char* name);
  bool columnIsNull(const std::string& name) { return columnIsNull(name.c_str()); }
  // Position of the first column named exactly so (case-sensitive); a null
  // or unknown name throws "Invalid field name requested".
  int columnIndex(const char* name);
  int columnIndex(const std::string& name) { return columnIndex(name.c_str()); }
  // SQLite storage class: 1 integer, 2 real, 3 text, 4 blob, 5 NULL.
  int columnType(int index);
  // True when there is no current row.
  bool atEnd();
  // Moves to the next row; from the last row atEnd becomes true without an
  // error. A failing step ends the statement and throws with the code that
  // finalizing returns and SQLite's text.
  void advance();
  // Finalizes the statement (nothing when there is none or it is not
  // owned); throws when finalizing reports an error. Releasing twice is
  // harmless.
  void release();
  // Throws "Null Virtual Machine pointer" when the result holds no statement.
  void requireStatement();

 private:
  void checkIndex(int index);

  sqlite3* connection_ = nullptr;
  sqlite3_stmt* statement_ = nullptr;
  bool atEnd_ = true;
  int columnCount_ = 0;
  bool ownsStatement_ = false;
};

// Told when a statement meets another program's lock and starts waiting
// for it (at its first retry), and when the layer call that waited
// returns, whether the lock came free or the wait ran out. Called on the
// thread that runs the statement, from inside SQLite: it must not throw
// and must not use the database.
class DbWaitHook {
 public:
  virtual ~DbWaitHook() = default;
  virtual void waitStarted() = 0;
  virtual void waitEnded() = 0;
};

// One connection to one database file; created closed, short-lived, used
// on one thread. Every operation but open, close, setBusyWait and isOpen
// throws "Database not open" while closed.
class DbConnection {
 public:
  static constexpr int kBusyWaitMs = 60000;

  DbConnection() = default;
  DbConnection(const DbConnection&) = delete;
  DbConnection& operator=(const DbConnection&) = delete;
  // Closes the connection.
  virtual ~DbConnection();

  // Opens for reading and writing, creating a missing file as SQLite does,
  // and applies the busy wait. An open connection is closed first. Throws
  // with SQLite's code and text ("SQLITE_CANTOPEN[14]: unable to open
  // database file" for a missing folder, and for an empty name, which would
  // otherwise open a throw-away temporary database); a handle SQLite
  // returned stays for close.
  void open(const char* fileName);
  void open(const std::string& fileName) { open(fileName.c_str()); }
  // Closes when open, ignoring SQLite's answer; closing a closed connection
  // does nothing.
  void close();
  bool isOpen() const { return connection_ != nullptr; }
  // Runs text that returns no rows (one or more statements); gives the rows
  // changed by the last one. Throws with SQLite's code and its own text.
  int runStatement(const char* sql);
  int runStatement(const std::string& sql) { return runStatement(sql.c_str()); }
  // Runs one SELECT, stepped once: positioned on the first row or at end.
  // A failed prepare throws with SQLite's code and an empty detail; a failed
  // first step with the code finalizing returns and SQLite's text. A text
  // holding no statement gives an empty result.
  DbQuery runQuery(const char* sql);
  DbQuery runQuery(const std::string& sql) { return runQuery(sql.c_str()); }
  // The first column of the first row as a decimal integer, read the way
  // atoi reads it: blanks, a sign, digits up to the first non-digit; no
  // digits give 0, and so does a NULL first column. Throws "Invalid scalar
  // query" when there is no row or no column, and "Integer out of range"
  // (isOutOfRange) when the number does not fit a signed 32-bit integer.
  int runScalar(const char* sql);
  int runScalar(const std::string& sql) { return runScalar(sql.c_str()); }
  // Milliseconds in total to retry a statement that meets another
  // connection's lock (60000 from construction), through the layer's own
  // busy handler, which tells the wait hook; zero or less removes the
  // handler. Applies now when open, and at every later open.
  void setBusyWait(int milliseconds);
  // The hook every connection tells of its waits (not owned); nullptr
  // removes it. Returns the one it replaces.
  static DbWaitHook* setWaitHook(DbWaitHook* hook);
  // Throws "Database not open" when there is no connection.
  void requireOpen();
  // sqlite3_prepare of the whole text; the caller owns the statement (null
  // for a text without a statement). A failure carries no detail.
  sqlite3_stmt* prepare(const char* sql);

 private:
  // SQLite's busy handler: retries while less than busyWait_ has passed
  // since the first retry of this lock.
  static int OnBusy(void* self, int retries);

  sqlite3* connection_ = nullptr;
  int busyWait_ = kBusyWaitMs;
  long long waitStartMs_ = 0;
};
