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
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/kit/ArchiveFailure.h"
#include "app/kit/ComboIndex.h"
#include "app/kit/DbText.h"
#include "app/kit/FailureReport.h"
#include "app/kit/FileDialogs.h"
#include "app/kit/Fmmsg.h"
#include "app/kit/KeyWrites.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "archive/Brennowzip.h"
#include "app/kit/BusyNotice.h"
#include "app/kit/WidgetTexts.h"
#include "db/DbConnection.h"
#include "db/KeyCatalogue.h"
#include "db/KeyPaths.h"
#include "db/KeyStore.h"
#include "dbwindow/Dbform.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "ui_Dbform.h"
#include "app/kit/FieldTexts.h"

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

// The row selected in a single-selection list, or nullptr.
QTreeWidgetItem* SelectedListRow(QTreeWidget* list) {
  const QList<QTreeWidgetItem*> rows = list->selectedItems();
  return rows.isEmpty() ? nullptr : rows.first();
}

// A native path as the user reads it.
QString PathText(const std::string& nativePath) { return QString::fromStdString(nativePath); }

// The whole file at a native path; false with the system's reason.
bool ReadWholeFile(const std::string& nativePath, QByteArray* content, QString* reason) {
  std::FILE* file = nativePath.empty() ? nullptr : platform::files::Open(nativePath, "rb");
  if (!file) {
    *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  content->clear();
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    content->append(buffer, static_cast<qsizetype>(n));
  const bool failed = std::ferror(file) != 0;
  if (failed) *reason = QString::fromLocal8Bit(std::strerror(errno));
  std::fclose(file);
  return !failed;
}

}  // namespace

