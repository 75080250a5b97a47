#include "drivers/UserDrivers.h"

#include "db/DbConnection.h"
#include "db/KeyStore.h"
#include "db/SqlText.h"

namespace userdrivers {
namespace {

std::vector<std::string> Column(const std::string& dbPath, const std::string& sql,
                                const char* column) {
  DbConnection db;
  DbQuery query;
  db.open(dbPath);
  query = db.runQuery(sql);
  std::vector<std::string> values;
  while (!query.atEnd()) {
    values.push_back(query.columnString(column, ""));
    query.advance();
  }
  query.release();
  db.close();
  return values;
}

}  // namespace

std::vector<std::string> UserMakes(const std::string& dbPath) {
  return Column(dbPath, "select distinct MARCA from drivers where FLAG_USER='True' order by marca;",
                "MARCA");
}

std::vector<std::string> AllMakes(const std::string& dbPath) {
  return Column(dbPath, "select distinct MARCA from drivers order by marca;", "MARCA");
}

std::vector<std::string> Models(const std::string& dbPath, const std::string& make,
                                bool userDriversOnly) {
  const std::string sql =
      userDriversOnly
          ? "select distinct MODELLO from drivers where marca = '" + SqlValue(make) +
                "' and FLAG_USER='True'  order by modello;"
          : "select distinct MODELLO from drivers where marca = '" + SqlValue(make) +
                "' order by modello;";
  return Column(dbPath, sql, "MODELLO");
}

void Search(const std::string& dbPath, const std::string* make, const std::string* model,
            const std::function<void(const Found&)>& onRow) {
  std::string sql =
      "select NOMEFILE, DESCRIZIONE, DOWNLOADED, FLAG_USER, START_MD5, END_MD5, MD5, "
      "M_CENTRALINA, V_CENTRALINA, N_CENTRALINA, T_EPROM, CKS "
      "from drivers where suspended = 'False' and Flag_user='True'";
  if (make) sql += " and marca = '" + SqlValue(*make) + "'";
  if (model) sql += " and modello = '" + SqlValue(*model) + "'";
  sql += ";";

  DbConnection db;
  DbQuery query;
  db.open(dbPath);
  query = db.runQuery(sql);
  while (!query.atEnd()) {
    Found row;
    row.nomefile = query.columnString("NOMEFILE", "");
    row.descrizione = query.columnString("DESCRIZIONE", "");
    row.centralina = query.columnString("M_CENTRALINA", "") + " " +
                     query.columnString("V_CENTRALINA", "") + " " +
                     query.columnString("N_CENTRALINA", "");
    row.eprom = query.columnString("T_EPROM", "");
    row.cks = query.columnString("CKS", "");
    row.downloaded = query.columnFlag("DOWNLOADED");
    row.user = query.columnFlag("FLAG_USER");
    onRow(row);
    query.advance();
  }
  query.release();
  db.close();
}

bool MakeAndModel(const std::string& dbPath, const std::string& nomefile, std::string* make,
                  std::string* model) {
  DbConnection db;
  DbQuery query;
  db.open(dbPath);
  query = db.runQuery("select MARCA, MODELLO FROM DRIVERS where NOMEFILE = '" +
                      SqlValue(nomefile) + "';");
  const bool found = !query.atEnd();
  if (found) {
    *make = query.columnString("MARCA", "");
    *model = query.columnString("MODELLO", "");
  }
  query.release();
  db.close();
  return found;
}

bool Recatalogue(const std::string& dbPath, const std::string& nomefile,
                 const std::string& make, const std::string& model,
                 const std::string& description) {
  const std::string sql = "UPDATE DRIVERS SET MARCA = '" + SqlValue(make) + "', " +
                          "MODELLO = '" + SqlValue(model) + "', " + "DESCRIZIONE = '" +
                          SqlValue(description) + "' " + "WHERE NOMEFILE = '" +
                          SqlValue(nomefile) + "';";
  DbConnection db;
  db.open(dbPath);
  const bool done = keystore::RunInTransaction(db, sql);
  db.close();
  return done;
}

Deletion DeleteUserDriver(const std::string& dbPath, const std::string& nomefile) {
  DbConnection db;
  DbQuery query;
  db.open(dbPath);
  query = db.runQuery("select count(*) AS NUM_ORI from ORI where ID_DRIVER = '" +
                      SqlValue(nomefile) + "';");
  const int originals = query.atEnd() ? 0 : query.columnInt("NUM_ORI", 0);
  query.release();
  if (originals != 0) {
    db.close();
    return Deletion::kReferenced;
  }
  const bool done = keystore::RunInTransaction(
      db, "DELETE FROM DRIVERS where NOMEFILE = '" + SqlValue(nomefile) +
              "' and FLAG_USER = 'True';");
  db.close();
  return done ? Deletion::kDeleted : Deletion::kFailed;
}

}  // namespace userdrivers
