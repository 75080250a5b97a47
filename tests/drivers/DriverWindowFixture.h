// A key in drive E: with user and maker's drivers, and the driver window
// opened on it, driven the way a user drives it.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QStringList>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "drivers/Drv_mng.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"
#include "tests/support/ScriptedPrompts.h"
#include "ui_Drv_mng.h"

class DriverWindowTest : public ::testing::Test {
 protected:
  static constexpr const char* kKeyRoot = "E:\\ZKM_Quorvane\\";

  DriverWindowTest();
  ~DriverWindowTest() override;

  // A driver row (and its file unless told otherwise); make and model in UTF-8.
  fixture::Driver& Add(const std::string& name, const std::string& make, const std::string& model,
                       bool user);
  // Writes the drivers added so far into the key.
  void Store();
  // The window after SetupWindow, shown.
  std::unique_ptr<TForm3> Open();

  // The user picks an entry of the box from its list.
  static void Choose(QComboBox* box, const QString& text);
  // The user replaces the box's text by typing.
  static void Type(QComboBox* box, const QString& text);
  // The user selects the row whose caption is name.
  static QTreeWidgetItem* Select(QTreeWidget* list, const QString& name);
  static QStringList Captions(const QTreeWidget* list);
  static QStringList Items(const QComboBox* box);
  // Which list image the row shows: 0, 1, or -1 for neither.
  static int ImageOf(const TForm3& window, const QTreeWidgetItem* row);

  // A column of a driver as stored, in hexadecimal (byte-exact checks).
  std::string StoredHex(const std::string& column, const std::string& name) const;
  std::string Stored(const std::string& column, const std::string& name) const;
  std::string DriverFile(const std::string& name) const;

  fixture::TempDir dir_;
  std::string drive_;
  std::unique_ptr<fixture::KeyBuilder> key_;
  platform::SimulatedPlatform* machine_;
  ScriptedPrompts prompts_;
  std::vector<fixture::Driver> drivers_;
};
