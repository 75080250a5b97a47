#include "db/key/DriverCatalogue.h"

#include "db/DbConnection.h"
#include "db/SqlText.h"
#include "db/key/KeyDatabase.h"
#include "db/key/QueryRows.h"

namespace keydb {
namespace {

const char kDriverColumns[] =
    "select NOMEFILE, DESCRIZIONE, DOWNLOADED, FLAG_USER, START_MD5, END_MD5, MD5, "
    "M_CENTRALINA, V_CENTRALINA, N_CENTRALINA, T_EPROM, CKS "
    "from drivers where suspended = 'False'";

// Reads every row of a driver search (the columns of kDriverColumns).
void EachDriver(KeyDatabase& db, const std::string& sql, bool lookUpFiles,
                const DriverHandler& onRow) {
  // The offsets are read by position, found once per search: a search
  // reads every driver of the key.
  int startColumn = -1, endColumn = -1;
  EachRow<DriverRow>(
      db, sql,
      [&db, lookUpFiles, &startColumn, &endColumn](DbQuery& rows, DriverRow* row) {
        if (startColumn < 0) {
          startColumn = rows.columnIndex("START_MD5");
          endColumn = rows.columnIndex("END_MD5");
        }
        row->name = rows.columnString("NOMEFILE", "");
        row->description = rows.columnString("DESCRIZIONE", "");
        row->centralina = rows.columnString("M_CENTRALINA", "") + " " +
                          rows.columnString("V_CENTRALINA", "") + " " +
                          rows.columnString("N_CENTRALINA", "");
        row->eprom = rows.columnString("T_EPROM", "");
        row->cks = rows.columnString("CKS", "");
        row->md5 = rows.columnString("MD5", "");
        row->downloaded = rows.columnFlag("DOWNLOADED");
        row->user = rows.columnFlag("FLAG_USER");
        row->hasRange = FingerprintOffset(rows.columnText(startColumn), &row->start) &&
                        FingerprintOffset(rows.columnText(endColumn), &row->end);
        if (lookUpFiles)
          row->available = row->downloaded && db.folders().HasDriverFile(row->name, row->user);
      },
      onRow);
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

std::vector<std::string> DriverBrands(KeyDatabase& db) {
  return TextColumn(db, "select distinct MARCA from drivers order by marca;", "MARCA");
}

std::vector<std::string> DriverModels(KeyDatabase& db, const std::string& brand) {
  return TextColumn(db,
                    "select distinct MODELLO from drivers where marca = '" + SqlValue(brand) +
                        "' order by modello;",
                    "MODELLO");
}

std::vector<std::string> UserDriverBrands(KeyDatabase& db) {
  return TextColumn(db, "select distinct MARCA from drivers where FLAG_USER='True' order by marca;",
                    "MARCA");
}

std::vector<std::string> UserDriverModels(KeyDatabase& db, const std::string& brand) {
  return TextColumn(db,
                    "select distinct MODELLO from drivers where marca = '" + SqlValue(brand) +
                        "' and FLAG_USER='True'  order by modello;",
                    "MODELLO");
}

void SearchDrivers(KeyDatabase& db, const DriverFilter& filter, const DriverHandler& onRow) {
  std::string sql = kDriverColumns;
  if (!filter.manual)
    sql += " and MD5 is not null and start_MD5 is not null and end_MD5 is not null";
  if (filter.brandChosen) sql += " and marca = '" + SqlValue(filter.brand) + "'";
  if (filter.modelChosen) sql += " and modello = '" + SqlValue(filter.model) + "'";
  sql += ";";
  EachDriver(db, sql, false, onRow);
}

void SearchUserDrivers(KeyDatabase& db, const std::string* brand, const std::string* model,
                       const DriverHandler& onRow) {
  std::string sql = std::string(kDriverColumns) + " and Flag_user='True'";
  if (brand) sql += " and marca = '" + SqlValue(*brand) + "'";
  if (model) sql += " and modello = '" + SqlValue(*model) + "'";
  sql += ";";
  EachDriver(db, sql, true, onRow);
}

bool BrandAndModel(KeyDatabase& db, const std::string& nomefile, std::string* brand,
                   std::string* model) {
  DbQuery query = db.connection().runQuery("select MARCA, MODELLO FROM DRIVERS where NOMEFILE = '" +
                                           SqlValue(nomefile) + "';");
  const bool found = !query.atEnd();
  if (found) {
    *brand = query.columnString("MARCA", "");
    *model = query.columnString("MODELLO", "");
  }
  query.release();
  return found;
}

}  // namespace keydb
