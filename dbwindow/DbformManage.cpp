// Browsing, exporting and deleting the stored originals and modified files.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextEdit>
#include <QTreeWidget>
#include <vector>

#include "app/kit/ArchiveFailure.h"
#include "app/kit/BusyNotice.h"
#include "app/kit/ComboIndex.h"
#include "app/kit/DbText.h"
#include "app/kit/FailureReport.h"
#include "app/kit/FieldTexts.h"
#include "app/kit/FileDialogs.h"
#include "app/kit/Fmmsg.h"
#include "app/kit/KeyWrites.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "app/kit/WidgetTexts.h"
#include "db/key/FileCatalogue.h"
#include "db/key/KeyChanges.h"
#include "db/key/KeyDatabase.h"
#include "db/key/StoredFiles.h"
#include "dbwindow/Dbform.h"
#include "ui_Dbform.h"

namespace {

// A list whose rows are being added repaints once, at the end, also when
// the fill ends by an error.
class ListUpdates {
 public:
  explicit ListUpdates(QTreeWidget* list) : list_(list) { list_->setUpdatesEnabled(false); }
  ~ListUpdates() { list_->setUpdatesEnabled(true); }
  ListUpdates(const ListUpdates&) = delete;
  ListUpdates& operator=(const ListUpdates&) = delete;

 private:
  QTreeWidget* list_;
};

// A native path as the user reads it.
QString PathText(const std::string& nativePath) { return QString::fromStdString(nativePath); }

// Why a stored file could not be read, as the user reads it.
QString ReadFailureText(const std::string& path, const keydb::ReadFailure& failure) {
  if (failure.inArchive)
    return kit::ArchiveFailureText(QString::fromStdString(failure.archiveError),
                                   failure.reason.kind, kit::ReasonArgs(failure.reason));
  return PathText(path) + QStringLiteral(": ") +
         QString::fromLocal8Bit(failure.systemReason.c_str());
}

}  // namespace

void TForm2::ConnectManagement() {
  connect(ui_->MarcaDB, &QComboBox::activated, this, kit::Reported(this, &TForm2::MarcaDBChange));
  connect(ui_->MarcaDB->lineEdit(), &QLineEdit::textEdited, this,
          kit::Reported(this, &TForm2::MarcaDBChange));
  connect(ui_->BTN_db_search, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_db_searchClick));
  connect(ui_->DBListORI, &QTreeWidget::itemSelectionChanged, this, kit::Reported(this, [this] {
            QTreeWidgetItem* row = kit::SelectedRow(ui_->DBListORI);
            OriDBListSelectItem(row, row != nullptr);
          }));
  connect(ui_->BTN_Export, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_ExportClick));
  connect(ui_->Btn_Del_Ori, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::Btn_Del_OriClick));
  connect(ui_->BTN_Close, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_CloseClick));
  connect(ui_->BTN_Show_Mod, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_Show_ModClick));
  connect(ui_->MOD_LIST, &QTreeWidget::itemSelectionChanged, this, kit::Reported(this, [this] {
            QTreeWidgetItem* row = kit::SelectedRow(ui_->MOD_LIST);
            MOD_LISTSelectItem2(row, row != nullptr);
          }));
  connect(ui_->BTN_DB_MOD_EXP, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_DB_MOD_EXPClick));
  connect(ui_->BTN_DEL_MOD, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_DEL_MODClick));
  connect(ui_->Button6, &QPushButton::clicked, this, kit::Reported(this, &TForm2::Button6Click));
}

void TForm2::MarcaDBChange() {
  if (searching()) return;
  FillRegisteredModels(ui_->MarcaDB, ui_->ModelloDB, ui_->BTN_db_search);
}

void TForm2::BTN_db_searchClick() {
  if (searching()) return;
  std::string brand, model;
  const bool brandChosen = ItemIndex(ui_->MarcaDB) != 0;
  const bool modelChosen = ItemIndex(ui_->ModelloDB) != 0;
  if (brandChosen && !ComboBytes(ui_->MarcaDB, &brand)) return;
  if (modelChosen && !ComboBytes(ui_->ModelloDB, &model)) return;

  ui_->DBListORI->clear();
  ui_->BTN_Export->setEnabled(false);
  ui_->BTN_Show_Mod->setEnabled(false);
  ui_->Btn_Del_Ori->setEnabled(false);
  kit::BusyNotice notice(ui_->PNL_Search_DB);
  ListUpdates updates(ui_->DBListORI);
  FillOriginals(ui_->DBListORI, brandChosen ? &brand : nullptr, modelChosen ? &model : nullptr);
}

