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

#include "app/ComboIndex.h"
#include "app/DbText.h"
#include "app/Fmmsg.h"
#include "app/KeyWrites.h"
#include "app/Prompts.h"
#include "app/Texts.h"
#include "archive/Brennowzip.h"
#include "db/DbConnection.h"
#include "db/KeyPaths.h"
#include "db/KeyStore.h"
#include "db/SqlText.h"
#include "dbwindow/Dbform.h"
#include "dbwindow/DbformCommandLock.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "ui_Dbform.h"

namespace {

// A list whose rows are being added repaints once, at the end, and a busy
// notice that goes when the fill ends, also by an error.
class ListBracket {
 public:
  ListBracket(QTreeWidget* list, QWidget* notice) : list_(list), notice_(notice) {
    if (notice_) {
      notice_->show();
      notice_->raise();
    }
    list_->setUpdatesEnabled(false);
  }
  ~ListBracket() {
    list_->setUpdatesEnabled(true);
    if (notice_) notice_->hide();
  }
  ListBracket(const ListBracket&) = delete;
  ListBracket& operator=(const ListBracket&) = delete;

 private:
  QTreeWidget* list_;
  QWidget* notice_;
};

// Stored notes keep CR LF between lines; the widgets want LF.
QString NoteText(const std::string& note) {
  QString text = FromCp1252(note);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

// A note in one list cell: its lines side by side.
QString NoteCell(const std::string& note) {
  QString text = NoteText(note);
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

void SetImage(TForm2* form, QTreeWidgetItem* row, int image) {
  row->setIcon(0, form->ListImage(image));
  row->setData(0, TForm2::kImageRole, image);
}

// The row selected in a single-selection list, or nullptr.
QTreeWidgetItem* SelectedRow(QTreeWidget* list) {
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
  connect(ui_->MarcaDB, &QComboBox::activated, this, &TForm2::MarcaDBChange);
  connect(ui_->MarcaDB->lineEdit(), &QLineEdit::textEdited, this, &TForm2::MarcaDBChange);
  connect(ui_->BTN_db_search, &QPushButton::clicked, this, &TForm2::BTN_db_searchClick);
  connect(ui_->DBListORI, &QTreeWidget::itemSelectionChanged, this, [this] {
    QTreeWidgetItem* row = SelectedRow(ui_->DBListORI);
    OriDBListSelectItem(row, row != nullptr);
  });
  connect(ui_->BTN_Export, &QPushButton::clicked, this, &TForm2::BTN_ExportClick);
  connect(ui_->Btn_Del_Ori, &QPushButton::clicked, this, &TForm2::Btn_Del_OriClick);
  connect(ui_->BTN_Close, &QPushButton::clicked, this, &TForm2::BTN_CloseClick);
  connect(ui_->BTN_Show_Mod, &QPushButton::clicked, this, &TForm2::BTN_Show_ModClick);
  connect(ui_->MOD_LIST, &QTreeWidget::itemSelectionChanged, this, [this] {
    QTreeWidgetItem* row = SelectedRow(ui_->MOD_LIST);
    MOD_LISTSelectItem2(row, row != nullptr);
  });
  connect(ui_->BTN_DB_MOD_EXP, &QPushButton::clicked, this, &TForm2::BTN_DB_MOD_EXPClick);
  connect(ui_->BTN_DEL_MOD, &QPushButton::clicked, this, &TForm2::BTN_DEL_MODClick);
  connect(ui_->Button6, &QPushButton::clicked, this, &TForm2::Button6Click);
}

void TForm2::MarcaDBChange() {
  if (searching_) return;
  std::string brand;
  const int index = ItemIndex(ui_->MarcaDB);
  if (index > 0 && !ComboBytes(ui_->MarcaDB, &brand)) return;
  DbConnection db;
  db.open(DatabasePath());
  ui_->ModelloDB->clear();
  ui_->ModelloDB->addItem(Msg(1011));
  if (index > 0) {
    DbQuery rows = db.runQuery(
        "select MODELLO from drivers d, ori o where d.nomefile =o.id_driver and marca= '" +
        SqlValue(brand) + "' group by MODELLO order by MODELLO;");
    while (!rows.atEnd()) {
      ui_->ModelloDB->addItem(FromCp1252(rows.columnString("MODELLO", "")));
      rows.advance();
    }
    rows.release();
  }
  ui_->ModelloDB->setCurrentIndex(0);
  ui_->ModelloDB->setEnabled(index != 0);
  ui_->BTN_db_search->setEnabled(index != 0);
  db.close();
}

void TForm2::BTN_db_searchClick() {
  if (searching_) return;
  std::string brand, model;
  const bool brandChosen = ItemIndex(ui_->MarcaDB) != 0;
  const bool modelChosen = ItemIndex(ui_->ModelloDB) != 0;
  if (brandChosen && !ComboBytes(ui_->MarcaDB, &brand)) return;
  if (modelChosen && !ComboBytes(ui_->ModelloDB, &model)) return;

  std::string sql =
      "select ORI.ID_ORI as ID_ORI, ORI.NOMEFILE as ORI_NOMEFILE, ORI.ID_DRIVER, "
      "ORI.LAST_MOD_DATE, ORI.MD5, "
      "DRIVERS.MARCA, DRIVERS.MODELLO, DRIVERS.NOMEFILE AS DRIVERS_NOMEFILE , "
      "DRIVERS.DESCRIZIONE, DRIVERS.DOWNLOADED, DRIVERS.FLAG_USER, ORI.PATH as PATH "
      "from ORI, DRIVERS where ORI.ID_DRIVER = DRIVERS.NOMEFILE";
  if (brandChosen) sql += " and DRIVERS.MARCA = '" + SqlValue(brand) + "'";
  if (modelChosen) sql += " and DRIVERS.MODELLO = '" + SqlValue(model) + "'";
  sql += ";";

  keypaths::KeyFolders folders(KeyRoot);
  DbConnection db;
  db.open(folders.DatabasePath());
  ui_->DBListORI->clear();
  ui_->BTN_Export->setEnabled(false);
  ui_->BTN_Show_Mod->setEnabled(false);
  ui_->Btn_Del_Ori->setEnabled(false);
  int added = 0;
  {
    ListBracket bracket(ui_->DBListORI, ui_->PNL_Search_DB);
    CommandLock lock(this);
    DbQuery rows = db.runQuery(sql);
    while (!rows.atEnd()) {
      const std::string nomeFile = rows.columnString("ORI_NOMEFILE", "");
      const std::string driver = rows.columnString("DRIVERS_NOMEFILE", "");
      const bool available = rows.columnFlag("DOWNLOADED") &&
                             folders.HasDriverFile(driver, rows.columnFlag("FLAG_USER")) &&
                             folders.Originals().HasFile(nomeFile);
      auto* row = new QTreeWidgetItem(ui_->DBListORI);
      row->setText(0, FromCp1252(keystore::DisplayName(rows.columnString("PATH", ""), nomeFile,
                                                       false)));
      row->setText(1, FromCp1252(rows.columnString("DESCRIZIONE", "")));
      row->setText(2, FromCp1252(driver));
      row->setText(3, FromCp1252(rows.columnString("LAST_MOD_DATE", "")));
      row->setText(4, FromCp1252(rows.columnString("ID_ORI", "")));
      SetImage(this, row, available ? 1 : 0);
      ++added;
      rows.advance();
      QCoreApplication::processEvents();
    }
    rows.release();
    if (added == 0) {
      auto* row = new QTreeWidgetItem(ui_->DBListORI);
      row->setText(1, Msg(1032));
      SetImage(this, row, 0);
    }
  }
  db.close();
}

int TForm2::CountModifiedFiles(const std::string& originalId) {
  DbConnection db;
  db.open(DatabasePath());
  DbQuery count = db.runQuery("SELECT COUNT(*) AS NUM_MOD FROM MOD WHERE ID_ORI ='" +
                              SqlValue(originalId) + "';");
  const int found = count.atEnd() ? 0 : count.columnInt("NUM_MOD", 0);
  count.release();
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

  std::string nomeFile, note;
  {
    DbConnection db;
    db.open(DatabasePath());
    DbQuery row = db.runQuery("SELECT NOMEFILE, NOTE, PATH FROM ORI WHERE ID_ORI ='" +
                              SqlValue(SelectedOriginalId) + "';");
    const bool found = !row.atEnd();
    if (found) {
      note = row.columnString("NOTE", "");
      nomeFile = row.columnString("NOMEFILE", "");
    }
    row.release();
    ui_->MemoDesc->setPlainText(NoteText(note));
    ui_->Btn_Del_Ori->setEnabled(found);
    db.close();
    ui_->BTN_Show_Mod->setEnabled(CountModifiedFiles(SelectedOriginalId) > 0);
    ui_->BTN_Export->setEnabled(found && keypaths::KeyFolders(KeyRoot).Originals().HasFile(nomeFile));
  }
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
    std::string error;
    {
      CommandLock lock(this);
      CBrennowZip zip;
      ZipArchive = &zip;
      extracted = zip.openArchive(storedPath) &&
                  zip.extractToStream(FromCp1252(nomeFile).toStdWString(), &entry);
      if (!extracted) error = zip.lastError();
      zip.closeArchive();
      ZipArchive = nullptr;
    }
    if (!extracted) return fail(QString::fromLocal8Bit(error));
    content = QByteArray(reinterpret_cast<const char*>(entry.data()),
                         static_cast<qsizetype>(entry.size()));
  }

  const QString proposed = FromCp1252(keystore::DisplayName(path, nomeFile, modified));
  const QString target = Prompts::current().saveFile(this, proposed, QString());
  if (target.isEmpty()) return;
  QSaveFile out(target);
  if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit())
    return fail(target + QStringLiteral(": ") + out.errorString());
}

void TForm2::BTN_ExportClick() {
  if (searching_ || !ui_->BTN_Export->isEnabled()) return;
  std::string nomeFile, path;
  DbConnection db;
  db.open(DatabasePath());
  DbQuery row = db.runQuery("SELECT NOMEFILE, PATH FROM ORI WHERE ID_ORI ='" +
                            SqlValue(SelectedOriginalId) + "';");
  if (!row.atEnd()) {
    nomeFile = row.columnString("NOMEFILE", "");
    path = row.columnString("PATH", "");
  }
  row.release();
  db.close();
  ExportStoredFile(keypaths::KeyFolders(KeyRoot).StoredOriginal(nomeFile), nomeFile, path, false);
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
  if (searching_ || !ui_->Btn_Del_Ori->isEnabled()) return;
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

  std::string nomeFile;
  DbConnection db;
  db.open(DatabasePath());
  DbQuery row =
      db.runQuery("SELECT NOMEFILE FROM ORI WHERE ID_ORI='" + SqlValue(SelectedOriginalId) + "';");
  if (!row.atEnd()) nomeFile = row.columnString("NOMEFILE", "");
  row.release();
  db.runStatement("DELETE FROM ORI WHERE ID_ORI = '" + SqlValue(SelectedOriginalId) + "';");
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
  ui_->TB_ORI_FILE->clear();
}

void TForm2::BTN_CloseClick() {
  if (searching_) return;
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
  if (searching_ || !ui_->BTN_Show_Mod->isEnabled()) return;
  HideWorkPanels();
  ui_->PNL_MNG_DB_MOD->show();
  ShowModifiedFiles();
}

bool TForm2::ShowModifiedFiles() {
  DbConnection db;
  db.open(DatabasePath());
  DbQuery header = db.runQuery(
      std::string("SELECT  ORI.NOMEFILE as ORIFILENAME, ORI.NOTE as ORIDESC,  ORI.PATH as PATH, "
                  "DRV.NOMEFILE as DRVFILENAME,") +
      "DRV.DESCRIZIONE As DRVDESC, ORI.LAST_MOD_DATE as LAST_MOD_ORI " + "FROM ORI, DRIVERS DRV " +
      "WHERE DRV.NOMEFILE=ORI.ID_DRIVER " + "AND ORI.ID_ORI = '" + SqlValue(SelectedOriginalId) +
      "';");
  if (header.atEnd()) {
    header.release();
    db.close();
    Prompts::current().message(this, Msg(1038));
    return false;
  }
  ui_->TE_DB_MNG_MOD->setText(FromCp1252(header.columnString("DRVFILENAME", "")) +
                              QStringLiteral(" - ") +
                              FromCp1252(header.columnString("DRVDESC", "")));
  ui_->TE_DB_MNG_ORI->setText(FromCp1252(keystore::DisplayName(
      header.columnString("PATH", ""), header.columnString("ORIFILENAME", ""), false)));
  ui_->TE_DB_MNG_LASTMOD->setText(FromCp1252(header.columnString("LAST_MOD_ORI", "")));
  ui_->Memo_Desc_ori_Db->setPlainText(NoteText(header.columnString("ORIDESC", "")));
  header.release();

  ui_->MOD_LIST->clear();
  ui_->BTN_DB_MOD_EXP->setEnabled(false);
  ui_->BTN_DEL_MOD->setEnabled(false);
  {
    ListBracket bracket(ui_->MOD_LIST, nullptr);
    CommandLock lock(this);
    keypaths::KeyFolders folders(KeyRoot);
    DbQuery rows = db.runQuery(
        "SELECT ID_MOD, NOMEFILE, NOTE, PATH, LAST_MOD_DATE FROM MOD WHERE ID_ORI ='" +
        SqlValue(SelectedOriginalId) + "';");
    while (!rows.atEnd()) {
      const std::string nomeFile = rows.columnString("NOMEFILE", "");
      auto* row = new QTreeWidgetItem(ui_->MOD_LIST);
      row->setText(0, FromCp1252(keystore::DisplayName(rows.columnString("PATH", ""), nomeFile,
                                                       true)));
      row->setText(1, NoteCell(rows.columnString("NOTE", "")));
      row->setText(2, FromCp1252(rows.columnString("LAST_MOD_DATE", "")));
      row->setText(3, FromCp1252(rows.columnString("ID_MOD", "")));
      SetImage(this, row, folders.Modified().HasFile(nomeFile) ? 1 : 0);
      rows.advance();
      QCoreApplication::processEvents();
    }
    rows.release();
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
  DbQuery row = db.runQuery("SELECT NOMEFILE FROM MOD where id_mod = '" +
                            SqlValue(SelectedModifiedId) + "'");
  const bool usable = !row.atEnd() && keypaths::KeyFolders(KeyRoot).Modified().HasFile(
                                          row.columnString("NOMEFILE", ""));
  row.release();
  db.close();
  ui_->BTN_DB_MOD_EXP->setEnabled(usable);
  ui_->BTN_DEL_MOD->setEnabled(usable);
}

void TForm2::BTN_DB_MOD_EXPClick() {
  if (searching_ || !ui_->BTN_DB_MOD_EXP->isEnabled()) return;
  std::string nomeFile, path;
  bool found = false;
  {
    DbConnection db;
    db.open(DatabasePath());
    DbQuery row = db.runQuery("SELECT NOMEFILE, PATH FROM MOD WHERE ID_MOD ='" +
                              SqlValue(SelectedModifiedId) + "';");
    found = !row.atEnd();
    if (found) {
      nomeFile = row.columnString("NOMEFILE", "");
      path = row.columnString("PATH", "");
    }
    row.release();
    db.close();
  }
  const std::string stored = keypaths::KeyFolders(KeyRoot).StoredModified(nomeFile);
  if (found && platform::FileExists(stored)) ExportStoredFile(stored, nomeFile, path, true);
}

void TForm2::BTN_DEL_MODClick() {
  if (searching_ || !ui_->BTN_DEL_MOD->isEnabled()) return;
  if (!Confirm(1071)) return;
  std::string nomeFile;
  DbConnection db;
  db.open(DatabasePath());
  DbQuery row = db.runQuery("SELECT NOMEFILE FROM MOD where ID_MOD ='" +
                            SqlValue(SelectedModifiedId) + "';");
  if (!row.atEnd()) nomeFile = row.columnString("NOMEFILE", "");
  row.release();
  db.runStatement("DELETE FROM MOD WHERE ID_MOD ='" + SqlValue(SelectedModifiedId) + "';");
  db.close();
  if (RemoveStoredFile(nomeFile, true) && KeyWritesSaved(this, KeyRoot))
    Prompts::current().message(this, Msg(1039));
  ShowModifiedFiles();
}

void TForm2::Button6Click() {
  if (searching_) return;
  HideWorkPanels();
  ui_->PNL_MNG_DB->show();
  ResetIdentificationPanel();
}
