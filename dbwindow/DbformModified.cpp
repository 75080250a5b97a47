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

#include "app/kit/ComboIndex.h"
#include "app/kit/DbText.h"
#include "app/kit/FileDialogs.h"
#include "app/kit/KeyWrites.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "app/kit/BusyNotice.h"
#include "app/kit/WidgetTexts.h"
#include "db/DbConnection.h"
#include "db/KeyCatalogue.h"
#include "db/KeyPaths.h"
#include "db/KeyStore.h"
#include "dbwindow/Dbform.h"
#include "dbwindow/DbformRegistration.h"
#include "dbwindow/Hash_algorithms.h"
#include "ui_Dbform.h"
#include "app/kit/FieldTexts.h"

void TForm2::AddOriginalRow(keypaths::KeyFolders& folders, QTreeWidget* list,
                            const catalogue::OriginalRow& original) {
  auto* item = new QTreeWidgetItem(list);
  item->setText(0, FromCp1252(keystore::DisplayName(original.path, original.nomeFile, false)));
  item->setText(1, FromCp1252(original.description));
  item->setText(2, FromCp1252(original.driver));
  item->setText(3, FromCp1252(original.lastModified));
  item->setText(4, FromCp1252(original.id));
  // A registration against the row checks this MD5 text again.
  item->setData(0, kOriginalMd5Role, QByteArray::fromStdString(original.md5));
  kit::SetRowImage(item, catalogue::IsOriginalAvailable(folders, original) ? 1 : 0);
}

void TForm2::Button2Click() {
  if (searching()) return;
  const QString path = kit::OpenFile(kit::FileDialog::kDB_OD, this, QString());
  if (path.isEmpty()) return;
  kit::ShowPath(ui_->TB_MOD_FILE, path);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error(("Cannot read " + path + ": " + file.errorString()).toStdString());
  const QByteArray content = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw std::runtime_error(("Cannot read " + path + ": " + file.errorString()).toStdString());
  ModifiedDigest = TUEDC16::HashBuffer(content.constData(), static_cast<std::size_t>(content.size()));
  if (IsAlreadyRegistered(ModifiedDigest, true)) {
    Prompts::current().message(this, Msg(1031));
    kit::ShowPath(ui_->TB_MOD_FILE, QString());
    return;
  }
  ui_->MarcaORI->setEnabled(true);
}

void TForm2::MarcaORIChange() {
  if (searching()) return;
  FillRegisteredModels(ui_->MarcaORI, ui_->ModelloORI, ui_->BTN_Ori_search);
}

void TForm2::BTN_Ori_searchClick() {
  if (searching()) return;
  std::string brand, model;
  const bool brandChosen = ItemIndex(ui_->MarcaORI) != 0;
  const bool modelChosen = ItemIndex(ui_->ModelloORI) != 0;
  if (brandChosen && !ComboBytes(ui_->MarcaORI, &brand)) return;
  if (modelChosen && !ComboBytes(ui_->ModelloORI, &model)) return;

  kit::BusyNotice notice(ui_->PNL_search_ori);
  DbConnection db;
  db.open(DatabasePath());
  ui_->OriList->clear();
  ui_->BTN_Reg_mod->setEnabled(false);

  int found = 0;
  {
    // The list is repainted while it fills; no other command runs meanwhile.
    kit::CommandLock lock(&commands_, Commands());
    keypaths::KeyFolders folders(KeyRoot);
    catalogue::SearchOriginals(db, brandChosen ? &brand : nullptr, modelChosen ? &model : nullptr,
                               [&](const catalogue::OriginalRow& original) {
                                 AddOriginalRow(folders, ui_->OriList, original);
                                 ++found;
                                 QCoreApplication::processEvents();
                                 return true;
                               });
  }
  if (found == 0) {
    auto* row = new QTreeWidgetItem(ui_->OriList);
    row->setText(1, Msg(1032));
    kit::SetRowImage(row, 0);
  }
  db.close();
}

void TForm2::OriListSelectItem(QTreeWidgetItem* row, bool selected) {
  ui_->BTN_Reg_mod->setEnabled(selected && row && !row->text(0).isEmpty());
}

void TForm2::BTN_Reg_modClick() {
  if (searching()) return;
  QTreeWidgetItem* row = SelectedRow(ui_->OriList);
  if (!row || row->text(0).isEmpty()) return;
  HideWorkPanels();
  ui_->PNL_MOD2->show();
  kit::ShowPath(ui_->TE_Mod_Name, ui_->TB_MOD_FILE->text());
  kit::ShowName(ui_->TE_OriName, row->text(0));
  RegistrationOriginalId = row->text(4).toStdString();
  RegistrationOriginalMd5 = row->data(0, kOriginalMd5Role).toByteArray().toStdString();
  // Memo_MOD keeps what it held: the last registration's text or what was
  // typed before a cancel. The proposals come below it.
  const QString name = QFileInfo(ui_->TB_MOD_FILE->text()).fileName();
  for (const QString& proposal : {LegacyIniDescription(name), LegacyFileDescription(name)})
    if (!proposal.isEmpty()) ui_->Memo_MOD->appendPlainText(proposal);
}

void TForm2::BTN_DBMODClick() {
  if (searching()) return;
  // Everything the registration writes is taken now, before any step that
  // hands the event queue a turn.
  const QString sourcePath = ui_->TE_Mod_Name->text();
  keystore::ModifiedRow mod;
  mod.md5 = ModifiedDigest;
  mod.originalMd5 = RegistrationOriginalMd5;
  bool idOk = false;
  mod.originalId = QString::fromStdString(RegistrationOriginalId).toInt(&idOk);
  if (!kit::StoredText(this, ToStoredLineBreaks(ui_->Memo_MOD->toPlainText()), 1066, &mod.note) ||
      !kit::StoredText(this, QFileInfo(sourcePath).fileName(), 1065, &mod.fileName))
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
  kit::BusyNotice notice(ui_->PNL_MOD_WARN);
  catalogue::Registration registration = catalogue::Registration::kNotStored;
  std::vector<unsigned char> content;
  if (ReadRegisteredBytes(sourcePath, mod.md5, &content)) {
    kit::CommandLock lock(&commands_, Commands());
    // The insert adds no row when the original went meanwhile: a failure.
    registration = catalogue::StoreAndInsert(db, folders.StoredModified(storedName), storedName,
                                             content, keystore::InsertModifiedStatement(mod), true);
  }
  db.close();
  notice.hide();
  if (registration == catalogue::Registration::kNotStored) {
    ui_->PNL_MOD2->hide();
    Prompts::current().message(this, Msg(1025));
    return;
  }
  if (registration == catalogue::Registration::kNotInserted) {
    Prompts::current().message(this, Msg(1036));
    return;
  }
  ui_->PNL_MOD2->hide();
  if (KeyWritesSaved(this, KeyRoot)) Prompts::current().message(this, Msg(1024));
  ResetModifiedPanel();
  HideWorkPanels();
  ui_->PNL_MOD->show();
}

void TForm2::BTN_ANNULLAClick() {
  if (searching()) return;
  ResetModifiedPanel();
  HideWorkPanels();
}

void TForm2::Button4Click() {
  if (searching()) return;
  HideWorkPanels();
}

void TForm2::ResetModifiedPanel() {
  kit::ShowPath(ui_->TB_MOD_FILE, QString());
  ui_->ModelloORI->setCurrentIndex(0);
  ui_->MarcaORI->setCurrentIndex(0);
  ui_->BTN_Ori_search->setEnabled(false);
  ui_->BTN_Reg_mod->setEnabled(false);
  ui_->OriList->clear();
}
