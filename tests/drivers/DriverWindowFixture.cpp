#include "tests/drivers/DriverWindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

DriverWindowTest::DriverWindowTest() : machine_(new platform::SimulatedPlatform) {
  drive_ = dir_ / "e";
  std::filesystem::create_directories(drive_);
  key_ = std::make_unique<fixture::KeyBuilder>(drive_);
  machine_->AddDrive('E', drive_, "QUORVANE", platform::kDriveRemovable);
  platform::Install(std::unique_ptr<platform::Platform>(machine_));
}

DriverWindowTest::~DriverWindowTest() { platform::Install(nullptr); }

fixture::Driver& DriverWindowTest::Add(const std::string& name, const std::string& make,
                                       const std::string& model, bool user) {
  fixture::Driver d;
  d.nomefile = name;
  d.marca = fixture::ToCp1252(make);
  d.modello = fixture::ToCp1252(model);
  d.descrizione = fixture::ToCp1252("Descrizione di " + name);
  d.user = user;
  d.vCentralina = "EDC16-" + name;
  drivers_.push_back(d);
  return drivers_.back();
}

void DriverWindowTest::Store() {
  for (const fixture::Driver& d : drivers_) key_->AddDriver(d);
  drivers_.clear();
}

std::unique_ptr<TForm3> DriverWindowTest::Open() {
  auto window = std::make_unique<TForm3>();
  window->SetupWindow(kKeyRoot);
  window->show();
  return window;
}

void DriverWindowTest::Choose(QComboBox* box, const QString& text) {
  const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  ASSERT_GE(index, 0) << text.toStdString();
  box->setCurrentIndex(index);
  emit box->activated(index);
}

void DriverWindowTest::Type(QComboBox* box, const QString& text) {
  box->lineEdit()->clear();
  QTest::keyClicks(box->lineEdit(), text);
}

QTreeWidgetItem* DriverWindowTest::Select(QTreeWidget* list, const QString& name) {
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = list->topLevelItem(i);
    if (row->text(0) == name) {
      list->setCurrentItem(row);
      return row;
    }
  }
  ADD_FAILURE() << "no row " << name.toStdString();
  return nullptr;
}

QStringList DriverWindowTest::Captions(const QTreeWidget* list) {
  QStringList captions;
  for (int i = 0; i < list->topLevelItemCount(); ++i) captions << list->topLevelItem(i)->text(0);
  return captions;
}

QStringList DriverWindowTest::Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

int DriverWindowTest::ImageOf(const TForm3& window, const QTreeWidgetItem* row) {
  const qint64 key = row->icon(0).cacheKey();
  if (key == window.ImageList1(0).cacheKey()) return 0;
  if (key == window.ImageList1(1).cacheKey()) return 1;
  return -1;
}

std::string DriverWindowTest::StoredHex(const std::string& column, const std::string& name) const {
  return key_->Scalar("select hex(" + column + ") from DRIVERS where NOMEFILE = '" + name + "';");
}

std::string DriverWindowTest::Stored(const std::string& column, const std::string& name) const {
  return key_->Scalar("select " + column + " from DRIVERS where NOMEFILE = '" + name + "';");
}

std::string DriverWindowTest::DriverFile(const std::string& name) const {
  return key_->keyFolder() + "/Database/DRT/" + name + ".DRU";
}
