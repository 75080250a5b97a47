// Registering a modified file: choosing the file and the original it was
// made from, the description under the warning, storing the file with its
// MOD row.
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/kit/BusyNotice.h"
#include "app/kit/ComboIndex.h"
#include "app/kit/DbText.h"
#include "app/kit/FieldTexts.h"
#include "app/kit/FileDialogs.h"
#include "app/kit/KeyWrites.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "app/kit/WidgetTexts.h"
#include "db/key/FileCatalogue.h"
#include "db/key/KeyChanges.h"
#include "dbwindow/Dbform.h"
#include "dbwindow/Hash_algorithms.h"
#include "ui_Dbform.h"

void TForm2::AddOriginalRow(QTreeWidget* list, const keydb::OriginalRow& original) {
  auto* item = new QTreeWidgetItem(list);
  item->setText(0, FromCp1252(original.name));
  item->setText(1, FromCp1252(original.description));
  item->setText(2, FromCp1252(original.driver));
  item->setText(3, FromCp1252(original.lastModified));
  item->setText(4, FromCp1252(original.id));
  // A registration against the row checks this MD5 text again.
  item->setData(0, kOriginalMd5Role, QByteArray::fromStdString(original.md5));
  kit::SetRowImage(item, original.available ? 1 : 0);
}

void TForm2::Button2Click() {
  if (searching()) return;
  const QString path = kit::OpenFile(kit::FileDialog::kDB_OD, this, QString());
  if (path.isEmpty()) return;
  kit::ShowPath(ui_->TB_MOD_FILE, path);
  const std::vector<unsigned char> content = LoadWholeFile(path);
  ModifiedDigest = TUEDC16::HashBuffer(content.data(), content.size());
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

  // The list is repainted while it fills.
  kit::BusyNotice notice(ui_->PNL_search_ori);
  ui_->OriList->clear();
  ui_->BTN_Reg_mod->setEnabled(false);
  FillOriginals(ui_->OriList, brandChosen ? &brand : nullptr, modelChosen ? &model : nullptr);
}

void TForm2::OriListSelectItem(QTreeWidgetItem* row, bool selected) {
  ui_->BTN_Reg_mod->setEnabled(selected && row && !row->text(0).isEmpty());
}

void TForm2::BTN_Reg_modClick() {
  if (searching()) return;
  QTreeWidgetItem* row = kit::SelectedRow(ui_->OriList);
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
  // Everything the registration writes is taken now, before the archive
  // step hands the event queue a turn.
  const QString sourcePath = ui_->TE_Mod_Name->text();
  keydb::NewModified mod;
  mod.file = Chosen(sourcePath, ModifiedDigest);
  mod.originalId = RegistrationOriginalId;
  mod.originalMd5 = RegistrationOriginalMd5;
  if (!kit::StoredText(this, ToStoredLineBreaks(ui_->Memo_MOD->toPlainText()), 1066, &mod.note) ||
      !kit::StoredText(this, QFileInfo(sourcePath).fileName(), 1065, &mod.fileName))
    return;
  const keydb::Registration outcome = RunRegistration(
      ui_->PNL_MOD_WARN,
      [&mod](keydb::KeyDatabase& db) { return keydb::RegisterModified(db, mod, ArchiveProgress); });
  if (outcome != keydb::Registration::kRegistered) return ModifiedRefused(outcome);
  ui_->PNL_MOD2->hide();
  if (KeyWritesSaved(this, KeyRoot)) Prompts::current().message(this, Msg(1024));
  ResetModifiedPanel();
  HideWorkPanels();
  ui_->PNL_MOD->show();
}

void TForm2::ModifiedRefused(keydb::Registration outcome) {
  switch (outcome) {
    case keydb::Registration::kOriginalGone:
      // Chosen again from a fresh list.
      Prompts::current().message(this, Msg(1078));
      HideWorkPanels();
      ui_->PNL_MOD->show();
      return BTN_Ori_searchClick();
    case keydb::Registration::kNoId: return Prompts::current().message(this, Msg(1079));
    case keydb::Registration::kNotInserted: return Prompts::current().message(this, Msg(1036));
    case keydb::Registration::kAlreadyRegistered:  // originals only
    case keydb::Registration::kNotStored:
      ui_->PNL_MOD2->hide();
      return Prompts::current().message(this, Msg(1025));
    case keydb::Registration::kRegistered: return;
  }
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