int TForm2::CountModifiedFiles(const std::string& originalId) {
  keydb::KeyDatabase db(KeyRoot);
  return keydb::CountModifiedFiles(db, originalId);
}

void TForm2::OriDBListSelectItem(QTreeWidgetItem* item, bool selected) {
  ui_->Btn_Del_Ori->setEnabled(false);
  ui_->BTN_Export->setEnabled(false);
  ui_->BTN_Show_Mod->setEnabled(false);
  if (!selected || !item || item->text(0).isEmpty()) return;
  std::string id;
  if (!ToCp1252(item->text(4), &id)) return;
  SelectedOriginalId = id;

  keydb::KeyDatabase db(KeyRoot);
  keydb::StoredFile original;
  const bool found = keydb::FindOriginal(db, SelectedOriginalId, &original);
  ui_->MemoDesc->setPlainText(kit::MemoText(original.note));
  ui_->Btn_Del_Ori->setEnabled(found);
  ui_->BTN_Show_Mod->setEnabled(keydb::CountModifiedFiles(db, SelectedOriginalId) > 0);
  ui_->BTN_Export->setEnabled(found && original.present);
}

void TForm2::ExportStoredFile(const keydb::StoredFile& stored) {
  // The whole content is in hand before anything is asked or written; a
  // stored archive is only read.
  std::vector<unsigned char> content;
  keydb::ReadFailure failure;
  bool read = false;
  {
    kit::CommandLock lock(&commands_, Commands());
    read = keydb::ReadStoredFile(stored.file, stored.nomeFile, &content, &failure, ArchiveProgress);
  }
  // F7: every failure shows 1073 with its reason.
  auto fail = [this](const QString& reason) {
    Prompts::current().message(this, Msg(1073) + QLatin1Char(' ') + reason);
  };
  if (!read) return fail(ReadFailureText(stored.file, failure));

  const QString target =
      kit::SaveFile(kit::FileDialog::kSD_DB, this, FromCp1252(stored.name), QString());
  if (target.isEmpty()) return;
  QSaveFile out(target);
  const QByteArray bytes(reinterpret_cast<const char*>(content.data()),
                         static_cast<qsizetype>(content.size()));
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
    return fail(target + QStringLiteral(": ") + out.errorString());
}

void TForm2::BTN_ExportClick() {
  if (searching() || !ui_->BTN_Export->isEnabled()) return;
  keydb::StoredFile original;
  {
    keydb::KeyDatabase db(KeyRoot);
    keydb::FindOriginal(db, SelectedOriginalId, &original);
  }
  ExportStoredFile(original);
}

bool TForm2::Confirm(int question) {
  TMsgFm ask(this);
  ask.SetMessage(Msg(question));
  return Prompts::current().execDialog(&ask) == TMsgFm::kOk;
}

void TForm2::Btn_Del_OriClick() {
  if (searching() || !ui_->Btn_Del_Ori->isEnabled()) return;
  // Counted now: a modified file registered since the selection counts too,
  // and one deleted since then no longer does.
  const bool hasModified = CountModifiedFiles(SelectedOriginalId) > 0;
  ui_->BTN_Show_Mod->setEnabled(hasModified);
  if (hasModified) return Prompts::current().message(this, Msg(1037));
  if (!Confirm(1070)) return;
  std::string keptFile;
  keydb::Deletion deletion;
  {
    keydb::KeyDatabase db(KeyRoot);
    deletion = keydb::DeleteOriginal(db, SelectedOriginalId, &keptFile);
  }
  if (deletion == keydb::Deletion::kInUse) {
    ui_->BTN_Show_Mod->setEnabled(true);
    return Prompts::current().message(this, Msg(1037));
  }
  ResetOriginalsPanel();
  ReportDeletion(deletion, keptFile);
  FillRegisteredBrands();
}

void TForm2::ReportDeletion(keydb::Deletion deletion, const std::string& keptFile) {
  if (deletion == keydb::Deletion::kFileKept)
    Prompts::current().message(this, Msg(1072) + QLatin1Char(' ') + PathText(keptFile));
  else if (KeyWritesSaved(this, KeyRoot))
    Prompts::current().message(this, Msg(1039));
}

