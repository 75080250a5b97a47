#include "db/KeyCatalogue.h"

#include "db/DbConnection.h"
#include "db/KeyPaths.h"
#include "db/KeyStore.h"
#include "db/SqlText.h"
#include "db/StoredArchive.h"

namespace catalogue {
namespace {

// Hands column of every row to onText, while the result is open.
void EachText(DbConnection& db, const std::string& sql, const char* column,
              const TextHandler& onText) {
  DbQuery rows = db.runQuery(sql);
  while (!rows.atEnd()) {
    const std::string text = rows.columnString(column, "");
    rows.advance();
    if (!onText(text)) break;
  }
  rows.release();
}

// Whether sql gives at least one row.
bool HasRow(DbConnection& db, const std::string& sql) {
  DbQuery rows = db.runQuery(sql);
  const bool found = !rows.atEnd();
  rows.release();
  return found;
}

// The NOMEFILE of the first row of sql, then runs the deletion.
std::string DeleteRow(DbConnection& db, const std::string& select, const std::string& deletion) {
  std::string nomeFile;
  DbQuery row = db.runQuery(select);
  if (!row.atEnd()) nomeFile = row.columnString("NOMEFILE", "");
  row.release();
  db.runStatement(deletion);
  return nomeFile;
}

// The first row of sql into *row (NOMEFILE, PATH and, withNote, NOTE);
// false when there is none.
bool FindStoredRow(DbConnection& db, const std::string& sql, bool withNote, StoredRow* row) {
  DbQuery found = db.runQuery(sql);
  const bool exists = !found.atEnd();
  if (exists) {
    row->nomeFile = found.columnString("NOMEFILE", "");
    row->path = found.columnString("PATH", "");
    if (withNote) row->note = found.columnString("NOTE", "");
  }
  found.release();
  return exists;
}

}  // namespace

void DriverBrands(DbConnection& db, const TextHandler& onBrand) {
  EachText(db, "select distinct MARCA from drivers order by marca;", "MARCA", onBrand);
}

void DriverModels(DbConnection& db, const std::string& brand, const TextHandler& onModel) {
  EachText(db,
           "select distinct MODELLO from drivers where marca = '" + SqlValue(brand) +
               "' order by modello;",
           "MODELLO", onModel);
}

void RegisteredBrands(DbConnection& db, const TextHandler& onBrand) {
  EachText(db, "select MARCA from drivers d, ori o where d.nomefile =o.id_driver group by MARCA;",
           "MARCA", onBrand);
}

void RegisteredModels(DbConnection& db, const std::string& brand, const TextHandler& onModel) {
  EachText(db,
           "select MODELLO from drivers d, ori o where d.nomefile =o.id_driver and marca= '" +
               SqlValue(brand) + "' group by MODELLO order by MODELLO;",
           "MODELLO", onModel);
}

bool IsRegistered(DbConnection& db, const std::string& md5, bool modified) {
  const std::string table = modified ? "MOD" : "ORI";
  return HasRow(db, "select 1 from " + table + " where md5='" + SqlValue(md5) + "';");
}

void SearchOriginals(DbConnection& db, const std::string* brand, const std::string* model,
                     const std::function<bool(const OriginalRow&)>& onRow) {
  std::string sql =
      "select ORI.ID_ORI as ID_ORI, ORI.NOMEFILE as ORI_NOMEFILE, ORI.ID_DRIVER, "
      "ORI.LAST_MOD_DATE, ORI.MD5, "
      "DRIVERS.MARCA, DRIVERS.MODELLO, DRIVERS.NOMEFILE AS DRIVERS_NOMEFILE , "
      "DRIVERS.DESCRIZIONE, DRIVERS.DOWNLOADED, DRIVERS.FLAG_USER, ORI.PATH as PATH "
      "from ORI, DRIVERS where ORI.ID_DRIVER = DRIVERS.NOMEFILE";
  if (brand) sql += " and DRIVERS.MARCA = '" + SqlValue(*brand) + "'";
  if (model) sql += " and DRIVERS.MODELLO = '" + SqlValue(*model) + "'";
  sql += ";";
  DbQuery rows = db.runQuery(sql);
  while (!rows.atEnd()) {
    OriginalRow row;
    row.id = rows.columnString("ID_ORI", "");
    row.nomeFile = rows.columnString("ORI_NOMEFILE", "");
    row.path = rows.columnString("PATH", "");
    row.md5 = rows.columnString("MD5", "");
    row.lastModified = rows.columnString("LAST_MOD_DATE", "");
    row.driver = rows.columnString("DRIVERS_NOMEFILE", "");
    row.description = rows.columnString("DESCRIZIONE", "");
    row.downloaded = rows.columnFlag("DOWNLOADED");
    row.userDriver = rows.columnFlag("FLAG_USER");
    rows.advance();
    if (!onRow(row)) break;
  }
  rows.release();
}

bool IsOriginalAvailable(keypaths::KeyFolders& folders, const OriginalRow& row) {
  return row.downloaded && folders.HasDriverFile(row.driver, row.userDriver) &&
         folders.Originals().HasFile(row.nomeFile);
}

int CountModifiedFiles(DbConnection& db, const std::string& originalId) {
  DbQuery count = db.runQuery("SELECT COUNT(*) AS NUM_MOD FROM MOD WHERE ID_ORI ='" +
                              SqlValue(originalId) + "';");
  const int found = count.atEnd() ? 0 : count.columnInt("NUM_MOD", 0);
  count.release();
  return found;
}

bool OriginalNote(DbConnection& db, const std::string& originalId, StoredRow* row) {
  return FindStoredRow(
      db, "SELECT NOMEFILE, NOTE, PATH FROM ORI WHERE ID_ORI ='" + SqlValue(originalId) + "';",
      true, row);
}

bool OriginalFile(DbConnection& db, const std::string& originalId, StoredRow* row) {
  return FindStoredRow(
      db, "SELECT NOMEFILE, PATH FROM ORI WHERE ID_ORI ='" + SqlValue(originalId) + "';", false,
      row);
}

std::string DeleteOriginal(DbConnection& db, const std::string& originalId) {
  return DeleteRow(db, "SELECT NOMEFILE FROM ORI WHERE ID_ORI='" + SqlValue(originalId) + "';",
                   "DELETE FROM ORI WHERE ID_ORI = '" + SqlValue(originalId) + "';");
}

bool FindOriginalHeader(DbConnection& db, const std::string& originalId, OriginalHeader* header) {
  DbQuery found = db.runQuery(
      std::string("SELECT  ORI.NOMEFILE as ORIFILENAME, ORI.NOTE as ORIDESC,  ORI.PATH as PATH, "
                  "DRV.NOMEFILE as DRVFILENAME,") +
      "DRV.DESCRIZIONE As DRVDESC, ORI.LAST_MOD_DATE as LAST_MOD_ORI " + "FROM ORI, DRIVERS DRV " +
      "WHERE DRV.NOMEFILE=ORI.ID_DRIVER " + "AND ORI.ID_ORI = '" + SqlValue(originalId) + "';");
  const bool exists = !found.atEnd();
  if (exists) {
    header->nomeFile = found.columnString("ORIFILENAME", "");
    header->path = found.columnString("PATH", "");
    header->note = found.columnString("ORIDESC", "");
    header->lastModified = found.columnString("LAST_MOD_ORI", "");
    header->driver = found.columnString("DRVFILENAME", "");
    header->driverDescription = found.columnString("DRVDESC", "");
  }
  found.release();
  return exists;
}

void ModifiedFiles(DbConnection& db, const std::string& originalId,
                   const std::function<bool(const ModifiedFileRow&)>& onRow) {
  DbQuery rows = db.runQuery(
      "SELECT ID_MOD, NOMEFILE, NOTE, PATH, LAST_MOD_DATE FROM MOD WHERE ID_ORI ='" +
      SqlValue(originalId) + "';");
  while (!rows.atEnd()) {
    ModifiedFileRow row;
    row.id = rows.columnString("ID_MOD", "");
    row.nomeFile = rows.columnString("NOMEFILE", "");
    row.path = rows.columnString("PATH", "");
    row.note = rows.columnString("NOTE", "");
    row.lastModified = rows.columnString("LAST_MOD_DATE", "");
    rows.advance();
    if (!onRow(row)) break;
  }
  rows.release();
}

bool ModifiedStoredName(DbConnection& db, const std::string& modifiedId, std::string* nomeFile) {
  DbQuery found = db.runQuery("SELECT NOMEFILE FROM MOD where id_mod = '" +
                              SqlValue(modifiedId) + "'");
  const bool exists = !found.atEnd();
  if (exists) *nomeFile = found.columnString("NOMEFILE", "");
  found.release();
  return exists;
}

bool ModifiedFile(DbConnection& db, const std::string& modifiedId, StoredRow* row) {
  return FindStoredRow(
      db, "SELECT NOMEFILE, PATH FROM MOD WHERE ID_MOD ='" + SqlValue(modifiedId) + "';", false,
      row);
}

std::string DeleteModified(DbConnection& db, const std::string& modifiedId) {
  return DeleteRow(db, "SELECT NOMEFILE FROM MOD where ID_MOD ='" + SqlValue(modifiedId) + "';",
                   "DELETE FROM MOD WHERE ID_MOD ='" + SqlValue(modifiedId) + "';");
}

bool CustomerCode(DbConnection& db, std::string* code) {
  DbQuery found = db.runQuery("select id_cliente from zkm_system;");
  const bool exists = !found.atEnd();
  if (exists) *code = found.columnString("ID_CLIENTE", "");
  found.release();
  return exists;
}

int CountPendingReservations(DbConnection& db) {
  return db.runScalar(
      "select count(*) as tot_drv from DRV_DOWNLOAD where  DOWNLOADED = 'False' and ERROR = 'False';");
}

Reservation ReserveDriver(DbConnection& db, const std::string& driver) {
  if (HasRow(db, "select 1 from DRV_DOWNLOAD where ID_DRV_DOWNLOAD  = '" + SqlValue(driver) +
                     "' and DOWNLOADED = 'False' and ERROR = 'False';"))
    return Reservation::kAlreadyPending;
  // Asked only for a reservation that is to be written.
  int request = 0;
  if (!keystore::NextRequestId(db, &request)) return Reservation::kNoId;
  const std::string insert =
      "insert into DRV_DOWNLOAD (ID_REQUEST, ID_DRV_DOWNLOAD, DOWNLOADED, ERROR, REQUEST_DATE) values (" +
      std::to_string(request) + ", '" + SqlValue(driver) + "', 'False', 'False'," + keystore::kNow + ");";
  return keystore::RunInTransaction(db, insert) ? Reservation::kReserved : Reservation::kFailed;
}

Registration StoreAndInsert(DbConnection& db, const std::string& archivePath,
                            const std::string& storedName,
                            const std::vector<unsigned char>& content, const std::string& insert,
                            bool mustChangeRow) {
  std::string error;
  if (StoreInNewArchive(archivePath, storedName, content, &error) != StoreResult::Stored)
    return Registration::kNotStored;
  // Never throws: a failure of begin, insert or commit is rolled back.
  if (keystore::RunInTransaction(db, insert, mustChangeRow)) return Registration::kRegistered;
  RemoveStoredArchive(archivePath);
  return Registration::kNotInserted;
}

std::string InsertOriginalStatement(const NewOriginal& row) {
  return "insert into ORI (ID_ORI, ID_DRIVER, [NOTE], NOMEFILE, PATH, MD5, LAST_MOD_DATE ) values (" +
         std::to_string(row.id) + ", '" + SqlValue(row.driver) + "', '" + SqlValue(row.note) +
         "', '" + SqlValue(keystore::OriginalFileName(row.id)) + "', '" + SqlValue(row.fileName) +
         "','" + SqlValue(row.md5) + "', " + keystore::kNow + ");";
}

}  // namespace catalogue
