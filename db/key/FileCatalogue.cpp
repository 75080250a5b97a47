#include "db/key/FileCatalogue.h"

#include "db/DbConnection.h"
#include "db/SqlText.h"
#include "db/key/KeyDatabase.h"
#include "db/key/QueryRows.h"
#include "db/key/StoredNames.h"

namespace keydb {
namespace {

// The first row of sql (NOMEFILE, PATH, NOTE) as the stored file of folder.
bool FindStored(KeyDatabase& db, const std::string& sql, bool modified, StoredFile* stored) {
  DbQuery found = db.connection().runQuery(sql);
  const bool exists = !found.atEnd();
  if (exists) {
    stored->nomeFile = found.columnString("NOMEFILE", "");
    stored->name = DisplayName(found.columnString("PATH", ""), stored->nomeFile, modified);
    stored->note = found.columnString("NOTE", "");
  }
  found.release();
  if (!exists) return false;
  const Folder& folder = modified ? db.folders().Modified() : db.folders().Originals();
  stored->file = folder.File(stored->nomeFile);
  stored->present = folder.HasFile(stored->nomeFile);
  return true;
}

}  // namespace

std::vector<std::string> RegisteredBrands(KeyDatabase& db) {
  return TextColumn(
      db, "select MARCA from drivers d, ori o where d.nomefile =o.id_driver group by MARCA;",
      "MARCA");
}

std::vector<std::string> RegisteredModels(KeyDatabase& db, const std::string& brand) {
  return TextColumn(
      db,
      "select MODELLO from drivers d, ori o where d.nomefile =o.id_driver and marca= '" +
          SqlValue(brand) + "' group by MODELLO order by MODELLO;",
      "MODELLO");
}

bool IsRegistered(KeyDatabase& db, const std::string& md5, bool modified) {
  const std::string table = modified ? "MOD" : "ORI";
  return HasRow(db, "select 1 from " + table + " where md5='" + SqlValue(md5) + "';");
}

void SearchOriginals(KeyDatabase& db, const std::string* brand, const std::string* model,
                     const OriginalHandler& onRow) {
  std::string sql =
      "select ORI.ID_ORI as ID_ORI, ORI.NOMEFILE as ORI_NOMEFILE, ORI.ID_DRIVER, "
      "ORI.LAST_MOD_DATE, ORI.MD5, "
      "DRIVERS.MARCA, DRIVERS.MODELLO, DRIVERS.NOMEFILE AS DRIVERS_NOMEFILE , "
      "DRIVERS.DESCRIZIONE, DRIVERS.DOWNLOADED, DRIVERS.FLAG_USER, ORI.PATH as PATH "
      "from ORI, DRIVERS where ORI.ID_DRIVER = DRIVERS.NOMEFILE";
  if (brand) sql += " and DRIVERS.MARCA = '" + SqlValue(*brand) + "'";
  if (model) sql += " and DRIVERS.MODELLO = '" + SqlValue(*model) + "'";
  sql += ";";
  EachRow<OriginalRow>(
      db, sql,
      [&db](DbQuery& rows, OriginalRow* row) {
        const std::string nomeFile = rows.columnString("ORI_NOMEFILE", "");
        row->id = rows.columnString("ID_ORI", "");
        row->name = DisplayName(rows.columnString("PATH", ""), nomeFile, false);
        row->md5 = rows.columnString("MD5", "");
        row->lastModified = rows.columnString("LAST_MOD_DATE", "");
        row->driver = rows.columnString("DRIVERS_NOMEFILE", "");
        row->description = rows.columnString("DESCRIZIONE", "");
        row->available = rows.columnFlag("DOWNLOADED") &&
                         db.folders().HasDriverFile(row->driver, rows.columnFlag("FLAG_USER")) &&
                         db.folders().Originals().HasFile(nomeFile);
      },
      onRow);
}

int CountModifiedFiles(KeyDatabase& db, const std::string& originalId) {
  DbQuery count = db.connection().runQuery("SELECT COUNT(*) AS NUM_MOD FROM MOD WHERE ID_ORI ='" +
                                           SqlValue(originalId) + "';");
  const int found = count.atEnd() ? 0 : count.columnInt("NUM_MOD", 0);
  count.release();
  return found;
}

bool FindOriginal(KeyDatabase& db, const std::string& originalId, StoredFile* original) {
  return FindStored(
      db, "SELECT NOMEFILE, NOTE, PATH FROM ORI WHERE ID_ORI ='" + SqlValue(originalId) + "';",
      false, original);
}

bool FindModified(KeyDatabase& db, const std::string& modifiedId, StoredFile* modified) {
  return FindStored(
      db, "SELECT NOMEFILE, NOTE, PATH FROM MOD WHERE ID_MOD ='" + SqlValue(modifiedId) + "';",
      true, modified);
}

bool FindOriginalHeader(KeyDatabase& db, const std::string& originalId, OriginalHeader* header) {
  DbQuery found = db.connection().runQuery(
      "SELECT  ORI.NOMEFILE as ORIFILENAME, ORI.NOTE as ORIDESC,  ORI.PATH as PATH, "
      "DRV.NOMEFILE as DRVFILENAME,DRV.DESCRIZIONE As DRVDESC, ORI.LAST_MOD_DATE as LAST_MOD_ORI "
      "FROM ORI, DRIVERS DRV WHERE DRV.NOMEFILE=ORI.ID_DRIVER AND ORI.ID_ORI = '" +
      SqlValue(originalId) + "';");
  const bool exists = !found.atEnd();
  if (exists) {
    header->name =
        DisplayName(found.columnString("PATH", ""), found.columnString("ORIFILENAME", ""), false);
    header->note = found.columnString("ORIDESC", "");
    header->lastModified = found.columnString("LAST_MOD_ORI", "");
    header->driver = found.columnString("DRVFILENAME", "");
    header->driverDescription = found.columnString("DRVDESC", "");
  }
  found.release();
  return exists;
}

void ModifiedFiles(KeyDatabase& db, const std::string& originalId,
                   const std::function<bool(const ModifiedRow&)>& onRow) {
  const std::string sql =
      "SELECT ID_MOD, NOMEFILE, NOTE, PATH, LAST_MOD_DATE FROM MOD WHERE ID_ORI ='" +
      SqlValue(originalId) + "';";
  EachRow<ModifiedRow>(
      db, sql,
      [&db](DbQuery& rows, ModifiedRow* row) {
        const std::string nomeFile = rows.columnString("NOMEFILE", "");
        row->id = rows.columnString("ID_MOD", "");
        row->name = DisplayName(rows.columnString("PATH", ""), nomeFile, true);
        row->note = rows.columnString("NOTE", "");
        row->lastModified = rows.columnString("LAST_MOD_DATE", "");
        row->present = db.folders().Modified().HasFile(nomeFile);
      },
      onRow);
}

bool CustomerCode(KeyDatabase& db, std::string* code) {
  DbQuery found = db.connection().runQuery("select id_cliente from zkm_system;");
  const bool exists = !found.atEnd();
  if (exists) *code = found.columnString("ID_CLIENTE", "");
  found.release();
  return exists;
}

int CountPendingReservations(KeyDatabase& db) {
  return db.connection().runScalar(
      "select count(*) as tot_drv from DRV_DOWNLOAD where  DOWNLOADED = 'False' and ERROR = "
      "'False';");
}

}  // namespace keydb