void TForm2::ResetOriginalsPanel() {
  ui_->ModelloDB->setCurrentIndex(0);
  ui_->MarcaDB->setCurrentIndex(0);
  ui_->BTN_db_search->setEnabled(false);
  ui_->DBListORI->clear();
  ui_->Btn_Del_Ori->setEnabled(false);
  ui_->BTN_Export->setEnabled(false);
  ui_->BTN_Show_Mod->setEnabled(false);
  ui_->MemoDesc->clear();
  kit::ShowPath(ui_->TB_ORI_FILE, QString());
}

void TForm2::BTN_CloseClick() {
  if (searching()) return;
  ui_->PNL_MNG_DB->hide();
  ui_->MarcaDB->setCurrentIndex(0);
  ui_->ModelloDB->setCurrentIndex(0);
  ui_->DBListORI->clear();
  ui_->MemoDesc->clear();
  ui_->BTN_Export->setEnabled(false);
  ui_->BTN_Show_Mod->setEnabled(false);
  ui_->Btn_Del_Ori->setEnabled(false);
}

void TForm2::BTN_Show_ModClick() {
  if (searching() || !ui_->BTN_Show_Mod->isEnabled()) return;
  HideWorkPanels();
  ui_->PNL_MNG_DB_MOD->show();
  ShowModifiedFiles();
}

bool TForm2::ShowModifiedFiles() {
  keydb::KeyDatabase db(KeyRoot);
  keydb::OriginalHeader header;
  if (!keydb::FindOriginalHeader(db, SelectedOriginalId, &header)) {
    Prompts::current().message(this, Msg(1038));
    return false;
  }
  kit::ShowName(ui_->TE_DB_MNG_MOD, FromCp1252(header.driver) + QStringLiteral(" - ") +
                                        FromCp1252(header.driverDescription));
  kit::ShowName(ui_->TE_DB_MNG_ORI, FromCp1252(header.name));
  kit::ShowName(ui_->TE_DB_MNG_LASTMOD, FromCp1252(header.lastModified));
  ui_->Memo_Desc_ori_Db->setPlainText(kit::MemoText(header.note));

  ui_->MOD_LIST->clear();
  ui_->BTN_DB_MOD_EXP->setEnabled(false);
  ui_->BTN_DEL_MOD->setEnabled(false);
  ListUpdates updates(ui_->MOD_LIST);
  kit::CommandLock lock(&commands_, Commands());
  keydb::ModifiedFiles(db, SelectedOriginalId, [&](const keydb::ModifiedRow& mod) {
    auto* row = new QTreeWidgetItem(ui_->MOD_LIST);
    row->setText(0, FromCp1252(mod.name));
    row->setText(1, kit::ListText(mod.note));
    row->setText(2, FromCp1252(mod.lastModified));
    row->setText(3, FromCp1252(mod.id));
    kit::SetRowImage(row, mod.present ? 1 : 0);
    QCoreApplication::processEvents();
    return true;
  });
  return true;
}

void TForm2::MOD_LISTSelectItem2(QTreeWidgetItem* item, bool selected) {
  ui_->BTN_DB_MOD_EXP->setEnabled(false);
  ui_->BTN_DEL_MOD->setEnabled(false);
  if (!selected || !item) return;
  std::string id;
  if (!ToCp1252(item->text(3), &id)) return;
  SelectedModifiedId = id;
  keydb::KeyDatabase db(KeyRoot);
  keydb::StoredFile mod;
  const bool usable = keydb::FindModified(db, SelectedModifiedId, &mod) && mod.present;
  ui_->BTN_DB_MOD_EXP->setEnabled(usable);
  ui_->BTN_DEL_MOD->setEnabled(usable);
}

void TForm2::BTN_DB_MOD_EXPClick() {
  if (searching() || !ui_->BTN_DB_MOD_EXP->isEnabled()) return;
  keydb::StoredFile mod;
  bool found = false;
  {
    keydb::KeyDatabase db(KeyRoot);
    found = keydb::FindModified(db, SelectedModifiedId, &mod);
  }
  if (found && mod.present) ExportStoredFile(mod);
}

void TForm2::BTN_DEL_MODClick() {
  if (searching() || !ui_->BTN_DEL_MOD->isEnabled()) return;
  if (!Confirm(1071)) return;
  std::string keptFile;
  keydb::Deletion deletion;
  {
    keydb::KeyDatabase db(KeyRoot);
    deletion = keydb::DeleteModified(db, SelectedModifiedId, &keptFile);
  }
  ReportDeletion(deletion, keptFile);
  ShowModifiedFiles();
}

void TForm2::Button6Click() {
  if (searching()) return;
  HideWorkPanels();
  ui_->PNL_MNG_DB->show();
  ResetIdentificationPanel();
}
