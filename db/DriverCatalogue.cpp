#include "db/DriverCatalogue.h"

#include "db/DbConnection.h"
#include "db/KeyCatalogue.h"
#include "db/KeyStore.h"
#include "db/SqlText.h"

namespace catalogue {
namespace {

const char kDriverColumns[] =
    "select NOMEFILE, DESCRIZIONE, DOWNLOADED, FLAG_USER, START_MD5, END_MD5, MD5, "
    "M_CENTRALINA, V_CENTRALINA, N_CENTRALINA, T_EPROM, CKS "
    "from drivers where suspended = 'False'";

// Reads every row of a driver search (the columns of kDriverColumns).
void EachDriver(DbConnection& db, const std::string& sql, const DriverHandler& onRow) {
  DbQuery rows = db.runQuery(sql);
  const int startColumn = rows.columnIndex("START_MD5");
  const int endColumn = rows.columnIndex("END_MD5");
  while (!rows.atEnd()) {
    DriverRow row;
    row.name = rows.columnString("NOMEFILE", "");
    row.description = rows.columnString("DESCRIZIONE", "");
    row.centralina = rows.columnString("M_CENTRALINA", "") + " " +
                     rows.columnString("V_CENTRALINA", "") + " " +
                     rows.columnString("N_CENTRALINA", "");
    row.eprom = rows.columnString("T_EPROM", "");
    row.cks = rows.columnString("CKS", "");
    row.md5 = rows.columnString("MD5", "");
    row.downloaded = rows.columnFlag("DOWNLOADED");
    row.user = rows.columnFlag("FLAG_USER");
    row.hasRange = FingerprintOffset(rows.columnText(startColumn), &row.start) &&
                   FingerprintOffset(rows.columnText(endColumn), &row.end);
    rows.advance();
    if (!onRow(row)) break;
  }
  rows.release();
}

std::vector<std::string> Texts(DbConnection& db, const std::string& sql, const char* column) {
  DbQuery rows = db.runQuery(sql);
  std::vector<std::string> values;
  while (!rows.atEnd()) {
    values.push_back(rows.columnString(column, ""));
    rows.advance();
  }
  rows.release();
  return values;
}

std::vector<std::string> Collect(const std::function<void(const TextHandler&)>& walk) {
  std::vector<std::string> values;
  walk([&values](const std::string& text) {
    values.push_back(text);
    return true;
  });
  return values;
}

}  // namespace

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

std::string DriverSearchStatement(const DriverFilter& filter) {
  std::string sql = kDriverColumns;
  if (!filter.manual)
    sql += " and MD5 is not null and start_MD5 is not null and end_MD5 is not null";
  if (filter.brandChosen) sql += " and marca = '" + SqlValue(filter.brand) + "'";
  if (filter.modelChosen) sql += " and modello = '" + SqlValue(filter.model) + "'";
  sql += ";";
  return sql;
}

void SearchDrivers(DbConnection& db, const DriverFilter& filter, const DriverHandler& onRow) {
  EachDriver(db, DriverSearchStatement(filter), onRow);
}

std::vector<std::string> UserMakes(DbConnection& db) {
  return Texts(db, "select distinct MARCA from drivers where FLAG_USER='True' order by marca;",
               "MARCA");
}

std::vector<std::string> UserModels(DbConnection& db, const std::string& make) {
  return Texts(db,
               "select distinct MODELLO from drivers where marca = '" + SqlValue(make) +
                   "' and FLAG_USER='True'  order by modello;",
               "MODELLO");
}

std::vector<std::string> AllMakes(DbConnection& db) {
  return Collect([&db](const TextHandler& onText) { DriverBrands(db, onText); });
}

std::vector<std::string> AllModels(DbConnection& db, const std::string& make) {
  return Collect([&](const TextHandler& onText) { DriverModels(db, make, onText); });
}

void SearchUserDrivers(DbConnection& db, const std::string* make, const std::string* model,
                       const DriverHandler& onRow) {
  std::string sql = std::string(kDriverColumns) + " and Flag_user='True'";
  if (make) sql += " and marca = '" + SqlValue(*make) + "'";
  if (model) sql += " and modello = '" + SqlValue(*model) + "'";
  sql += ";";
  EachDriver(db, sql, onRow);
}

bool MakeAndModel(DbConnection& db, const std::string& nomefile, std::string* make,
                  std::string* model) {
  DbQuery query = db.runQuery("select MARCA, MODELLO FROM DRIVERS where NOMEFILE = '" +
                              SqlValue(nomefile) + "';");
  const bool found = !query.atEnd();
  if (found) {
    *make = query.columnString("MARCA", "");
    *model = query.columnString("MODELLO", "");
  }
  query.release();
  return found;
}

bool Recatalogue(DbConnection& db, const std::string& nomefile, const std::string& make,
                 const std::string& model, const std::string& description) {
  const std::string sql = "UPDATE DRIVERS SET MARCA = '" + SqlValue(make) + "', " +
                          "MODELLO = '" + SqlValue(model) + "', " + "DESCRIZIONE = '" +
                          SqlValue(description) + "' " + "WHERE NOMEFILE = '" +
                          SqlValue(nomefile) + "';";
  return keystore::RunInTransaction(db, sql);
}

Deletion DeleteUserDriver(DbConnection& db, const std::string& nomefile) {
  DbQuery query = db.runQuery("select count(*) AS NUM_ORI from ORI where ID_DRIVER = '" +
                              SqlValue(nomefile) + "';");
  const int originals = query.atEnd() ? 0 : query.columnInt("NUM_ORI", 0);
  query.release();
  if (originals != 0) return Deletion::kReferenced;
  const bool done = keystore::RunInTransaction(
      db, "DELETE FROM DRIVERS where NOMEFILE = '" + SqlValue(nomefile) +
              "' and FLAG_USER = 'True';");
  return done ? Deletion::kDeleted : Deletion::kFailed;
}

}  // namespace catalogue
