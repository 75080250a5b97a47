// The database window as a whole: panels, brand lists, help texts, the
// earlier product's descriptions and the sort the four lists share.
#include "dbwindow/Dbform.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QTextCursor>
#include <QTreeWidget>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "app/kit/ComboIndex.h"
#include "app/kit/DbText.h"
#include "app/kit/FailureReport.h"
#include "app/kit/FieldTexts.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "app/kit/WindowFont.h"
#include "db/key/DriverCatalogue.h"
#include "db/key/FileCatalogue.h"
#include "db/key/KeyChanges.h"
#include "db/key/KeyDatabase.h"
#include "db/key/LegacyDescriptions.h"
#include "db/key/ListOrder.h"
#include "db/key/StoredFiles.h"
#include "ui_Dbform.h"

namespace {

// The box holds "any" (1011) and then the texts, showing "any".
void FillChoice(QComboBox* box, const std::vector<std::string>& texts) {
  box->clear();
  box->addItem(Msg(1011));
  for (const std::string& text : texts) box->addItem(FromCp1252(text));
  box->setCurrentIndex(0);
}

void PrepareChoice(QComboBox* box) {
  box->setInsertPolicy(QComboBox::NoInsert);
  // Typed text stays as typed: no completion to an entry.
  box->setCompleter(nullptr);
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TForm2>()) {
  kit::RegisterWindowFont();
  ui_->setupUi(this);
  // A tool window without border icons: "Chiudi" is the only way out.
  setWindowFlags(Qt::Dialog | Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(762, 386);
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));

  HideWorkPanels();
  for (QWidget* busy :
       {static_cast<QWidget*>(ui_->Pnl_searching), static_cast<QWidget*>(ui_->PNL_REG_ORI),
        static_cast<QWidget*>(ui_->PNL_search_ori), static_cast<QWidget*>(ui_->PNL_MOD_WARN),
        static_cast<QWidget*>(ui_->PNL_Search_DB)})
    busy->hide();
  for (QComboBox* box :
       {ui_->MarcaCB, ui_->ModelloCB, ui_->MarcaORI, ui_->ModelloORI, ui_->MarcaDB, ui_->ModelloDB})
    PrepareChoice(box);

  static const int kDrvWidths[] = {90, 260, 280, 50, 50};
  static const int kOriWidths[] = {90, 260, 150, 150, 0};
  static const int kDbOriWidths[] = {120, 260, 150, 150, 0};
  static const int kModWidths[] = {150, 400, 150, 0};
  SetupList(ui_->DrvList, kDrvWidths, 5, -1);
  SetupList(ui_->OriList, kOriWidths, 5, 4);
  SetupList(ui_->DBListORI, kDbOriWidths, 5, 4);
  SetupList(ui_->MOD_LIST, kModWidths, 4, 3);

  connect(ui_->BTN_DB_ORI, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_DB_ORIClick));
  connect(ui_->BTN_DB_MOD, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_DB_MODClick));
  connect(ui_->BTN_DB_EXPORT, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_DB_EXPORTClick));
  connect(ui_->BTN_DB_CLOSE, &QPushButton::clicked, this, [this] { done(1); });
  connect(ui_->Button1, &QPushButton::clicked, this, kit::Reported(this, &TForm2::Button1Click));
  // Only the user's own choices run the change handler.
  connect(ui_->MarcaCB, &QComboBox::activated, this, kit::Reported(this, &TForm2::MarcaCBChange));
  connect(ui_->MarcaCB->lineEdit(), &QLineEdit::textEdited, this,
          kit::Reported(this, &TForm2::MarcaCBChange));
  connect(ui_->BTN_DB_openori, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_DB_openoriClick));
  connect(ui_->BTN_Drv_Search, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_Drv_SearchClick));
  connect(ui_->BTN_Break, &QPushButton::clicked, this,
          kit::Reported(this, &TForm2::BTN_BreakClick));
  // The search ticks the box itself and must then run the handler too.
  connect(ui_->CBIgnoreMD5, &QCheckBox::toggled, this,
          kit::Reported(this, &TForm2::CBIgnoreMD5Click));
  ConnectRegistration();
  ConnectManagement();
}

TForm2::~TForm2() {
  // Qt deletes the lists after this destructor, and a deleted list resets
  // its model: the reset must not reach handlers whose widgets are gone.
  for (QTreeWidget* list : findChildren<QTreeWidget*>()) {
    list->disconnect(this);
    list->model()->disconnect(this);
  }
}

