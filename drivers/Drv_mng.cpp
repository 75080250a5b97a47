// The driver window: construction, setup, the brand and model lists, the
// selection and moving between the two panels.
#include "drivers/Drv_mng.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QTreeWidget>

#include "app/kit/ComboIndex.h"
#include "app/kit/DbText.h"
#include "app/kit/FailureReport.h"
#include "app/kit/FieldTexts.h"
#include "app/kit/Fmmsg.h"
#include "app/kit/Texts.h"
#include "app/kit/WidgetTexts.h"
#include "app/kit/WindowFont.h"
#include "db/key/DriverCatalogue.h"
#include "db/key/KeyDatabase.h"
#include "ui_Drv_mng.h"

namespace {

// Runs handler on the user's own choice from the list and on typing, never
// when the program sets the index or the text.
template <typename Handler>
void OnUserChange(QComboBox* box, QWidget* receiver, Handler handler) {
  QObject::connect(box, &QComboBox::activated, receiver, kit::Reported(receiver, handler));
  QObject::connect(box->lineEdit(), &QLineEdit::textEdited, receiver,
                   kit::Reported(receiver, handler));
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TForm3>()) {
  kit::RegisterWindowFont();
  ui_->setupUi(this);
  // A tool-window frame whose only border icon is the close box.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(765, 379);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  ui_->DrvList->setColumnWidth(0, 90);
  ui_->DrvList->setColumnWidth(1, 260);
  ui_->DrvList->setColumnWidth(2, 280);
  ui_->DrvList->setColumnWidth(3, 70);
  ui_->DrvList->header()->setSectionsMovable(false);
  ui_->PNL_WAIT_DRV->raise();

  OnUserChange(ui_->MarcaCB, this, [this] { MarcaCBChange(); });
  OnUserChange(ui_->NewMarcaCB, this, [this] { NewMarcaCBChange(); });
  OnUserChange(ui_->NewModelloCB, this, [this] { NewModelloCBChange(); });
  connect(ui_->Button4, &QPushButton::clicked, this, kit::Reported(this, &TForm3::Button4Click));
  connect(ui_->DrvList, &QTreeWidget::itemSelectionChanged, this,
          kit::Reported(this, &TForm3::DrvListSelectItem));
  connect(ui_->BTN_RIC, &QPushButton::clicked, this, kit::Reported(this, &TForm3::BTN_RICClick));
  connect(ui_->BTN_DEL, &QPushButton::clicked, this, kit::Reported(this, &TForm3::BTN_DELClick));
  connect(ui_->Button1, &QPushButton::clicked, this, [this] { done(1); });
  connect(ui_->BTN_UPD_DRV, &QPushButton::clicked, this,
          kit::Reported(this, &TForm3::BTN_UPD_DRVClick));
  connect(ui_->BTN_DEL_DRV, &QPushButton::clicked, this,
          kit::Reported(this, &TForm3::BTN_DEL_DRVClick));
  connect(ui_->Button6, &QPushButton::clicked, this, kit::Reported(this, &TForm3::Button6Click));
}

TForm3::~TForm3() { FormDestroy(); }

void TForm3::FormDestroy() { question_.reset(); }

void TForm3::SetupWindow(const std::string& keyRoot) {
  KeyRoot = keyRoot;
  FillHelpMemos();
  FillUserBrands();
  FillAllBrands();
  question_ = std::make_unique<TMsgFm>(this);
}

void TForm3::FillHelpMemos() {
  ui_->Memo_DRV->clear();
  for (int n : {1033, 1040, 1041, 1042}) ui_->Memo_DRV->appendPlainText(Msg(n));
  ui_->Memo_Help->clear();
  for (int n : {1047, 1048, 1049}) ui_->Memo_Help->appendPlainText(Msg(n));
}

void TForm3::FillUserBrands() {
  keydb::KeyDatabase db(KeyRoot);
  kit::FillChoices(ui_->MarcaCB, keydb::UserDriverBrands(db));
  kit::FillChoices(ui_->ModelloCB, {});
}

void TForm3::FillAllBrands() {
  keydb::KeyDatabase db(KeyRoot);
  kit::FillChoices(ui_->NewMarcaCB, keydb::DriverBrands(db));
  kit::FillChoices(ui_->NewModelloCB, {});
}

void TForm3::MarcaCBChange() {
  kit::FillChoices(ui_->ModelloCB, {});
  if (ItemIndex(ui_->MarcaCB) <= 0) {
    ui_->ModelloCB->setEnabled(false);
    return;
  }
  ui_->ModelloCB->setEnabled(true);
  std::string brand;
  kit::ChoiceBytes(ui_->MarcaCB, std::string(), &brand);
  keydb::KeyDatabase db(KeyRoot);
  kit::FillChoices(ui_->ModelloCB, keydb::UserDriverModels(db, brand));
}

void TForm3::NewMarcaCBChange() {
  kit::FillChoices(ui_->NewModelloCB, {});
  if (ItemIndex(ui_->NewMarcaCB) <= 0) {
    ui_->NewModelloCB->setEnabled(false);
    return;
  }
  ui_->NewModelloCB->setEnabled(true);
  std::string brand;
  kit::ChoiceBytes(ui_->NewMarcaCB, std::string(), &brand);
  keydb::KeyDatabase db(KeyRoot);
  kit::FillChoices(ui_->NewModelloCB, keydb::DriverModels(db, brand));
}

void TForm3::FillNewModels() {
  QComboBox* models = ui_->NewModelloCB;
  const QString shown = models->currentText();
  models->clear();
  models->addItem(Msg(1011));
  models->setEnabled(true);
  std::string brand;
  if (kit::ChoiceBytes(ui_->NewMarcaCB, catalogueBrand_, &brand)) {
    keydb::KeyDatabase db(KeyRoot);
    for (const std::string& model : keydb::DriverModels(db, brand))
      models->addItem(FromCp1252(model),
                      QByteArray(model.data(), static_cast<qsizetype>(model.size())));
  }
  models->setEditText(shown);
}

void TForm3::NewModelloCBChange() {
  const bool chosen = ItemIndex(ui_->NewModelloCB) > 0;
  ui_->BTN_UPD_DRV->setEnabled(chosen);
  ui_->BTN_DEL_DRV->setEnabled(chosen);
}

void TForm3::SetListCommandsEnabled(bool enabled) {
  ui_->BTN_RIC->setEnabled(enabled);
  ui_->BTN_DEL->setEnabled(enabled);
}

QTreeWidgetItem* TForm3::SelectedDriverRow() const {
  QTreeWidgetItem* row = kit::SelectedRow(ui_->DrvList);
  return row && !row->text(0).isEmpty() ? row : nullptr;
}

void TForm3::DrvListSelectItem() { SetListCommandsEnabled(SelectedDriverRow() != nullptr); }

void TForm3::BTN_RICClick() {
  QTreeWidgetItem* row = SelectedDriverRow();
  if (!row || busy()) return;
  const QByteArray name = row->data(0, kit::kStoredBytesRole).toByteArray();
  const QByteArray description = row->data(1, kit::kStoredBytesRole).toByteArray();
  std::string brand, model;
  const std::string nomefile(name.constData(), static_cast<size_t>(name.size()));
  bool found = false;
  {
    keydb::KeyDatabase db(KeyRoot);
    found = keydb::BrandAndModel(db, nomefile, &brand, &model);
  }

  ui_->PNL_DRV_UTENTE->hide();
  ui_->PNL_DRV_CAT->show();
  catalogueName_ = nomefile;
  catalogueDescription_.assign(description.constData(), static_cast<size_t>(description.size()));
  kit::ShowName(ui_->TE_DRV_NAME, row->text(0));
  ui_->Drv_desc->setPlainText(kit::MemoText(catalogueDescription_));
  catalogueKnown_ = found;
  catalogueBrand_.clear();
  catalogueModel_.clear();
  if (found) {
    catalogueBrand_ = brand;
    catalogueModel_ = model;
    kit::ShowStored(ui_->NewMarcaCB, brand);
    FillNewModels();
    kit::ShowStored(ui_->NewModelloCB, model);
    ui_->NewModelloCB->setEnabled(true);
  }
}

void TForm3::Button6Click() {
  ui_->PNL_DRV_CAT->hide();
  ui_->PNL_DRV_UTENTE->show();
}

void TForm3::reject() {
  if (!busy()) QDialog::reject();
}

void TForm3::closeEvent(QCloseEvent* event) {
  if (busy()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TForm3::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    ui_->retranslateUi(this);
    FillHelpMemos();
    for (QComboBox* box : {ui_->MarcaCB, ui_->ModelloCB, ui_->NewMarcaCB, ui_->NewModelloCB}) {
      if (box->count() > 0) box->setItemText(0, Msg(1011));
    }
  }
  QDialog::changeEvent(event);
}
