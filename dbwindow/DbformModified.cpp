// Registering a modified file: choosing the file and the original it was
// made from, the description under the warning, storing the file with its
// MOD row.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <stdexcept>
#include <vector>

#include "app/ComboIndex.h"
#include "app/DbText.h"
#include "app/KeyWrites.h"
#include "app/Prompts.h"
#include "app/Texts.h"
#include "db/DbConnection.h"
#include "db/KeyPaths.h"
#include "db/KeyStore.h"
#include "db/SqlText.h"
#include "dbwindow/Dbform.h"
#include "dbwindow/DbformCommandLock.h"
#include "dbwindow/DbformRegistration.h"
#include "dbwindow/Hash_algorithms.h"
#include "dbwindow/StoredArchive.h"
#include "ui_Dbform.h"

namespace {

// One OriList row from the current row of the originals search. The row
// keeps the original's MD5 text, which a registration checks again.
void AddOriginalRow(const TForm2& form, keypaths::KeyFolders& folders, QTreeWidget* list,
                    DbQuery& row) {
  const std::string nomeFile = row.columnString("ORI_NOMEFILE", "");
  const std::string driver = row.columnString("DRIVERS_NOMEFILE", "");
  const bool available = row.columnFlag("DOWNLOADED") &&
                         folders.HasDriverFile(driver, row.columnFlag("FLAG_USER")) &&
                         folders.Originals().HasFile(nomeFile);
  auto* item = new QTreeWidgetItem(list);
  item->setText(0, FromCp1252(keystore::DisplayName(row.columnString("PATH", ""), nomeFile, false)));
  item->setText(1, FromCp1252(row.columnString("DESCRIZIONE", "")));
  item->setText(2, FromCp1252(driver));
  item->setText(3, FromCp1252(row.columnString("LAST_MOD_DATE", "")));
  item->setText(4, FromCp1252(row.columnString("ID_ORI", "")));
  item->setData(0, TForm2::kOriginalMd5Role, QByteArray::fromStdString(row.columnString("MD5", "")));
  const int image = available ? 1 : 0;
  item->setIcon(0, form.ListImage(image));
  item->setData(0, TForm2::kImageRole, image);
}

}  // namespace

void TForm2::Button2Click() {
  if (searching_) return;
  const QString path = Prompts::current().openFile(this, QString());
  if (path.isEmpty()) return;
  ui_->TB_MOD_FILE->setText(path);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error(("Cannot read " + path + ": " + file.errorString()).toStdString());
  const QByteArray content = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw std::runtime_error(("Cannot read " + path + ": " + file.errorString()).toStdString());
  ModifiedDigest = TUEDC16::HashBuffer(content.constData(), static_cast<std::size_t>(content.size()));
  if (IsAlreadyRegistered(ModifiedDigest, true)) {
    Prompts::current().message(this, Msg(1031));
    ui_->TB_MOD_FILE->clear();
    return;
  }
  ui_->MarcaORI->setEnabled(true);
}

void TForm2::MarcaORIChange() {
  if (searching_) return;
  const int index = ItemIndex(ui_->MarcaORI);
  std::string brand;
  if (index > 0 && !ComboBytes(ui_->MarcaORI, &brand)) return;
  DbConnection db;
  db.open(DatabasePath());
  ui_->ModelloORI->clear();
  ui_->ModelloORI->addItem(Msg(1011));
  if (index > 0) {
    DbQuery rows = db.runQuery(
        "select MODELLO from drivers d, ori o where d.nomefile =o.id_driver and marca= '" +
        SqlValue(brand) + "' group by MODELLO order by MODELLO;");
    for (; !rows.atEnd(); rows.advance())
      ui_->ModelloORI->addItem(FromCp1252(rows.columnString("MODELLO", "")));
    rows.release();
  }
  ui_->ModelloORI->setCurrentIndex(0);
  ui_->ModelloORI->setEnabled(index != 0);
  ui_->BTN_Ori_search->setEnabled(index != 0);
  db.close();
}

void TForm2::BTN_Ori_searchClick() {
  if (searching_) return;
  std::string brand, model;
  const bool brandChosen = ItemIndex(ui_->MarcaORI) != 0;
  const bool modelChosen = ItemIndex(ui_->ModelloORI) != 0;
  if (brandChosen && !ComboBytes(ui_->MarcaORI, &brand)) return;
  if (modelChosen && !ComboBytes(ui_->ModelloORI, &model)) return;

  BusyNotice notice(ui_->PNL_search_ori);
  DbConnection db;
  db.open(DatabasePath());
  ui_->OriList->clear();
  ui_->BTN_Reg_mod->setEnabled(false);
  std::string sql =
      "select ORI.ID_ORI as ID_ORI, ORI.NOMEFILE as ORI_NOMEFILE, ORI.ID_DRIVER, ORI.LAST_MOD_DATE, ORI.MD5, "
      "DRIVERS.MARCA, DRIVERS.MODELLO, DRIVERS.NOMEFILE AS DRIVERS_NOMEFILE , DRIVERS.DESCRIZIONE, "
      "DRIVERS.DOWNLOADED, DRIVERS.FLAG_USER, ORI.PATH as PATH "
      "from ORI, DRIVERS where ORI.ID_DRIVER = DRIVERS.NOMEFILE";
  if (brandChosen) sql += " and DRIVERS.MARCA = '" + SqlValue(brand) + "'";
  if (modelChosen) sql += " and DRIVERS.MODELLO = '" + SqlValue(model) + "'";
  sql += ";";

  int found = 0;
  {
    // The list is repainted while it fills; no other command runs meanwhile.
    CommandLock lock(this);
    keypaths::KeyFolders folders(KeyRoot);
    DbQuery rows = db.runQuery(sql);
    for (; !rows.atEnd(); rows.advance()) {
      AddOriginalRow(*this, folders, ui_->OriList, rows);
      ++found;
      QCoreApplication::processEvents();
    }
    rows.release();
  }
  if (found == 0) {
    auto* row = new QTreeWidgetItem(ui_->OriList);
    row->setText(1, Msg(1032));
    row->setIcon(0, ListImage(0));
    row->setData(0, kImageRole, 0);
  }
  db.close();
}

