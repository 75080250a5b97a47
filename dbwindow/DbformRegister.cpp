// Registering an original: the confirmation panel, the driver reservation
// and storing the file with its ORI row.
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/kit/BusyNotice.h"
#include "app/kit/DbText.h"
#include "app/kit/FailureReport.h"
#include "app/kit/FieldTexts.h"
#include "app/kit/KeyWrites.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "app/kit/WidgetTexts.h"
#include "db/key/FileCatalogue.h"
#include "db/key/KeyChanges.h"
#include "db/key/KeyDatabase.h"
#include "dbwindow/Dbform.h"
#include "ui_Dbform.h"

using keydb::Registration;

void TForm2::ConnectRegistration() {
  // The buttons follow the selection; an emptied or refilled list leaves no
  // row selected and its button disabled.
  auto followSelection = [this](QTreeWidget* list,
                                void (TForm2::*handler)(QTreeWidgetItem*, bool)) {
    connect(list, &QTreeWidget::itemSelectionChanged, this,
            kit::Reported(this, [this, list, handler] {
              QTreeWidgetItem* row = kit::SelectedRow(list);
              (this->*handler)(row, row != nullptr);
            }));
    connect(list->model(), &QAbstractItemModel::modelReset, this,
            kit::Reported(this, [this, handler] { (this->*handler)(nullptr, false); }));
  };
  followSelection(ui_->DrvList, &TForm2::DrvListSelectItem);
  followSelection(ui_->OriList, &TForm2::OriListSelectItem);
  connect(ui_->BTN_Reg_ori, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_Reg_oriClick));
  connect(ui_->BTN_ORI_REG, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_ORI_REGClick));
  connect(ui_->BTN_CANCEL_ORI, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_CANCEL_ORIClick));

  connect(ui_->Button2, &QPushButton::clicked, this, kit::Reported(this, &TForm2::Button2Click));
  connect(ui_->MarcaORI, &QComboBox::activated, this, kit::Reported(this, &TForm2::MarcaORIChange));
  connect(ui_->MarcaORI->lineEdit(), &QLineEdit::textEdited, this,
          kit::Reported(this, &TForm2::MarcaORIChange));
  connect(ui_->BTN_Ori_search, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_Ori_searchClick));
  connect(ui_->BTN_Reg_mod, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_Reg_modClick));
  connect(ui_->BTN_DBMOD, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_DBMODClick));
  connect(ui_->BTN_ANNULLA, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_ANNULLAClick));
  connect(ui_->Button4, &QPushButton::clicked, this, kit::Reported(this, &TForm2::Button4Click));
}

keydb::ChosenFile TForm2::Chosen(const QString& path, const std::string& md5) {
  return {QDir::toNativeSeparators(path).toStdString(), md5};
}

keydb::Registration TForm2::RunRegistration(
    QWidget* notice, const std::function<keydb::Registration(keydb::KeyDatabase&)>& registration) {
  keydb::KeyDatabase db(KeyRoot);
  kit::BusyNotice busy(notice);
  kit::CommandLock lock(&commands_, Commands());
  return registration(db);
}

void TForm2::DrvListSelectItem(QTreeWidgetItem* row, bool selected) {
  ui_->BTN_Reg_ori->setEnabled(selected && row && !row->text(0).isEmpty());
}

void TForm2::BTN_Reg_oriClick() {
  if (searching()) return;
  QTreeWidgetItem* row = kit::SelectedRow(ui_->DrvList);
  if (!row || row->text(0).isEmpty()) return;
  ui_->Pnl_ORI1->hide();
  ui_->Pnl_ORI2->show();
  kit::ShowPath(ui_->T_ORI_FILE_2, ChosenOriginalPath);
  kit::ShowName(ui_->T_DRIVER, row->text(0));
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
  keydb::KeyDatabase db(KeyRoot);
  return keydb::CountPendingReservations(db);
}

void TForm2::ReserveDriverDownload() {
  QTreeWidgetItem* row = kit::SelectedRow(ui_->DrvList);
  std::string driver;
  // Driver names come from the database, so they always convert back.
  if (!row || row->text(0).isEmpty() || !ToCp1252(row->text(0), &driver)) return;
  keydb::KeyDatabase db(KeyRoot);
  switch (keydb::ReserveDriver(db, driver)) {
    case keydb::Reservation::kNoId: return Prompts::current().message(this, Msg(1079));
    case keydb::Reservation::kFailed: return Prompts::current().message(this, Msg(1021));
    case keydb::Reservation::kReserved:
    case keydb::Reservation::kAlreadyPending: return;
  }
}

void TForm2::BTN_ORI_REGClick() {
  if (searching()) return;
  // What the registration writes is read now, before any turn of the event queue.
  const QString sourcePath = ui_->T_ORI_FILE_2->text();
  keydb::NewOriginal original;
  original.file = Chosen(sourcePath, OriginalDigest);
  if (!kit::StoredText(this, ui_->T_DRIVER->text(), 1060, &original.driver) ||
      !kit::StoredText(this, ToStoredLineBreaks(ui_->T_DESC->toPlainText()), 1066,
                       &original.note) ||
      !kit::StoredText(this, QFileInfo(sourcePath).fileName(), 1065, &original.fileName))
    return;
  switch (RunRegistration(ui_->PNL_REG_ORI, [&original](keydb::KeyDatabase& db) {
    return keydb::RegisterOriginal(db, original, ArchiveProgress);
  })) {
    case Registration::kRegistered: break;
    case Registration::kAlreadyRegistered: return Prompts::current().message(this, Msg(1012));
    case Registration::kNoId: return Prompts::current().message(this, Msg(1079));
    case Registration::kNotInserted: return Prompts::current().message(this, Msg(1023));
    default: return Prompts::current().message(this, Msg(1025));  // not stored
  }
  if (KeyWritesSaved(this, KeyRoot)) Prompts::current().message(this, Msg(1024));
  ResetIdentificationPanel();
  BTN_CANCEL_ORIClick();
}

void TForm2::BTN_CANCEL_ORIClick() {
  if (searching()) return;
  ui_->Pnl_ORI2->hide();
  ui_->Pnl_ORI1->show();
  kit::ShowPath(ui_->T_ORI_FILE_2, QString());
  ui_->T_DRIVER->clear();
  ui_->T_DESC->clear();
}
