// The driver window's changes: recatalogue and deletion of a user driver.
#include <QLabel>
#include <QTreeWidget>

#include "app/kit/BusyNotice.h"
#include "app/kit/ComboIndex.h"
#include "app/kit/DbText.h"
#include "app/kit/Fmmsg.h"
#include "app/kit/KeyWrites.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "app/kit/WidgetTexts.h"
#include "db/key/KeyChanges.h"
#include "db/key/KeyDatabase.h"
#include "drivers/Drv_mng.h"
#include "ui_Drv_mng.h"

namespace {

// "Nothing chosen": an empty box, or one that shows its first entry.
bool NothingChosen(const QComboBox* box) {
  return box->currentText().isEmpty() || ItemIndex(box) == 0;
}

// Whether the box shows the stored text as it is.
bool ShowsStored(const QComboBox* box, const std::string& stored) {
  return box->currentText() == FromCp1252(stored);
}

}  // namespace

void TForm3::BTN_UPD_DRVClick() {
  if (busy() || catalogueName_.empty()) return;
  // A box that still shows what the driver has stored (an empty brand or
  // model included) writes that back; the model counts as kept only under
  // the kept brand, since changing the brand asks for a model again.
  const bool brandKept = catalogueKnown_ && ShowsStored(ui_->NewMarcaCB, catalogueBrand_);
  const bool modelKept = brandKept && ShowsStored(ui_->NewModelloCB, catalogueModel_);
  if ((!brandKept && NothingChosen(ui_->NewMarcaCB)) ||
      (!modelKept && NothingChosen(ui_->NewModelloCB))) {
    Prompts::current().message(this, Msg(1075));
    return;
  }
  if (!kit::StorableChoice(this, ui_->NewMarcaCB) ||
      !kit::StorableChoice(this, ui_->NewModelloCB) ||
      !kit::WithoutNul(this, kit::MemoContent(ui_->Drv_desc)))
    return;
  std::string brand, model, description;
  if (!kit::ChoiceBytes(ui_->NewMarcaCB, catalogueBrand_, &brand) ||
      !kit::ChoiceBytes(ui_->NewModelloCB, catalogueModel_, &model) ||
      !kit::MemoBytes(kit::MemoContent(ui_->Drv_desc), catalogueDescription_, &description)) {
    Prompts::current().message(this, Msg(1077));
    return;
  }
  bool changed = false;
  {
    keydb::KeyDatabase db(KeyRoot);
    changed = keydb::RecatalogueDriver(db, catalogueName_, brand, model, description);
  }
  if (!changed) {
    Prompts::current().message(this, Msg(1045));
    return;
  }
  // What is now stored is what a second update leaves alone.
  catalogueBrand_ = brand;
  catalogueModel_ = model;
  catalogueDescription_ = description;
  if (KeyWritesSaved(this, KeyRoot)) Prompts::current().message(this, Msg(1050));
}

void TForm3::BTN_DELClick() {
  QTreeWidgetItem* row = SelectedDriverRow();
  if (!row || busy()) return;
  const QByteArray name = row->data(0, kit::kStoredBytesRole).toByteArray();
  DeleteDriver(std::string(name.constData(), static_cast<size_t>(name.size())));
}

void TForm3::BTN_DEL_DRVClick() {
  if (busy() || catalogueName_.empty() || !SelectedDriverRow()) return;
  if (DeleteDriver(catalogueName_)) {
    catalogueName_.clear();
    Button6Click();
  }
}

bool TForm3::DeleteDriver(const std::string& nomefile) {
  question_->SetMessage(Msg(1043));
  if (Prompts::current().execDialog(question_.get()) != TMsgFm::kOk) return false;

  kit::BusyNotice wait(ui_->PNL_WAIT_DRV);
  std::string keptFile;
  keydb::Deletion deletion;
  {
    keydb::KeyDatabase db(KeyRoot);
    deletion = keydb::DeleteUserDriver(db, nomefile, &keptFile);
  }
  if (deletion == keydb::Deletion::kInUse || deletion == keydb::Deletion::kFailed) {
    wait.hide();
    Prompts::current().message(this, Msg(deletion == keydb::Deletion::kInUse ? 1044 : 1045));
    return false;
  }
  // The row is gone for good: a file that stays behind is reported, the
  // list is searched again either way.
  Button4Click();
  wait.hide();
  if (deletion == keydb::Deletion::kFileKept)
    Prompts::current().message(this,
                               Msg(1076) + QLatin1Char(' ') + QString::fromStdString(keptFile));
  else if (KeyWritesSaved(this, KeyRoot))
    Prompts::current().message(this, Msg(1046));
  return true;
}
