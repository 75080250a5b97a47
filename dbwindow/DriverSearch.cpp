#include "dbwindow/DriverSearch.h"

#include "db/DbConnection.h"
#include "db/KeyPaths.h"
#include "db/SqlText.h"
#include "dbwindow/Hash_algorithms.h"

std::string DriverSearchStatement(const DriverFilter& filter) {
  std::string sql =
      "select NOMEFILE, DESCRIZIONE, DOWNLOADED, FLAG_USER, START_MD5, END_MD5, MD5, "
      "M_CENTRALINA, V_CENTRALINA, N_CENTRALINA, T_EPROM, CKS "
      "from drivers where suspended = 'False'";
  if (!filter.manual)
    sql += " and MD5 is not null and start_MD5 is not null and end_MD5 is not null";
  if (filter.brandChosen) sql += " and marca = '" + SqlValue(filter.brand) + "'";
  if (filter.modelChosen) sql += " and modello = '" + SqlValue(filter.model) + "'";
  sql += ";";
  return sql;
}

bool RangeDigestMatches(const unsigned char* data, std::uint64_t size, std::int64_t start,
                        std::int64_t end, const std::string& md5) {
  if (start < 0 || end <= start || static_cast<std::uint64_t>(end) > size) return false;
  return TUEDC16::HashBuffer(data + start, static_cast<std::size_t>(end - start)) == md5;
}

bool FingerprintOffset(const char* text, std::int64_t* offset) {
  if (!text) return false;
  const char* p = text;
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  if (*p == '\0') return false;
  std::int64_t value = 0;
  for (; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + (*p - '0');
    if (value > 2147483648LL) return false;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return false;
  *offset = value;
  return true;
}

int SearchDriverRows(DbConnection& db, const std::string& statement, bool manual,
                     const unsigned char* data, std::uint64_t size, const std::string& keyRoot,
                     const std::function<bool(const FoundDriver*)>& onRow) {
  int found = 0;
  keypaths::KeyFolders folders(keyRoot);
  DbQuery rows = db.runQuery(statement);
  const int startColumn = rows.columnIndex("START_MD5");
  const int endColumn = rows.columnIndex("END_MD5");
  while (!rows.atEnd()) {
    bool matches = manual;
    if (!manual) {
      std::int64_t start = 0, end = 0;
      matches = FingerprintOffset(rows.columnText(startColumn), &start) &&
                FingerprintOffset(rows.columnText(endColumn), &end) &&
                RangeDigestMatches(data, size, start, end, rows.columnString("MD5", ""));
    }
    FoundDriver driver;
    if (matches) {
      driver.name = rows.columnString("NOMEFILE", "");
      driver.description = rows.columnString("DESCRIZIONE", "");
      driver.centralina = rows.columnString("M_CENTRALINA", "") + " " +
                          rows.columnString("V_CENTRALINA", "") + " " +
                          rows.columnString("N_CENTRALINA", "");
      driver.eprom = rows.columnString("T_EPROM", "");
      driver.cks = rows.columnString("CKS", "");
      driver.user = rows.columnFlag("FLAG_USER");
      driver.available =
          rows.columnFlag("DOWNLOADED") && folders.HasDriverFile(driver.name, driver.user);
      ++found;
    }
    rows.advance();
    if (!onRow(matches ? &driver : nullptr)) break;
  }
  rows.release();
  return found;
}
