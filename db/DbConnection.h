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
// failed advance, or being assigned over) every operation but release throws
// "Null Virtual Machine pointer".
class DbQuery {
 public:
  DbQuery();
  DbQuery(sqlite3* connection, sqlite3_stmt* statement, bool atEnd, bool ownsStatement);
  // Finalizes the statement, swallowing any error.
  virtual ~DbQuery();
  DbQuery(const DbQuery&) = delete;
  // Finalizes this result's own statement first (errors ignored), then
  // takes the other's statement, leaving the other without one.
  DbQuery& operator=(DbQuery&& other);
  DbQuery(DbQuery&& other);

  int columnCount();
  // The column's text in the current row, or nullptr for NULL. Valid until
  // the result advances or is released.
  const char* columnText(int index);
  int columnInt(int index, int nullValue = 0);
  int columnInt(const char* name, int nullValue = 0);
  // The column's text copied, or nullValue for NULL.
  std::string columnString(int index, const char* nullValue = "");
  std::string columnString(const char* name, const char* nullValue = "");
  // True exactly when the column is not NULL and holds "True".
  bool columnFlag(const char* name);
  bool columnIsNull(const char* name);
  // Position of the column named exactly so (case-sensitive); throws
  // "Invalid field name requested" when none is.
  int columnIndex(const char* name);
  // SQLite storage class: 1 integer, 2 real, 3 text, 4 blob, 5 NULL.
  int columnType(int index);
  bool atEnd();
  // Moves to the next row; past the last one atEnd becomes true.
  void advance();
  // Finalizes the statement; throws when finalizing reports an error.
  void release();
  void requireStatement();

 private:
  void checkIndex(int index);

  sqlite3* connection_ = nullptr;
  sqlite3_stmt* statement_ = nullptr;
  bool atEnd_ = true;
  int columnCount_ = 0;
  bool ownsStatement_ = false;
};

// One connection to one database file; created closed, short-lived.
class DbConnection {
 public:
  static constexpr int kBusyWaitMs = 60000;

  DbConnection() = default;
  DbConnection(const DbConnection&) = delete;
  DbConnection& operator=(const DbConnection&) = delete;
  // Closes the connection.
  virtual ~DbConnection();

  // Opens (creating a missing file, as SQLite does) and applies the busy
  // wait. Throws with SQLite's code and text; the handle stays for close.
  void open(const char* fileName);
  // Closes when open; closing a closed connection does nothing.
  void close();
  // Runs text that returns no rows; the number of rows changed. Throws with
  // SQLite's own error text.
  int runStatement(const char* sql);
  // Runs one SELECT, stepped once: positioned on the first row or at end.
  DbQuery runQuery(const char* sql);
  // The first column of the first row as a decimal integer, read the way
  // atoi reads it (a NULL first column reads as 0). Throws "Invalid scalar
  // query" when there is no row or no column.
  int runScalar(const char* sql);
  // Milliseconds to retry on a lock; zero or less removes the busy handler.
  void setBusyWait(int milliseconds);
  void requireOpen();
  // sqlite3_prepare of the whole text; a failure carries no detail.
  sqlite3_stmt* prepare(const char* sql);

  int runStatement(const std::string& sql) { return runStatement(sql.c_str()); }
  DbQuery runQuery(const std::string& sql) { return runQuery(sql.c_str()); }
  int runScalar(const std::string& sql) { return runScalar(sql.c_str()); }
  void open(const std::string& fileName) { open(fileName.c_str()); }
  bool isOpen() const { return connection_ != nullptr; }

 private:
  sqlite3* connection_ = nullptr;
  int busyWait_ = kBusyWaitMs;
};
