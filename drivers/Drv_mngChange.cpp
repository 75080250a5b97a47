// The driver window's changes: recatalogue and deletion of a user driver.
#include <QLabel>
#include <QTreeWidget>

#include "app/ComboIndex.h"
#include "app/DbText.h"
#include "app/Fmmsg.h"
#include "app/KeyWrites.h"
#include "app/Prompts.h"
#include "app/Texts.h"
#include "db/KeyPaths.h"
#include "drivers/DriverTexts.h"
#include "drivers/Drv_mng.h"
#include "drivers/UserDrivers.h"
#include "platform/Files.h"
#include "platform/Platform.h"
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

// Shows the wait panel for as long as it lives.
class WaitPanel {
 public:
  explicit WaitPanel(QWidget* panel) : panel_(panel) {
    panel_->raise();
    panel_->show();
    panel_->repaint();
  }
  ~WaitPanel() { hide(); }
  void hide() { panel_->hide(); }

 private:
  QWidget* panel_;
};

}  // namespace

void TForm3::BTN_UPD_DRVClick() {
  if (busy() || catalogueName_.empty()) return;
  // A box that still shows what the driver has stored (an empty make or
  // model included) writes that back; the model counts as kept only under
  // the kept make, since changing the make asks for a model again.
  const bool makeKept = catalogueKnown_ && ShowsStored(ui_->NewMarcaCB, catalogueMake_);
  const bool modelKept = makeKept && ShowsStored(ui_->NewModelloCB, catalogueModel_);
  if ((!makeKept && NothingChosen(ui_->NewMarcaCB)) ||
      (!modelKept && NothingChosen(ui_->NewModelloCB))) {
    Prompts::current().message(this, Msg(1075));
    return;
  }
  std::string make, model, description;
  if (!drivertexts::ChoiceBytes(ui_->NewMarcaCB, catalogueMake_, &make) ||
      !drivertexts::ChoiceBytes(ui_->NewModelloCB, catalogueModel_, &model) ||
      !drivertexts::MemoBytes(drivertexts::MemoContent(ui_->Drv_desc), catalogueDescription_,
                              &description)) {
    Prompts::current().message(this, Msg(1077));
    return;
  }
  if (!userdrivers::Recatalogue(DatabasePath(), catalogueName_, make, model, description)) {
    Prompts::current().message(this, Msg(1045));
    return;
  }
  // What is now stored is what a second update leaves alone.
  catalogueMake_ = make;
  catalogueModel_ = model;
  catalogueDescription_ = description;
  if (KeyWritesSaved(this, KeyRoot)) Prompts::current().message(this, Msg(1050));
}

void TForm3::BTN_DELClick() {
  QTreeWidgetItem* row = SelectedDriverRow();
  if (!row || busy()) return;
  const QByteArray name = row->data(0, Qt::UserRole).toByteArray();
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

  WaitPanel wait(ui_->PNL_WAIT_DRV);
  keypaths::KeyFolders folders(KeyRoot);
  switch (userdrivers::DeleteUserDriver(folders.DatabasePath(), nomefile)) {
    case userdrivers::Deletion::kReferenced:
      wait.hide();
      Prompts::current().message(this, Msg(1044));
      return false;
    case userdrivers::Deletion::kFailed:
      wait.hide();
      Prompts::current().message(this, Msg(1045));
      return false;
    case userdrivers::Deletion::kDeleted:
      break;
  }

  // The row is gone for good: a file that stays behind is reported, the
  // list is searched again either way.
  const std::string file = folders.DriverFile(nomefile, true);
  const bool fileKept = platform::FileExists(file) && !platform::files::Remove(file);
  Button4Click();
  wait.hide();
  if (fileKept)
    Prompts::current().message(this, Msg(1076) + QLatin1Char(' ') + QString::fromStdString(file));
  else if (KeyWritesSaved(this, KeyRoot))
    Prompts::current().message(this, Msg(1046));
  return true;
}
