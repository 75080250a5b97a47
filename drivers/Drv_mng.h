// The user driver catalogue: find the user's own drivers by brand and model,
// give one another brand, model and description, or delete one with its
// ".DRU" file. Created anew for every opening; SetupWindow(KeyRoot) before
// it is shown modally.
//
// The combo boxes' change handlers run only on the user's own choice or
// typing, never when the window sets an index itself. While the search
// hands the event queue a turn, the window takes no other command and
// refuses to close. What it reads and changes comes from db/key/
// (DriverCatalogue.h, KeyChanges.h).
#pragma once

#include <QDialog>
#include <QIcon>
#include <memory>
#include <string>

#include "app/kit/CommandLock.h"
#include "app/kit/ListImages.h"

namespace Ui {
class TForm3;
}
class QComboBox;
class QTreeWidgetItem;
class TMsgFm;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);
  ~TForm3() override;

  Ui::TForm3* ui() const { return ui_.get(); }
  // The question window (exists between SetupWindow and FormDestroy).
  TMsgFm* questionWindow() const { return question_.get(); }
  // The list images: 0 not available on the key, 1 available.
  const QIcon& ImageList1(int index) const { return kit::ListImage(index); }
  // Whether a search is handing the event queue a turn right now.
  bool busy() const { return commands_.busy(); }

  // Stores KeyRoot, fills the help memos and the brand lists, creates the
  // question window. Database errors are thrown.
  void SetupWindow(const std::string& keyRoot);
  void FillUserBrands();
  void FillAllBrands();
  // NewModelloCB gets the models of the brand NewMarcaCB shows; its
  // selection is left to the caller.
  void FillNewModels();

  // Handlers.
  void MarcaCBChange();
  void NewMarcaCBChange();
  void NewModelloCBChange();
  void Button4Click();  // the search
  void DrvListSelectItem();
  void BTN_RICClick();
  void BTN_UPD_DRVClick();
  void BTN_DELClick();
  void BTN_DEL_DRVClick();
  void Button6Click();
  void FormDestroy();

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void FillHelpMemos();
  void SetListCommandsEnabled(bool enabled);
  // The selected row of DrvList, when it names a driver (a single-selection
  // list).
  QTreeWidgetItem* SelectedDriverRow() const;
  // Asks, deletes the row and then its file, searches again. False when
  // nothing was deleted.
  bool DeleteDriver(const std::string& nomefile);

  std::unique_ptr<Ui::TForm3> ui_;
  std::string KeyRoot;
  std::unique_ptr<TMsgFm> question_;
  kit::CommandState commands_;

  // The driver shown on the recatalogue panel, as stored; brand and model
  // only when its row was found (catalogueKnown_).
  bool catalogueKnown_ = false;
  std::string catalogueName_;
  std::string catalogueDescription_;
  std::string catalogueBrand_;
  std::string catalogueModel_;
};
