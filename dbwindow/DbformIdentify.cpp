// Choosing an original, the driver search and manual search.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTreeWidget>

#include "app/kit/BusyNotice.h"
#include "app/kit/ComboIndex.h"
#include "app/kit/DbText.h"
#include "app/kit/FieldTexts.h"
#include "app/kit/FileDialogs.h"
#include "app/kit/Prompts.h"
#include "app/kit/RowBatch.h"
#include "app/kit/Texts.h"
#include "db/key/DriverSearch.h"
#include "db/key/FileCatalogue.h"
#include "db/key/KeyDatabase.h"
#include "dbwindow/Dbform.h"
#include "dbwindow/Hash_algorithms.h"
#include "ui_Dbform.h"

void TForm2::BTN_DB_openoriClick() {
  if (searching()) return;
  const QString path = kit::OpenFile(kit::FileDialog::kDB_OD, this, QString());
  if (path.isEmpty()) return;
  kit::ShowPath(ui_->TB_ORI_FILE, path);
  const std::vector<unsigned char> content = LoadWholeFile(path);
  const std::string digest = TUEDC16::HashBuffer(content.data(), content.size());
  if (IsAlreadyRegistered(digest, false)) {
    // A refused file never becomes the one searched for or registered.
    Prompts::current().message(this, Msg(1012));
    kit::ShowPath(ui_->TB_ORI_FILE, QString());
    return;
  }
  OriginalDigest = digest;
  ChosenOriginalPath = path;
  ui_->BTN_Drv_Search->setEnabled(true);
  SearchDrivers(content.data(), content.size());
}

void TForm2::BTN_Drv_SearchClick() {
  if (searching()) return;
  kit::ShowPath(ui_->TB_ORI_FILE, ChosenOriginalPath);
  if (ChosenOriginalPath.isEmpty() || !QFileInfo(ChosenOriginalPath).isFile()) {
    Prompts::current().message(this, Msg(1017));
    return;
  }
  const std::vector<unsigned char> content = LoadWholeFile(ChosenOriginalPath);
  SearchDrivers(content.data(), content.size());
}

void TForm2::BTN_BreakClick() { StopSearch = true; }

void TForm2::CBIgnoreMD5Click() {
  if (ui_->CBIgnoreMD5->isChecked()) {
    ui_->MarcaCB->setEnabled(true);
    ui_->ModelloCB->setEnabled(true);
  } else {
    ui_->MarcaCB->setEnabled(false);
    ui_->ModelloCB->setEnabled(false);
    ui_->ModelloCB->setCurrentIndex(0);
    ui_->MarcaCB->setCurrentIndex(0);
  }
}

bool TForm2::IsAlreadyRegistered(const std::string& md5, bool modified) {
  keydb::KeyDatabase db(KeyRoot);
  return keydb::IsRegistered(db, md5, modified);
}

QTreeWidgetItem* TForm2::DriverListRow(const keydb::DriverRow& driver) {
  auto* row = new QTreeWidgetItem();
  row->setText(0, FromCp1252(driver.name));
  row->setText(1, FromCp1252(driver.description));
  row->setText(2, FromCp1252(driver.centralina));
  row->setText(3, FromCp1252(driver.eprom));
  row->setText(4, FromCp1252(driver.cks));
  kit::SetRowImage(row, driver.available ? 1 : 0);
  if (driver.user) row->setData(0, kUserDriverRole, true);
  return row;
}

void TForm2::SearchDrivers(const unsigned char* data, std::uint64_t size) {
  if (searching()) return;
  keydb::DriverFilter filter;
  filter.manual = ui_->CBIgnoreMD5->isChecked();
  filter.brandChosen = ItemIndex(ui_->MarcaCB) != 0;
  filter.modelChosen = ItemIndex(ui_->ModelloCB) != 0;
  if (filter.brandChosen && !ComboBytes(ui_->MarcaCB, &filter.brand)) return;
  if (filter.modelChosen && !ComboBytes(ui_->ModelloCB, &filter.model)) return;

  StopSearch = false;
  ui_->BTN_Break->setEnabled(true);
  int found = 0;
  {
    keydb::KeyDatabase db(KeyRoot);
    ui_->DrvList->clear();
    if (filter.manual && !filter.brandChosen) {
      Prompts::current().message(this, Msg(1019));
    } else {
      // However the search ends, the busy panel and "Interrompi " go and
      // the other commands come back.
      struct BreakEnd {
        QWidget* button;
        ~BreakEnd() { button->setEnabled(false); }
      } breakEnd{ui_->BTN_Break};
      kit::CommandLock lock(&commands_, Commands());
      kit::BusyNotice notice(ui_->Pnl_searching);
      kit::RowBatch rows(ui_->DrvList);
      found = keydb::SearchDriverRows(db, filter, data, size,
                                      [this, &rows](const keydb::DriverRow* match) {
                                        if (match) rows.add(DriverListRow(*match));
                                        QCoreApplication::processEvents();
                                        return !StopSearch;
                                      });
      rows.flush();
      // Shown as a click on "Descrizione" after no sort at all: ascending.
      SortColumn = 1;
      SortDescending = false;
      SortList(ui_->DrvList);
    }
    ui_->Pnl_searching->hide();
  }
  if (found == 0) {
    auto* row = new QTreeWidgetItem(ui_->DrvList);
    row->setText(1, Msg(1018));
    kit::SetRowImage(row, 0);
    ui_->CBIgnoreMD5->setChecked(true);
  }
  ui_->BTN_Break->setEnabled(false);
}