void TForm2::ConnectManagement() {
  connect(ui_->MarcaDB, &QComboBox::activated, this, kit::Reported(this, &TForm2::MarcaDBChange));
  connect(ui_->MarcaDB->lineEdit(), &QLineEdit::textEdited, this,
          kit::Reported(this, &TForm2::MarcaDBChange));
  connect(ui_->BTN_db_search, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_db_searchClick));
  connect(ui_->DBListORI, &QTreeWidget::itemSelectionChanged, this, kit::Reported(this, [this] {
    QTreeWidgetItem* row = SelectedListRow(ui_->DBListORI);
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
    QTreeWidgetItem* row = SelectedListRow(ui_->MOD_LIST);
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

  keypaths::KeyFolders folders(KeyRoot);
  DbConnection db;
  db.open(folders.DatabasePath());
  ui_->DBListORI->clear();
  ui_->BTN_Export->setEnabled(false);
  ui_->BTN_Show_Mod->setEnabled(false);
  ui_->Btn_Del_Ori->setEnabled(false);
  int added = 0;
  {
    kit::BusyNotice notice(ui_->PNL_Search_DB);
    ListUpdates updates(ui_->DBListORI);
    kit::CommandLock lock(&commands_, Commands());
    catalogue::SearchOriginals(db, brandChosen ? &brand : nullptr, modelChosen ? &model : nullptr,
                               [&](const catalogue::OriginalRow& original) {
                                 AddOriginalRow(folders, ui_->DBListORI, original);
                                 ++added;
                                 QCoreApplication::processEvents();
                                 return true;
                               });
    if (added == 0) {
      auto* row = new QTreeWidgetItem(ui_->DBListORI);
      row->setText(1, Msg(1032));
      kit::SetRowImage(row, 0);
    }
  }
  db.close();
}

int TForm2::CountModifiedFiles(const std::string& originalId) {
  DbConnection db;
  db.open(DatabasePath());
  const int found = catalogue::CountModifiedFiles(db, originalId);
  db.close();
  return found;
}

void TForm2::OriDBListSelectItem(QTreeWidgetItem* item, bool selected) {
  ui_->Btn_Del_Ori->setEnabled(false);
  ui_->BTN_Export->setEnabled(false);
  ui_->BTN_Show_Mod->setEnabled(false);
  if (!selected || !item || item->text(0).isEmpty()) return;
  std::string id;
  if (!ToCp1252(item->text(4), &id)) return;
  SelectedOriginalId = id;

  catalogue::StoredRow original;
  DbConnection db;
  db.open(DatabasePath());
  const bool found = catalogue::OriginalNote(db, SelectedOriginalId, &original);
  ui_->MemoDesc->setPlainText(kit::MemoText(original.note));
  ui_->Btn_Del_Ori->setEnabled(found);
  db.close();
  ui_->BTN_Show_Mod->setEnabled(CountModifiedFiles(SelectedOriginalId) > 0);
  ui_->BTN_Export->setEnabled(found &&
                              keypaths::KeyFolders(KeyRoot).Originals().HasFile(original.nomeFile));
}

void TForm2::ExportStoredFile(const std::string& storedPath, const std::string& nomeFile,
                              const std::string& path, bool modified) {
  auto fail = [this](const QString& reason) {
    Prompts::current().message(this, Msg(1073) + QLatin1Char(' ') + reason);
  };
  QByteArray content;
  QString reason = QString::fromLocal8Bit(std::strerror(ENOENT));
  if (!platform::FileExists(storedPath) || !ReadWholeFile(storedPath, &content, &reason))
    return fail(PathText(storedPath) + QStringLiteral(": ") + reason);
  if (keystore::IsStoredArchive(content.toStdString())) {
    // The whole entry is in hand before anything is asked or written; the
    // stored archive is only read.
    std::vector<unsigned char> entry;
    bool extracted = false;
    QString error;
    {
      kit::CommandLock lock(&commands_, Commands());
      CBrennowZip zip;
      ZipArchive = &zip;
      extracted = zip.openArchive(storedPath) &&
                  zip.extractToStream(FromCp1252(nomeFile).toStdWString(), &entry);
      if (!extracted) error = kit::ArchiveFailureText(zip);
      zip.closeArchive();
      ZipArchive = nullptr;
    }
    if (!extracted) return fail(error);
    content = QByteArray(reinterpret_cast<const char*>(entry.data()),
                         static_cast<qsizetype>(entry.size()));
  }

  const QString proposed = FromCp1252(keystore::DisplayName(path, nomeFile, modified));
  const QString target = kit::SaveFile(kit::FileDialog::kSD_DB, this, proposed, QString());
  if (target.isEmpty()) return;
  QSaveFile out(target);
  if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit())
    return fail(target + QStringLiteral(": ") + out.errorString());
}

void TForm2::BTN_ExportClick() {
  if (searching() || !ui_->BTN_Export->isEnabled()) return;
  catalogue::StoredRow original;
  DbConnection db;
  db.open(DatabasePath());
  catalogue::OriginalFile(db, SelectedOriginalId, &original);
  db.close();
  ExportStoredFile(keypaths::KeyFolders(KeyRoot).StoredOriginal(original.nomeFile),
                   original.nomeFile, original.path, false);
}

bool TForm2::Confirm(int question) {
  TMsgFm ask(this);
  ask.SetMessage(Msg(question));
  return Prompts::current().execDialog(&ask) == TMsgFm::kOk;
}

bool TForm2::RemoveStoredFile(const std::string& nomeFile, bool modified) {
  keypaths::KeyFolders folders(KeyRoot);
  // A name that is not a plain file name gives no path: nothing is removed.
  const std::string stored =
      modified ? folders.StoredModified(nomeFile) : folders.StoredOriginal(nomeFile);
  if (!platform::FileExists(stored) || platform::files::Remove(stored)) return true;
  Prompts::current().message(this, Msg(1072) + QLatin1Char(' ') + PathText(stored));
  return false;
}

void TForm2::Btn_Del_OriClick() {
  if (searching() || !ui_->Btn_Del_Ori->isEnabled()) return;
  // Counted now: a modified file registered since the selection counts too,
  // and one deleted since then no longer does.
  const bool hasModified = CountModifiedFiles(SelectedOriginalId) > 0;
  ui_->BTN_Show_Mod->setEnabled(hasModified);
  if (hasModified) {
    Prompts::current().message(this, Msg(1037));
    return;
  }
  if (!Confirm(1070)) return;
  if (CountModifiedFiles(SelectedOriginalId) > 0) {
    ui_->BTN_Show_Mod->setEnabled(true);
    Prompts::current().message(this, Msg(1037));
    return;
  }

  DbConnection db;
  db.open(DatabasePath());
  const std::string nomeFile = catalogue::DeleteOriginal(db, SelectedOriginalId);
  db.close();
  const bool removed = RemoveStoredFile(nomeFile, false);
  ResetOriginalsPanel();
  if (removed && KeyWritesSaved(this, KeyRoot)) Prompts::current().message(this, Msg(1039));
  FillRegisteredBrands();
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
  DbConnection db;
  db.open(DatabasePath());
  catalogue::OriginalHeader header;
  if (!catalogue::FindOriginalHeader(db, SelectedOriginalId, &header)) {
    db.close();
    Prompts::current().message(this, Msg(1038));
    return false;
  }
  kit::ShowName(ui_->TE_DB_MNG_MOD, FromCp1252(header.driver) + QStringLiteral(" - ") +
                              FromCp1252(header.driverDescription));
  kit::ShowName(ui_->TE_DB_MNG_ORI,
      FromCp1252(keystore::DisplayName(header.path, header.nomeFile, false)));
  kit::ShowName(ui_->TE_DB_MNG_LASTMOD, FromCp1252(header.lastModified));
  ui_->Memo_Desc_ori_Db->setPlainText(kit::MemoText(header.note));

  ui_->MOD_LIST->clear();
  ui_->BTN_DB_MOD_EXP->setEnabled(false);
  ui_->BTN_DEL_MOD->setEnabled(false);
  {
    ListUpdates updates(ui_->MOD_LIST);
    kit::CommandLock lock(&commands_, Commands());
    keypaths::KeyFolders folders(KeyRoot);
    catalogue::ModifiedFiles(db, SelectedOriginalId, [&](const catalogue::ModifiedFileRow& mod) {
      auto* row = new QTreeWidgetItem(ui_->MOD_LIST);
      row->setText(0, FromCp1252(keystore::DisplayName(mod.path, mod.nomeFile, true)));
      row->setText(1, kit::ListText(mod.note));
      row->setText(2, FromCp1252(mod.lastModified));
      row->setText(3, FromCp1252(mod.id));
      kit::SetRowImage(row, folders.Modified().HasFile(mod.nomeFile) ? 1 : 0);
      QCoreApplication::processEvents();
      return true;
    });
  }
  db.close();
  return true;
}

void TForm2::MOD_LISTSelectItem2(QTreeWidgetItem* item, bool selected) {
  ui_->BTN_DB_MOD_EXP->setEnabled(false);
  ui_->BTN_DEL_MOD->setEnabled(false);
  if (!selected || !item) return;
  std::string id;
  if (!ToCp1252(item->text(3), &id)) return;
  SelectedModifiedId = id;
  DbConnection db;
  db.open(DatabasePath());
  std::string nomeFile;
  const bool usable = catalogue::ModifiedStoredName(db, SelectedModifiedId, &nomeFile) &&
                      keypaths::KeyFolders(KeyRoot).Modified().HasFile(nomeFile);
  db.close();
  ui_->BTN_DB_MOD_EXP->setEnabled(usable);
  ui_->BTN_DEL_MOD->setEnabled(usable);
}

void TForm2::BTN_DB_MOD_EXPClick() {
  if (searching() || !ui_->BTN_DB_MOD_EXP->isEnabled()) return;
  catalogue::StoredRow mod;
  DbConnection db;
  db.open(DatabasePath());
  const bool found = catalogue::ModifiedFile(db, SelectedModifiedId, &mod);
  db.close();
  const std::string stored = keypaths::KeyFolders(KeyRoot).StoredModified(mod.nomeFile);
  if (found && platform::FileExists(stored)) ExportStoredFile(stored, mod.nomeFile, mod.path, true);
}

void TForm2::BTN_DEL_MODClick() {
  if (searching() || !ui_->BTN_DEL_MOD->isEnabled()) return;
  if (!Confirm(1071)) return;
  DbConnection db;
  db.open(DatabasePath());
  const std::string nomeFile = catalogue::DeleteModified(db, SelectedModifiedId);
  db.close();
  if (RemoveStoredFile(nomeFile, true) && KeyWritesSaved(this, KeyRoot))
    Prompts::current().message(this, Msg(1039));
  ShowModifiedFiles();
}

void TForm2::Button6Click() {
  if (searching()) return;
  HideWorkPanels();
  ui_->PNL_MNG_DB->show();
  ResetIdentificationPanel();
}
