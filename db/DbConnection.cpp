#include "db/DbConnection.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstring>
#include <iterator>
#include <thread>
#include <utility>

// ---- DbException -----------------------------------------------------------

const char* DbException::codeName(int code) {
  static const char* const kNames[] = {
      "SQLITE_OK",       "SQLITE_ERROR",     "SQLITE_INTERNAL", "SQLITE_PERM",
      "SQLITE_ABORT",    "SQLITE_BUSY",      "SQLITE_LOCKED",   "SQLITE_NOMEM",
      "SQLITE_READONLY", "SQLITE_INTERRUPT", "SQLITE_IOERR",    "SQLITE_CORRUPT",
      "SQLITE_NOTFOUND", "SQLITE_FULL",      "SQLITE_CANTOPEN", "SQLITE_PROTOCOL",
      "SQLITE_EMPTY",    "SQLITE_SCHEMA",    "SQLITE_TOOBIG",   "SQLITE_CONSTRAINT",
      "SQLITE_MISMATCH", "SQLITE_MISUSE",    "SQLITE_NOLFS",    "SQLITE_AUTH",
      "SQLITE_FORMAT",   "SQLITE_RANGE"};
  if (code >= 0 && code <= 25) return kNames[code];
  if (code == 100) return "SQLITE_ROW";
  if (code == 101) return "SQLITE_DONE";
  if (code == kLayerError) return "DBLAYER_ERROR";
  return "UNKNOWN_ERROR";
}

DbException::DbException(int code, const char* detail, bool freeDetail)
    : code_(code),
      message_(sqlite3_mprintf("%s[%d]: %s", codeName(code), code, detail ? detail : "")) {
  if (freeDetail && detail) sqlite3_free(const_cast<char*>(detail));
}

DbException::DbException(const DbException& other)
    : std::exception(other),
      code_(other.code_),
      message_(sqlite3_mprintf("%s", other.message_ ? other.message_ : "")) {}

DbException& DbException::operator=(const DbException& other) {
  if (this != &other) {
    char* copy = sqlite3_mprintf("%s", other.message_ ? other.message_ : "");
    sqlite3_free(message_);
    message_ = copy;
    code_ = other.code_;
  }
  return *this;
}

DbException::~DbException() { sqlite3_free(message_); }

