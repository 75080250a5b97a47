// Registering an original: the confirmation panel, the driver reservation
// and storing the file with its ORI row.
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <vector>

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

bool ReadRegisteredBytes(const QString& path, const std::string& digest,
                         std::vector<unsigned char>* content) {
  QFile file(path);
  if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return false;
  if (TUEDC16::HashBuffer(bytes.constData(), static_cast<std::size_t>(bytes.size())) != digest)
    return false;
  content->assign(bytes.begin(), bytes.end());
  return true;
}

bool StoredText(QWidget* window, const QString& text, int refusal, std::string* bytes) {
  if (ToCp1252(text, bytes)) return true;
  Prompts::current().message(window, Msg(refusal));
  return false;
}

void TForm2::ConnectRegistration() {
  // The buttons follow the selection; an emptied or refilled list leaves no
  // row selected and its button disabled.
  auto followSelection = [this](QTreeWidget* list, void (TForm2::*handler)(QTreeWidgetItem*, bool)) {
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this, list, handler] {
      QTreeWidgetItem* row = SelectedRow(list);
      (this->*handler)(row, row != nullptr);
    });
    connect(list->model(), &QAbstractItemModel::modelReset, this,
            [this, handler] { (this->*handler)(nullptr, false); });
  };
  followSelection(ui_->DrvList, &TForm2::DrvListSelectItem);
  followSelection(ui_->OriList, &TForm2::OriListSelectItem);
  connect(ui_->BTN_Reg_ori, &QPushButton::clicked, this, &TForm2::BTN_Reg_oriClick);
  connect(ui_->BTN_ORI_REG, &QPushButton::clicked, this, &TForm2::BTN_ORI_REGClick);
  connect(ui_->BTN_CANCEL_ORI, &QPushButton::clicked, this, &TForm2::BTN_CANCEL_ORIClick);

  connect(ui_->Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
  connect(ui_->MarcaORI, &QComboBox::activated, this, &TForm2::MarcaORIChange);
  connect(ui_->MarcaORI->lineEdit(), &QLineEdit::textEdited, this, &TForm2::MarcaORIChange);
  connect(ui_->BTN_Ori_search, &QPushButton::clicked, this, &TForm2::BTN_Ori_searchClick);
  connect(ui_->BTN_Reg_mod, &QPushButton::clicked, this, &TForm2::BTN_Reg_modClick);
  connect(ui_->BTN_DBMOD, &QPushButton::clicked, this, &TForm2::BTN_DBMODClick);
  connect(ui_->BTN_ANNULLA, &QPushButton::clicked, this, &TForm2::BTN_ANNULLAClick);
  connect(ui_->Button4, &QPushButton::clicked, this, &TForm2::Button4Click);
}

QTreeWidgetItem* TForm2::SelectedRow(QTreeWidget* list) const {
  const QList<QTreeWidgetItem*> rows = list->selectedItems();
  return rows.isEmpty() ? nullptr : rows.first();
}

void TForm2::DrvListSelectItem(QTreeWidgetItem* row, bool selected) {
  ui_->BTN_Reg_ori->setEnabled(selected && row && !row->text(0).isEmpty());
}

void TForm2::BTN_Reg_oriClick() {
  if (searching_) return;
  QTreeWidgetItem* row = SelectedRow(ui_->DrvList);
  if (!row || row->text(0).isEmpty()) return;
  ui_->Pnl_ORI1->hide();
  ui_->Pnl_ORI2->show();
  ui_->T_ORI_FILE_2->setText(ChosenOriginalPath);
  ui_->T_DRIVER->setText(row->text(0));
  // What was left in the description stays; the proposals come below it.
  const QString name = QFileInfo(ChosenOriginalPath).fileName();
  for (const QString& proposal : {LegacyIniDescription(name), LegacyFileDescription(name)})
    if (!proposal.isEmpty()) ui_->T_DESC->appendPlainText(proposal);
  ui_->Memo_ori_2->clear();
  ui_->Memo_ori_2->appendPlainText(Msg(1026));
  ui_->Memo_ori_2->appendPlainText(Msg(1027));

  const bool makersDriver = !row->data(0, kUserDriverRole).toBool();
  if (RowImage(row) == 0 && makersDriver) {
    if (CountPendingReservations() > 5) {
      Prompts::current().message(this, Msg(1022));
    } else {
      Prompts::current().message(this, Msg(1020));
      ReserveDriverDownload();
    }
  }
}