void TForm2::OriListSelectItem(QTreeWidgetItem* row, bool selected) {
  ui_->BTN_Reg_mod->setEnabled(selected && row && !row->text(0).isEmpty());
}

void TForm2::BTN_Reg_modClick() {
  if (searching_) return;
  QTreeWidgetItem* row = SelectedRow(ui_->OriList);
  if (!row || row->text(0).isEmpty()) return;
  HideWorkPanels();
  ui_->PNL_MOD2->show();
  ui_->TE_Mod_Name->setText(ui_->TB_MOD_FILE->text());
  ui_->TE_OriName->setText(row->text(0));
  RegistrationOriginalId = row->text(4).toStdString();
  RegistrationOriginalMd5 = row->data(0, kOriginalMd5Role).toByteArray().toStdString();
  // Memo_MOD keeps what it held: the last registration's text or what was
  // typed before a cancel. The proposals come below it.
  const QString name = QFileInfo(ui_->TB_MOD_FILE->text()).fileName();
  for (const QString& proposal : {LegacyIniDescription(name), LegacyFileDescription(name)})
    if (!proposal.isEmpty()) ui_->Memo_MOD->appendPlainText(proposal);
}

void TForm2::BTN_DBMODClick() {
  if (searching_) return;
  // Everything the registration writes is taken now, before any step that
  // hands the event queue a turn.
  const QString sourcePath = ui_->TE_Mod_Name->text();
  keystore::ModifiedRow mod;
  mod.md5 = ModifiedDigest;
  mod.originalMd5 = RegistrationOriginalMd5;
  bool idOk = false;
  mod.originalId = QString::fromStdString(RegistrationOriginalId).toInt(&idOk);
  if (!StoredText(this, ToStoredLineBreaks(ui_->Memo_MOD->toPlainText()), 1066, &mod.note) ||
      !StoredText(this, QFileInfo(sourcePath).fileName(), 1065, &mod.fileName))
    return;

  keypaths::KeyFolders folders(KeyRoot);
  DbConnection db;
  db.open(folders.DatabasePath());
  // The original chosen may have been deleted (and its id given to another
  // original) since the list was filled.
  if (!idOk || !keystore::IsOriginalRegistered(db, mod.originalId, mod.originalMd5)) {
    db.close();
    Prompts::current().message(this, Msg(1078));
    HideWorkPanels();
    ui_->PNL_MOD->show();
    BTN_Ori_searchClick();
    return;
  }
  if (!keystore::NextModifiedId(db, &mod.id)) {
    db.close();
    Prompts::current().message(this, Msg(1079));
    return;
  }
  const std::string storedName = keystore::ModifiedFileName(mod.id);
  const std::string archive = folders.StoredModified(storedName);
  BusyNotice notice(ui_->PNL_MOD_WARN);

  std::vector<unsigned char> content;
  StoreResult stored = StoreResult::Failed;
  if (ReadRegisteredBytes(sourcePath, mod.md5, &content)) {
    CommandLock lock(this);
    std::string error;
    stored = StoreInNewArchive(archive, storedName, content, &error);
  }
  if (stored != StoreResult::Stored) {
    notice.hide();
    ui_->PNL_MOD2->hide();
    Prompts::current().message(this, Msg(1025));
    db.close();
    return;
  }

  // Never throws: a failure of begin, insert or commit, or an original gone
  // meanwhile (no row inserted), is rolled back.
  const bool inserted =
      keystore::RunInTransaction(db, keystore::InsertModifiedStatement(mod), true);
  if (!inserted) {
    RemoveStoredArchive(archive);
    notice.hide();
    Prompts::current().message(this, Msg(1036));
    db.close();
    return;
  }
  db.close();
  notice.hide();
  ui_->PNL_MOD2->hide();
  if (KeyWritesSaved(this, KeyRoot)) Prompts::current().message(this, Msg(1024));
  ResetModifiedPanel();
  HideWorkPanels();
  ui_->PNL_MOD->show();
}

void TForm2::BTN_ANNULLAClick() {
  if (searching_) return;
  ResetModifiedPanel();
  HideWorkPanels();
}

void TForm2::Button4Click() {
  if (searching_) return;
  HideWorkPanels();
}

void TForm2::ResetModifiedPanel() {
  ui_->TB_MOD_FILE->clear();
  ui_->ModelloORI->setCurrentIndex(0);
  ui_->MarcaORI->setCurrentIndex(0);
  ui_->BTN_Ori_search->setEnabled(false);
  ui_->BTN_Reg_mod->setEnabled(false);
  ui_->OriList->clear();
}