namespace {
const char kNotOpen[] = "Database not open";
const char kNoStatement[] = "Null Virtual Machine pointer";
const char kBadIndex[] = "Invalid field index requested";
const char kBadName[] = "Invalid field name requested";
const char kBadScalar[] = "Invalid scalar query";
const char kOutOfRange[] = "Integer out of range";

// atoi's reading: blanks, a sign, then digits up to the first non-digit.
// False when the number does not fit 32 bits (atoi leaves it undefined).
bool ReadDecimal(const char* text, int* number) {
  *number = 0;
  if (!text) return true;
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  long long value = 0;
  while (std::isdigit(static_cast<unsigned char>(*text))) {
    value = value * 10 + (*text++ - '0');
    if (value > 2147483648LL) return false;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return false;
  *number = static_cast<int>(value);
  return true;
}

// ---- Waiting on another program's lock ----------------------------------------

std::atomic<DbWaitHook*> g_waitHook{nullptr};
// Whether the layer call running on this thread has told the hook of a wait.
thread_local bool t_waitTold = false;

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Ends, when the layer call that holds it returns, a wait the hook was
// told of.
struct WaitScope {
  WaitScope() = default;
  WaitScope(const WaitScope&) = delete;
  WaitScope& operator=(const WaitScope&) = delete;
  ~WaitScope() {
    if (!t_waitTold) return;
    t_waitTold = false;
    if (DbWaitHook* hook = g_waitHook.load()) hook->waitEnded();
  }
};

}  // namespace

bool DbException::isOutOfRange() const {
  static const std::size_t kDetail = std::strlen(kOutOfRange);
  const std::size_t length = message_ ? std::strlen(message_) : 0;
  return code_ == kLayerError && length >= kDetail &&
         std::strcmp(message_ + length - kDetail, kOutOfRange) == 0;
}

// ---- DbQuery ----------------------------------------------------------------

DbQuery::DbQuery() = default;

DbQuery::DbQuery(sqlite3* connection, sqlite3_stmt* statement, bool atEnd, bool ownsStatement)
    : connection_(connection),
      statement_(statement),
      atEnd_(atEnd),
      columnCount_(statement ? sqlite3_column_count(statement) : 0),
      ownsStatement_(ownsStatement) {}

DbQuery::~DbQuery() {
  try {
    release();
  } catch (...) {
  }
}

DbQuery::DbQuery(DbQuery&& other)
    : connection_(other.connection_),
      statement_(other.statement_),
      atEnd_(other.atEnd_),
      columnCount_(other.columnCount_),
      ownsStatement_(other.ownsStatement_) {
  other.statement_ = nullptr;
}

DbQuery& DbQuery::operator=(DbQuery&& other) {
  if (this == &other) return *this;
  try {
    release();
  } catch (...) {
  }
  statement_ = other.statement_;
  atEnd_ = other.atEnd_;
  columnCount_ = other.columnCount_;
  ownsStatement_ = other.ownsStatement_;
  connection_ = other.connection_;
  other.statement_ = nullptr;
  return *this;
}

void DbQuery::requireStatement() {
  if (!statement_) throw DbException(DbException::kLayerError, kNoStatement);
}

void DbQuery::checkIndex(int index) {
  if (index < 0 || index > columnCount_ - 1) throw DbException(DbException::kLayerError, kBadIndex);
}

int DbQuery::columnCount() {
  requireStatement();
  return columnCount_;
}

const char* DbQuery::columnText(int index) {
  requireStatement();
  checkIndex(index);
  return reinterpret_cast<const char*>(sqlite3_column_text(statement_, index));
}

int DbQuery::columnType(int index) {
  requireStatement();
  checkIndex(index);
  return sqlite3_column_type(statement_, index);
}

int DbQuery::columnInt(int index, int nullValue) {
  requireStatement();
  if (columnType(index) == SQLITE_NULL) return nullValue;
  return sqlite3_column_int(statement_, index);
}

int DbQuery::columnInt(const char* name, int nullValue) {
  requireStatement();
  return columnInt(columnIndex(name), nullValue);
}

std::string DbQuery::columnString(int index, const std::string& nullValue) {
  requireStatement();
  if (columnType(index) == SQLITE_NULL) return nullValue;
  const char* text = columnText(index);
  return text ? text : "";
}

std::string DbQuery::columnString(const char* name, const std::string& nullValue) {
  requireStatement();
  return columnString(columnIndex(name), nullValue);
}

bool DbQuery::columnFlag(const char* name) {
  requireStatement();
  const int index = columnIndex(name);
  if (columnType(index) == SQLITE_NULL) return false;
  const char* text = columnText(index);
  return text && std::strcmp(text, "True") == 0;
}

bool DbQuery::columnIsNull(const char* name) {
  requireStatement();
  return columnType(columnIndex(name)) == SQLITE_NULL;
}

int DbQuery::columnIndex(const char* name) {
  requireStatement();
  if (!name) throw DbException(DbException::kLayerError, kBadName);
  for (int i = 0; i < columnCount_; ++i) {
    const char* column = sqlite3_column_name(statement_, i);
    if (column && std::strcmp(column, name) == 0) return i;
  }
  throw DbException(DbException::kLayerError, kBadName);
}

bool DbQuery::atEnd() {
  requireStatement();
  return atEnd_;
}

void DbQuery::advance() {
  requireStatement();
  WaitScope wait;
  const int result = sqlite3_step(statement_);
  if (result == SQLITE_DONE) {
    atEnd_ = true;
  } else if (result != SQLITE_ROW) {
    const int code = sqlite3_finalize(statement_);
    statement_ = nullptr;
    throw DbException(code, sqlite3_errmsg(connection_));
  }
}

void DbQuery::release() {
  if (!statement_ || !ownsStatement_) return;
  const int result = sqlite3_finalize(statement_);
  statement_ = nullptr;
  if (result != SQLITE_OK) throw DbException(result, sqlite3_errmsg(connection_));
}

// ---- DbConnection -----------------------------------------------------------

DbConnection::~DbConnection() { close(); }

void DbConnection::open(const char* fileName) {
  close();
  // SQLite takes an empty name as a private temporary database: a key path
  // that could not be formed must not quietly become one.
  if (!fileName || !*fileName) throw DbException(SQLITE_CANTOPEN, "unable to open database file");
  const int result = sqlite3_open(fileName, &connection_);
  if (result != SQLITE_OK) throw DbException(result, sqlite3_errmsg(connection_));
  setBusyWait(busyWait_);
}

void DbConnection::close() {
  if (!connection_) return;
  sqlite3_close(connection_);
  connection_ = nullptr;
}

void DbConnection::requireOpen() {
  if (!connection_) throw DbException(DbException::kLayerError, kNotOpen);
}

void DbConnection::setBusyWait(int milliseconds) {
  busyWait_ = milliseconds;
  if (connection_) sqlite3_busy_handler(connection_, milliseconds > 0 ? &OnBusy : nullptr, this);
}

DbWaitHook* DbConnection::setWaitHook(DbWaitHook* hook) { return g_waitHook.exchange(hook); }

int DbConnection::OnBusy(void* self, int retries) {
  // The same pauses as SQLite's own busy timeout: short at first, then
  // 100 ms, until the wait is spent.
  static const int kPausesMs[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
  auto* connection = static_cast<DbConnection*>(self);
  const long long now = NowMs();
  if (retries == 0) {
    connection->waitStartMs_ = now;
    if (!t_waitTold) {
      t_waitTold = true;
      if (DbWaitHook* hook = g_waitHook.load()) hook->waitStarted();
    }
  }
  const long long left = connection->busyWait_ - (NowMs() - connection->waitStartMs_);
  if (left <= 0) return 0;
  const int pause = kPausesMs[std::min<int>(retries, std::size(kPausesMs) - 1)];
  std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long long>(pause, left)));
  return 1;
}