int TForm2::CountPendingReservations() {
  DbConnection db;
  db.open(DatabasePath());
  const int count = db.runScalar(
      "select count(*) as tot_drv from DRV_DOWNLOAD where  DOWNLOADED = 'False' and ERROR = 'False';");
  db.close();
  return count;
}

void TForm2::ReserveDriverDownload() {
  QTreeWidgetItem* row = SelectedRow(ui_->DrvList);
  std::string driver;
  // Driver names come from the database, so they always convert back.
  if (!row || row->text(0).isEmpty() || !ToCp1252(row->text(0), &driver)) return;
  DbConnection db;
  db.open(DatabasePath());
  DbQuery pending = db.runQuery("select 1 from DRV_DOWNLOAD where ID_DRV_DOWNLOAD  = '" +
                                SqlValue(driver) + "' and DOWNLOADED = 'False' and ERROR = 'False';");
  const bool alreadyPending = !pending.atEnd();
  pending.release();
  if (alreadyPending) {
    db.close();
    return;
  }
  // Asked only for a reservation that is to be written.
  int request = 0;
  if (!keystore::NextRequestId(db, &request)) {
    db.close();
    Prompts::current().message(this, Msg(1079));
    return;
  }
  const std::string insert =
      "insert into DRV_DOWNLOAD (ID_REQUEST, ID_DRV_DOWNLOAD, DOWNLOADED, ERROR, REQUEST_DATE) values (" +
      std::to_string(request) + ", '" + SqlValue(driver) + "', 'False', 'False'," + keystore::kNow + ");";
  if (!keystore::RunInTransaction(db, insert)) Prompts::current().message(this, Msg(1021));
  db.close();
}

void TForm2::BTN_ORI_REGClick() {
  if (searching_) return;
  // Everything the registration writes is taken now, before any step that
  // hands the event queue a turn.
  const QString sourcePath = ui_->T_ORI_FILE_2->text();
  const std::string digest = OriginalDigest;
  std::string driver, note, fileName;
  if (!StoredText(this, ui_->T_DRIVER->text(), 1060, &driver) ||
      !StoredText(this, ToStoredLineBreaks(ui_->T_DESC->toPlainText()), 1066, &note) ||
      !StoredText(this, QFileInfo(sourcePath).fileName(), 1065, &fileName))
    return;
  if (IsAlreadyRegistered(digest, false)) {
    Prompts::current().message(this, Msg(1012));
    return;
  }

  keypaths::KeyFolders folders(KeyRoot);
  DbConnection db;
  db.open(folders.DatabasePath());
  int id = 0;
  if (!keystore::NextOriginalId(db, &id)) {
    db.close();
    Prompts::current().message(this, Msg(1079));
    return;
  }
  const std::string storedName = keystore::OriginalFileName(id);
  const std::string archive = folders.StoredOriginal(storedName);
  BusyNotice notice(ui_->PNL_REG_ORI);

  std::vector<unsigned char> content;
  StoreResult stored = StoreResult::Failed;
  if (ReadRegisteredBytes(sourcePath, digest, &content)) {
    CommandLock lock(this);
    std::string error;
    stored = StoreInNewArchive(archive, storedName, content, &error);
  }
  if (stored != StoreResult::Stored) {
    notice.hide();
    Prompts::current().message(this, Msg(1025));
    db.close();
    return;
  }

  const std::string insert =
      "insert into ORI (ID_ORI, ID_DRIVER, [NOTE], NOMEFILE, PATH, MD5, LAST_MOD_DATE ) values (" +
      std::to_string(id) + ", '" + SqlValue(driver) + "', '" + SqlValue(note) + "', '" +
      SqlValue(storedName) + "', '" + SqlValue(fileName) + "','" + SqlValue(digest) + "', " +
      keystore::kNow + ");";
  // Never throws: a failure of begin, insert or commit is rolled back.
  const bool inserted = keystore::RunInTransaction(db, insert);
  if (!inserted) {
    RemoveStoredArchive(archive);
    notice.hide();
    Prompts::current().message(this, Msg(1023));
    db.close();
    return;
  }
  db.close();
  notice.hide();
  if (KeyWritesSaved(this, KeyRoot)) Prompts::current().message(this, Msg(1024));
  ResetIdentificationPanel();
  BTN_CANCEL_ORIClick();
}

void TForm2::BTN_CANCEL_ORIClick() {
  if (searching_) return;
  ui_->Pnl_ORI2->hide();
  ui_->Pnl_ORI1->show();
  ui_->T_ORI_FILE_2->clear();
  ui_->T_DRIVER->clear();
  ui_->T_DESC->clear();
}