void TForm2::SetupList(QTreeWidget* list, const int* widths, int columns, int hiddenColumn) {
  list->setSortingEnabled(false);
  // Every row is one line high: the view need not measure 10,000 of them.
  list->setUniformRowHeights(true);
  list->setIconSize(QSize(16, 16));
  QHeaderView* header = list->header();
  header->setSectionsClickable(true);
  header->setSectionsMovable(false);
  for (int c = 0; c < columns; ++c) {
    if (c == hiddenColumn) {
      list->setColumnHidden(c, true);
    } else {
      header->resizeSection(c, widths[c]);
    }
  }
  connect(header, &QHeaderView::sectionClicked, this,
          kit::Reported(this, [this, list](int column) { DrvListColumnClick(list, column); }));
}

std::vector<unsigned char> TForm2::LoadWholeFile(const QString& path) {
  std::vector<unsigned char> content;
  std::string reason;
  if (!keydb::ReadWholeFile(Chosen(path, std::string()).path, &content, &reason))
    throw std::runtime_error("Cannot read " + path.toStdString() + ": " + reason);
  return content;
}

void TForm2::ArchiveProgress(int) {
  // Repaint and take what is posted, but no input: the command lock keeps
  // every other command out meanwhile.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::vector<QWidget*> TForm2::Commands() { return kit::CommandWidgets(this, {ui_->BTN_Break}); }

void TForm2::SetupWindow(const std::string& keyRoot) {
  KeyRoot = keyRoot;
  FillDriverBrands();
  FillRegisteredBrands();
  FillHelpTexts();
}

void TForm2::FillHelpTexts() {
  // setPlainText keeps the first line in view (appending scrolls to the end).
  ui_->HelpORI->setPlainText(QStringList{Msg(1013), Msg(1014), Msg(1015), Msg(1016)}.join('\n'));
  ui_->HelpMOD->setPlainText(QStringList{Msg(1028), Msg(1029), Msg(1030)}.join('\n'));
  ui_->WarnMod->clear();
  for (const QString& line : {Msg(1033), Msg(1034), QString(), Msg(1035)})
    ui_->WarnMod->append(line);
  QTextCursor all(ui_->WarnMod->document());
  all.select(QTextCursor::Document);
  QTextBlockFormat centred;
  centred.setAlignment(Qt::AlignHCenter);
  all.mergeBlockFormat(centred);
}

void TForm2::FillDriverBrands() {
  keydb::KeyDatabase db(KeyRoot);
  FillChoice(ui_->MarcaCB, keydb::DriverBrands(db));
  FillChoice(ui_->ModelloCB, {});
}

void TForm2::MarcaCBChange() {
  std::string brand;
  const int index = ItemIndex(ui_->MarcaCB);
  // An entry's text came from the database, so it always converts back.
  if (index > 0 && !ComboBytes(ui_->MarcaCB, &brand)) return;
  keydb::KeyDatabase db(KeyRoot);
  FillChoice(ui_->ModelloCB,
             index > 0 ? keydb::DriverModels(db, brand) : std::vector<std::string>());
}

void TForm2::FillRegisteredBrands() {
  keydb::KeyDatabase db(KeyRoot);
  const std::vector<std::string> brands = keydb::RegisteredBrands(db);
  FillChoice(ui_->MarcaORI, brands);
  FillChoice(ui_->MarcaDB, brands);
  FillChoice(ui_->ModelloORI, {});
  FillChoice(ui_->ModelloDB, {});
}

void TForm2::FillRegisteredModels(QComboBox* brands, QComboBox* models, QWidget* search) {
  std::string brand;
  const int index = ItemIndex(brands);
  if (index > 0 && !ComboBytes(brands, &brand)) return;
  keydb::KeyDatabase db(KeyRoot);
  FillChoice(models, index > 0 ? keydb::RegisteredModels(db, brand) : std::vector<std::string>());
  models->setEnabled(index != 0);
  search->setEnabled(index != 0);
}

void TForm2::FillOriginals(QTreeWidget* list, const std::string* brand, const std::string* model) {
  keydb::KeyDatabase db(KeyRoot);
  int found = 0;
  {
    kit::CommandLock lock(&commands_, Commands());
    keydb::SearchOriginals(db, brand, model, [&](const keydb::OriginalRow& original) {
      AddOriginalRow(list, original);
      ++found;
      QCoreApplication::processEvents();
      return true;
    });
  }
  if (found == 0) {
    auto* row = new QTreeWidgetItem(list);
    row->setText(1, Msg(1032));
    kit::SetRowImage(row, 0);
  }
}

void TForm2::HideWorkPanels() {
  for (QWidget* panel : {ui_->Pnl_ORI1, ui_->Pnl_ORI2, ui_->PNL_MOD, ui_->PNL_MOD2, ui_->PNL_MNG_DB,
                         ui_->PNL_MNG_DB_MOD})
    panel->hide();
}

void TForm2::ResetIdentificationPanel() {
  kit::ShowPath(ui_->TB_ORI_FILE, QString());
  ui_->ModelloCB->setCurrentIndex(0);
  ui_->MarcaCB->setCurrentIndex(0);
  ui_->BTN_Drv_Search->setEnabled(false);
  ui_->BTN_Reg_ori->setEnabled(false);
  ui_->DrvList->clear();
}

void TForm2::BTN_DB_ORIClick() {
  HideWorkPanels();
  ui_->Pnl_ORI1->show();
  ui_->Pnl_ORI2->hide();
}

void TForm2::BTN_DB_MODClick() {
  HideWorkPanels();
  ui_->PNL_MOD->show();
}

void TForm2::BTN_DB_EXPORTClick() {
  HideWorkPanels();
  ui_->PNL_MNG_DB->show();
  FillRegisteredBrands();
}

void TForm2::Button1Click() {
  ResetIdentificationPanel();
  ui_->Pnl_ORI1->hide();
}

QString TForm2::LegacyIniDescription(const QString& fileName) const {
  std::string name;
  if (!ToCp1252(fileName, &name)) return QString();
  return FromCp1252(keydb::LegacyIniDescription(name));
}

QString TForm2::LegacyFileDescription(const QString& fileName) {
  std::string name;
  if (!ToCp1252(fileName, &name)) return QString();
  DescriptionLine = keydb::LegacyFileDescription(name);
  return FromCp1252(DescriptionLine);
}

bool TForm2::ComboBytes(const QComboBox* box, std::string* bytes) {
  if (ToCp1252(box->currentText(), bytes)) return true;
  Prompts::current().message(this, Msg(1060));
  return false;
}

void TForm2::DrvListColumnClick(QTreeWidget* list, int column) {
  if (searching()) return;
  SortDescending = column == SortColumn ? !SortDescending : false;
  SortColumn = column;
  SortList(list);
}

std::string TForm2::SortKey(const QTreeWidgetItem* row) const {
  const QString text = SortColumn >= 0 ? row->text(SortColumn) : QString();
  std::string out;
  if (!ToCp1252(text, &out)) out = text.toStdString();
  return out;
}

int TForm2::DrvListCompare(QTreeWidget*, QTreeWidgetItem* a, QTreeWidgetItem* b) const {
  return SortDescending ? keydb::CompareListTexts(SortKey(b), SortKey(a))
                        : keydb::CompareListTexts(SortKey(a), SortKey(b));
}

void TForm2::SortList(QTreeWidget* list) {
  QTreeWidgetItem* current = list->currentItem();
  const QList<QTreeWidgetItem*> selected = list->selectedItems();
  {
    // Taking the rows out and back is no change of selection for the user.
    const QSignalBlocker quiet(list);
    const QSignalBlocker quietSelection(list->selectionModel());
    QList<QTreeWidgetItem*> rows = list->invisibleRootItem()->takeChildren();
    std::vector<std::pair<std::string, QTreeWidgetItem*>> keyed;
    keyed.reserve(static_cast<std::size_t>(rows.size()));
    for (QTreeWidgetItem* row : rows) keyed.emplace_back(SortKey(row), row);
    // The same order as DrvListCompare, on keys made once.
    const bool descending = SortDescending;
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& x, const auto& y) {
      return (descending ? keydb::CompareListTexts(y.first, x.first)
                         : keydb::CompareListTexts(x.first, y.first)) < 0;
    });
    rows.clear();
    for (const auto& entry : keyed) rows.append(entry.second);
    list->addTopLevelItems(rows);
    if (current) list->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* row : selected) row->setSelected(true);
  }
  list->viewport()->update();
}

QIcon TForm2::ListImage(int index) const { return kit::ListImage(index); }

int TForm2::RowImage(const QTreeWidgetItem* row) { return kit::RowImage(row); }

void TForm2::reject() {}

void TForm2::closeEvent(QCloseEvent* event) { event->ignore(); }

void TForm2::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    ui_->retranslateUi(this);
    FillHelpTexts();
    for (QComboBox* box : {ui_->MarcaCB, ui_->ModelloCB, ui_->MarcaORI, ui_->ModelloORI,
                           ui_->MarcaDB, ui_->ModelloDB}) {
      if (box->count() > 0) box->setItemText(0, Msg(1011));
    }
  }
  QDialog::changeEvent(event);
}

bool SaveWindowPicture(QWidget* window, const QString& path) {
  return window->grab().save(path, "PNG");
}
