// The driver window's search: fills DrvList with the user drivers of the
// chosen make and model, handing the event queue a turn after each row.
#include <QCoreApplication>
#include <QTreeWidget>

#include "app/ComboIndex.h"
#include "app/DbText.h"
#include "app/Prompts.h"
#include "app/Texts.h"
#include "db/KeyPaths.h"
#include "drivers/DriverTexts.h"
#include "drivers/Drv_mng.h"
#include "drivers/UserDrivers.h"
#include "ui_Drv_mng.h"

// While a loop hands the event queue a turn, the window takes no other
// command: both panels are disabled (their children keep their own state
// for afterwards) and closing is refused, until the lock goes, also when
// the loop ends in an exception.
class TForm3::CommandLock {
 public:
  explicit CommandLock(TForm3& window) : window_(window) {
    if (window_.busy_++ == 0) SetPanelsEnabled(false);
  }
  ~CommandLock() {
    if (--window_.busy_ == 0) SetPanelsEnabled(true);
  }
  CommandLock(const CommandLock&) = delete;
  CommandLock& operator=(const CommandLock&) = delete;

 private:
  void SetPanelsEnabled(bool enabled) {
    window_.ui_->PNL_DRV_UTENTE->setEnabled(enabled);
    window_.ui_->PNL_DRV_CAT->setEnabled(enabled);
  }
  TForm3& window_;
};

namespace {

QByteArray AsBytes(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

void TForm3::Button4Click() {
  if (busy()) return;
  // A typed text counts as a choice; only the first entry means "any".
  const bool byMake = ItemIndex(ui_->MarcaCB) != 0;
  const bool byModel = ItemIndex(ui_->ModelloCB) != 0;
  std::string make, model;
  if ((byMake && !drivertexts::ChoiceBytes(ui_->MarcaCB, std::string(), &make)) ||
      (byModel && !drivertexts::ChoiceBytes(ui_->ModelloCB, std::string(), &model))) {
    Prompts::current().message(this, Msg(1077));
    return;
  }

  CommandLock lock(*this);
  QTreeWidget* list = ui_->DrvList;
  list->clear();
  SetListCommandsEnabled(false);
  int added = 0;
  keypaths::KeyFolders folders(KeyRoot);
  userdrivers::Search(
      folders.DatabasePath(), byMake ? &make : nullptr, byModel ? &model : nullptr,
      [&](const userdrivers::Found& row) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, FromCp1252(row.nomefile));
        item->setData(0, Qt::UserRole, AsBytes(row.nomefile));
        item->setText(1, drivertexts::ListText(row.descrizione));
        item->setData(1, Qt::UserRole, AsBytes(row.descrizione));
        item->setText(2, FromCp1252(row.centralina));
        item->setText(3, FromCp1252(row.eprom));
        item->setText(4, FromCp1252(row.cks));
        const bool available = row.downloaded && folders.HasDriverFile(row.nomefile, row.user);
        item->setIcon(0, ImageList1(available ? 1 : 0));
        item->setData(0, Qt::UserRole + 1, row.user);
        ++added;
        QCoreApplication::processEvents();
      });
  if (added == 0) {
    auto* item = new QTreeWidgetItem(list);
    item->setText(1, Msg(1018));
    item->setIcon(0, ImageList1(0));
  }
}