int DbConnection::runStatement(const char* sql) {
  requireOpen();
  char* error = nullptr;
  WaitScope wait;
  const int result = sqlite3_exec(connection_, sql, nullptr, nullptr, &error);
  if (result != SQLITE_OK) throw DbException(result, error, true);
  return sqlite3_changes(connection_);
}

sqlite3_stmt* DbConnection::prepare(const char* sql) {
  requireOpen();
  sqlite3_stmt* statement = nullptr;
  const char* tail = nullptr;
  WaitScope wait;
  const int result = sqlite3_prepare(connection_, sql, -1, &statement, &tail);
  if (result != SQLITE_OK) throw DbException(result, nullptr);
  return statement;
}

DbQuery DbConnection::runQuery(const char* sql) {
  requireOpen();
  sqlite3_stmt* statement = prepare(sql);
  if (!statement) return DbQuery();  // a text without any statement
  WaitScope wait;
  const int result = sqlite3_step(statement);
  if (result == SQLITE_DONE) return DbQuery(connection_, statement, true, true);
  if (result == SQLITE_ROW) return DbQuery(connection_, statement, false, true);
  const int code = sqlite3_finalize(statement);
  throw DbException(code, sqlite3_errmsg(connection_));
}

int DbConnection::runScalar(const char* sql) {
  DbQuery result = runQuery(sql);
  if (result.atEnd() || result.columnCount() < 1)
    throw DbException(DbException::kLayerError, kBadScalar);
  int number = 0;
  if (!ReadDecimal(result.columnText(0), &number))
    throw DbException(DbException::kLayerError, kOutOfRange);
  return number;
}
