// The driver window's search: fills DrvList with the user drivers of the
// chosen brand and model, handing the event queue a turn after each row
// (the rows reach the list in batches).
#include <QCoreApplication>
#include <QTreeWidget>

#include "app/kit/ComboIndex.h"
#include "app/kit/DbText.h"
#include "app/kit/ListImages.h"
#include "app/kit/Prompts.h"
#include "app/kit/RowBatch.h"
#include "app/kit/Texts.h"
#include "app/kit/WidgetTexts.h"
#include "db/key/DriverCatalogue.h"
#include "db/key/KeyDatabase.h"
#include "drivers/Drv_mng.h"
#include "ui_Drv_mng.h"

namespace {

QByteArray AsBytes(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

void TForm3::Button4Click() {
  if (busy()) return;
  // A typed text counts as a choice; only the first entry means "any".
  const bool byBrand = ItemIndex(ui_->MarcaCB) != 0;
  const bool byModel = ItemIndex(ui_->ModelloCB) != 0;
  std::string brand, model;
  if ((byBrand && !kit::ChoiceBytes(ui_->MarcaCB, std::string(), &brand)) ||
      (byModel && !kit::ChoiceBytes(ui_->ModelloCB, std::string(), &model))) {
    Prompts::current().message(this, Msg(1077));
    return;
  }

  // Both panels go (their children keep their own state for afterwards).
  kit::CommandLock lock(&commands_, {ui_->PNL_DRV_UTENTE, ui_->PNL_DRV_CAT});
  QTreeWidget* list = ui_->DrvList;
  list->clear();
  SetListCommandsEnabled(false);
  int added = 0;
  keydb::KeyDatabase db(KeyRoot);
  kit::RowBatch rows(list);
  keydb::SearchUserDrivers(db, byBrand ? &brand : nullptr, byModel ? &model : nullptr,
                           [&](const keydb::DriverRow& row) {
                             auto* item = new QTreeWidgetItem();
                             item->setText(0, FromCp1252(row.name));
                             item->setData(0, kit::kStoredBytesRole, AsBytes(row.name));
                             item->setText(1, kit::ListText(row.description));
                             item->setData(1, kit::kStoredBytesRole, AsBytes(row.description));
                             item->setText(2, FromCp1252(row.centralina));
                             item->setText(3, FromCp1252(row.eprom));
                             item->setText(4, FromCp1252(row.cks));
                             kit::SetRowImage(item, row.available ? 1 : 0);
                             if (row.user) item->setData(0, kit::kUserDriverRole, true);
                             rows.add(item);
                             ++added;
                             QCoreApplication::processEvents();
                             return true;
                           });
  rows.flush();
  if (added == 0) {
    auto* item = new QTreeWidgetItem(list);
    item->setText(1, Msg(1018));
    kit::SetRowImage(item, 0);
  }
}
